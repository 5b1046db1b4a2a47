#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "calls/sendcalldlg.h"
#include "handlingfixture.h"
#include "kit/appfolders.h"
#include "kit/phrasemenupopup.h"
#include "storage/textlists.h"

namespace talmor {
namespace {

using testing::Body;
using testing::ConsoleHarness;
using testing::Gbk;
using testing::HandlingFixture;
using testing::U;

// The harness's contact list holds operator 1025 and merchant 3001 ("shop").
constexpr uint32_t kMerchant = 3001;
constexpr uint32_t kOperator = 1025;

class SendCallTest : public HandlingFixture {
protected:
    void drop(uint32_t callId, uint32_t userId) {
        h.window().routes().handling->onCallDroppedOnContact(callId, userId);
    }
    static std::vector<int> WithoutRight(int missing) {
        std::vector<int> rights;
        for (int right = 0; right < 50; ++right) {
            if (right != missing) {
                rights.push_back(right);
            }
        }
        return rights;
    }
};

TEST_F(SendCallTest, AHelpCallDroppedOnAMerchantOpensOneNoticeWindow) {
    ready();
    CallRecord call = Call(71, 0);
    call.sex = 0;
    call.mobile = "<b>139</b>";
    deliverTaken({call, Call(72, 0)});
    h.takeSent();

    drop(71, kMerchant);
    CSendCallDlg* notice = find<CSendCallDlg>(71);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(h.ui.texts("information"),
              std::vector<QString>{U("请使用电话或短信进行通知商家提供服务！\r\n\r\n"
                                     "联系完成后请确击“完成通知”按钮，确定此信息已分配完成。")});
    EXPECT_EQ(notice->windowTitle(), U("向 shop 发送要求服务信息"));
    EXPECT_EQ(notice->merchantId(), kMerchant);
    const std::pair<int, QString> labels[] = {
        {1055, U("张大爷")},
        {1057, U("保密")},
        {1059, U("0755-26602001")},
        {1061, U("广东省 深圳市 南山区 粤海街道 科技园社区")},
        {1063, U("科技园社区3栋502")},
        {1069, U("普通")},
        {1070, U("78")},
        {1071, U("<b>139</b>")},
    };
    for (const auto& [id, text] : labels) {
        EXPECT_EQ(notice->valueText(id), text) << id;
    }
    EXPECT_TRUE(notice->cancelButton()->isDefault());

    // A second merchant, or the same one, for the same call: nothing.
    ContactRecord second;
    second.id = 3002;
    second.nick = "other shop";
    second.typeCode = "B";
    h.window().contacts().add(second);
    drop(71, 3002);
    drop(71, kMerchant);
    EXPECT_EQ(find<CSendCallDlg>(71), notice);
    EXPECT_EQ(notice->merchantId(), kMerchant);
    EXPECT_EQ(h.ui.texts("information").size(), 1u);
    EXPECT_TRUE(requests().empty());
}

TEST_F(SendCallTest, DropsThatOpenNothing) {
    struct Case {
        const char* name;
        std::vector<int> rights;
        uint32_t callId;
        uint32_t userId;
        const char* error;
    };
    const Case cases[] = {
        {"an operator is no merchant", WithoutRight(-1), 81, kOperator, nullptr},
        {"not a contact", WithoutRight(-1), 81, 9999, nullptr},
        {"id 0 is the operator's own profile", WithoutRight(-1), 81, 0, nullptr},
        {"a call no longer listed", WithoutRight(-1), 80, kMerchant, nullptr},
        {"without right 7", WithoutRight(7), 81, kMerchant,
         "亲爱的操作员，您没有拖动信息分配给服务商的权限！"},
    };
    for (const Case& c : cases) {
        ConsoleHarness other(TestDeployment());
        InstallCallParts(other.window());
        other.login(ConsoleHarness::OnlyRights(c.rights));
        other.window().routes().handling->onCallTaken(Call(81, 0));
        other.window().routes().handling->onCallDroppedOnContact(c.callId, c.userId);
        EXPECT_EQ(other.window().findWindow(CSendCallDlg::kWindowType, 0, 0), nullptr) << c.name;
        if (c.error != nullptr) {
            EXPECT_EQ(other.ui.texts("error"), std::vector<QString>{U(c.error)}) << c.name;
        } else {
            EXPECT_TRUE(other.ui.shown.empty()) << c.name;
        }
    }
}

TEST_F(SendCallTest, ACallClosedWhileTheHintWaitsOpensNoWindow) {
    ready();
    deliverTaken({Call(73, 0)});
    h.ui.whileShown = [this] {
        h.deliver(CMD_CALL_NOTICE_DONE_2, [](OutPacket& out) { out.writeInt(73); });
        settle();
    };
    drop(73, kMerchant);
    h.ui.whileShown = nullptr;
    EXPECT_EQ(find<CSendCallDlg>(73), nullptr);
    EXPECT_FALSE(rows().holds(73));
}

TEST_F(SendCallTest, TheNoticeWaitsGreyedAndTheConfirmationClosesTheCall) {
    ready();
    deliverTaken({Call(91, 0), Call(92, 0)});
    h.takeSent();
    drop(91, kMerchant);
    CSendCallDlg* notice = find<CSendCallDlg>(91);
    ASSERT_NE(notice, nullptr);
    notice->edit()->setPlainText(U("请尽快上门"));
    notice->smsBox()->setChecked(true);
    notice->noticeButton()->click();
    EXPECT_FALSE(notice->noticeButton()->isEnabled());
    EXPECT_FALSE(notice->cancelButton()->isEnabled());
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_SERVICE_NOTICE_2);
    Body body(sent[0]);
    EXPECT_EQ(body.u32(), 91U);
    EXPECT_EQ(body.u32(), kMerchant);
    EXPECT_EQ(body.u32(), 1U);
    EXPECT_EQ(body.text(), "shop");
    EXPECT_EQ(body.text(), Gbk("请尽快上门"));

    h.ui.shown.clear();
    h.deliver(CMD_CALL_NOTICE_DONE_2, [](OutPacket& out) { out.writeInt(91); });
    EXPECT_EQ(h.ui.texts("notice"), std::vector<QString>{U("已成功完成服务要求的信息通知！")});
    settle();
    EXPECT_EQ(find<CSendCallDlg>(91), nullptr);
    EXPECT_FALSE(rows().holds(91));
    EXPECT_TRUE(rows().holds(92));

    // A confirmation for a call without a window only removes the call.
    h.ui.shown.clear();
    h.deliver(CMD_CALL_NOTICE_DONE, [](OutPacket& out) { out.writeInt(92); });
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_FALSE(rows().holds(92));
}

TEST_F(SendCallTest, AnEmptyDescriptionGoesOutEmptyWithoutTheSms) {
    ready();
    deliverTaken({Call(93, 0)});
    h.takeSent();
    drop(93, kMerchant);
    ASSERT_NE(find<CSendCallDlg>(93), nullptr);
    find<CSendCallDlg>(93)->noticeButton()->click();
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    Body body(sent[0]);
    body.u32();
    body.u32();
    EXPECT_EQ(body.u32(), 0U);
    body.text();
    EXPECT_EQ(body.text(), "");
}

TEST_F(SendCallTest, QuickPhrasesReplaceTheDescription) {
    ready();
    ASSERT_TRUE(storage::SaveQuickReplies(userFolder(), {Gbk("马上联系"), Gbk("已派人")}));
    deliverTaken({Call(94, 0)});
    drop(94, kMerchant);
    CSendCallDlg* notice = find<CSendCallDlg>(94);
    ASSERT_NE(notice, nullptr);
    notice->edit()->setPlainText(U("旧"));
    std::unique_ptr<QMenu> menu(notice->phrases().build());
    ASSERT_EQ(menu->actions().size(), 4);
    EXPECT_EQ(menu->actions()[3]->data().toInt(), 40001);
    menu->actions()[3]->trigger();
    EXPECT_EQ(notice->edit()->toPlainText(), U("已派人"));
}

} // namespace
} // namespace talmor

#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "calls/handlingmenu.h"
#include "calls/specialsmssend.h"
#include "handlingfixture.h"
#include "kit/appfolders.h"
#include "kit/phrasemenupopup.h"
#include "storage/textlists.h"

namespace talmor {
namespace {

using testing::Body;
using testing::Gbk;
using testing::HandlingFixture;
using testing::U;

class SpecialSmsTest : public HandlingFixture {
protected:
    CSpecialSmsSend* open(uint32_t callId, uint32_t category = 1) {
        listAndSelect({Call(callId, category)}, callId);
        list().runCommand(kCmdFamilySms);
        return find<CSpecialSmsSend>(callId);
    }
    void contact(uint16_t command, uint32_t key, const char* name, const char* phone) {
        h.deliver(command, [&](OutPacket& out) {
            out.writeInt(key).writeString(Gbk(name)).writeString(phone);
        });
    }
    static QStringList labels(QTreeWidget* tree) {
        QStringList result;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            result << tree->topLevelItem(i)->text(0);
        }
        return result;
    }
    static void tick(QTreeWidget* tree, int index) {
        tree->topLevelItem(index)->setCheckState(0, Qt::Checked);
    }
    QPushButton* button(CSpecialSmsSend* sms, const char* caption) {
        for (QPushButton* each : sms->findChildren<QPushButton*>()) {
            if (each->text() == U(caption)) {
                return each;
            }
        }
        return nullptr;
    }
};

TEST_F(SpecialSmsTest, AsksForTheContactsAndFilesEachReplyInItsTree) {
    ready();
    CSpecialSmsSend* sms = open(21);
    ASSERT_NE(sms, nullptr);
    EXPECT_EQ(sms->windowTitle(), U("填写求救处理内容或短信告知呼叫人的家属"));
    EXPECT_EQ(sms->titleText(), U("处理 张大爷 的求救呼叫信息或向他/她的家属发送呼叫告之短信"));
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, CMD_GET_FAMILY);
    EXPECT_EQ(sent[1].command, CMD_GET_FAMILY_2);
    for (const testing::Sent& each : sent) {
        Body body(each);
        EXPECT_EQ(body.u32(), 21U);
        EXPECT_EQ(body.u32(), 2021U);
    }

    contact(CMD_FAMILY_CONTACT, 21, "张小明（儿子）", "13600002001");
    contact(CMD_FAMILY_CONTACT, 22, "别的呼叫", "1");
    contact(CMD_FAMILY_CONTACT_2, 21, "社区医生", "13700002001");
    contact(CMD_FAMILY_CONTACT, 21, "张小明（儿子）", "13600002001");
    contact(CMD_FAMILY_CONTACT, 21, "<i>李芳</i>", "136&2");
    EXPECT_EQ(labels(sms->familyTree()),
              (QStringList{U("张小明（儿子） (13600002001)"), U("张小明（儿子） (13600002001)"),
                           U("<i>李芳</i> (136&2)")}));
    EXPECT_EQ(labels(sms->otherTree()), QStringList{U("社区医生 (13700002001)")});
}

TEST_F(SpecialSmsTest, SendsTheTickedContactsInTreeOrderThenTheReportAndCloses) {
    ready();
    CSpecialSmsSend* sms = open(31);
    ASSERT_NE(sms, nullptr);
    requests();
    contact(CMD_FAMILY_CONTACT, 31, "甲", "111");
    contact(CMD_FAMILY_CONTACT_2, 31, "丙", "333");
    contact(CMD_FAMILY_CONTACT, 31, "乙", "222");
    contact(CMD_FAMILY_CONTACT_2, 31, "丁", "444");
    contact(CMD_FAMILY_CONTACT, 31, "戊", "555");
    tick(sms->otherTree(), 1);
    tick(sms->familyTree(), 2);
    tick(sms->familyTree(), 0);

    // An empty text is refused; nothing goes out and the window stays.
    button(sms, "确定(&S)")->click();
    EXPECT_EQ(
        h.ui.texts("error"),
        std::vector<QString>{U("请输入求救呼叫处理情况的内容或对呼叫人家属所发送的短信内容！")});
    EXPECT_TRUE(requests().empty());
    settle();
    ASSERT_EQ(find<CSpecialSmsSend>(31), sms);

    sms->edit()->setPlainText(U("已联系社区医生上门"));
    button(sms, "确定(&S)")->click();
    const std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 4u);
    const char* phones[] = {"111", "555", "444"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].command, CMD_SOS_SMS) << i;
        Body body(sent[i]);
        EXPECT_EQ(body.u32(), 31U);
        EXPECT_EQ(body.text(), phones[i]);
        EXPECT_EQ(body.text(), Gbk("已联系社区医生上门"));
    }
    EXPECT_EQ(sent[3].command, CMD_CALL_REPORT);
    Body report(sent[3]);
    EXPECT_EQ(report.u32(), 31U);
    EXPECT_EQ(report.text(), Gbk("已联系社区医生上门"));
    settle();
    EXPECT_EQ(find<CSpecialSmsSend>(31), nullptr);
    // Replies after the close reach no window; the call waits for the server's confirmation.
    contact(CMD_FAMILY_CONTACT, 31, "迟到", "999");
    EXPECT_TRUE(rows().holds(31));
    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(31); });
    EXPECT_FALSE(rows().holds(31));
}

TEST_F(SpecialSmsTest, NoContactsSendsOnlyTheReportAndCancelSendsNothing) {
    ready();
    CSpecialSmsSend* sms = open(41, 0);
    ASSERT_NE(sms, nullptr);
    requests();
    sms->edit()->setPlainText(U("误报"));
    button(sms, "确定(&S)")->click();
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_CALL_REPORT);

    settle();
    list().view()->selectRow(rows().rowOf(41));
    list().runCommand(kCmdFamilySms);
    sms = find<CSpecialSmsSend>(41);
    ASSERT_NE(sms, nullptr);
    requests();
    sms->edit()->setPlainText(U("不发"));
    button(sms, "取消(&C)")->click();
    settle();
    EXPECT_EQ(find<CSpecialSmsSend>(41), nullptr);
    EXPECT_TRUE(requests().empty());
}

TEST_F(SpecialSmsTest, SmsTextsMenuCutsAt50BytesAndInsertsTheFirst21) {
    ready();
    std::vector<std::string> texts = {std::string(60, 'a'), std::string(50, 'b')};
    for (int i = 2; i < 25; ++i) {
        texts.push_back("sms " + std::to_string(i));
    }
    ASSERT_TRUE(storage::SaveSmsReplies(userFolder(), texts));
    CSpecialSmsSend* sms = open(51);
    ASSERT_NE(sms, nullptr);
    std::unique_ptr<QMenu> menu(sms->phrases().build());
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2 + 25);
    EXPECT_EQ(actions[2]->text(), QString(50, 'a') + "...");
    EXPECT_EQ(actions[3]->text(), QString(50, 'b'));
    EXPECT_EQ(actions[2]->data().toInt(), 50000);
    EXPECT_EQ(actions.back()->data().toInt(), 50024);
    sms->edit()->setPlainText(U("原来的"));
    actions[2]->trigger();
    EXPECT_EQ(sms->edit()->toPlainText(), QString(60, 'a'));
    actions[2 + 21]->trigger();
    EXPECT_EQ(sms->edit()->toPlainText(), QString(60, 'a'));
    actions[2 + 20]->trigger();
    EXPECT_EQ(sms->edit()->toPlainText(), U("sms 20"));
}

// The quick-action bar's SMS button opens the same window, once per call.
TEST_F(SpecialSmsTest, TheQuickActionBarOpensTheWindowOnce) {
    ready();
    h.window().routes().handling->openFamilySms(61, 2061, Gbk("李奶奶"), "0755");
    CSpecialSmsSend* sms = find<CSpecialSmsSend>(61);
    ASSERT_NE(sms, nullptr);
    EXPECT_EQ(sms->titleText(), U("处理 李奶奶 的求救呼叫信息或向他/她的家属发送呼叫告之短信"));
    h.window().routes().handling->openFamilySms(61, 2061, Gbk("李奶奶"), "0755");
    EXPECT_EQ(find<CSpecialSmsSend>(61), sms);
    std::vector<testing::Sent> sent = requests();
    EXPECT_EQ(sent.size(), 2u);
}

} // namespace
} // namespace talmor

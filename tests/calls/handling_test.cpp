#include <QLabel>
#include <QMenu>

#include "calls/handlingmenu.h"
#include "calls/othermemodlg.h"
#include "calls/sellersearchdlg.h"
#include "calls/specialsmssend.h"
#include "console/myworkdlg.h"
#include "handlingfixture.h"

namespace talmor {
namespace {

using testing::Body;
using testing::ConsoleHarness;
using testing::HandlingFixture;
using testing::U;

// The menu of the selected row as the operator sees it: captions ("-" for a separator) and
// the commands that are greyed.
struct ShownMenu {
    QString title;
    QStringList captions;
    std::vector<int> greyed;
};

class HandlingTest : public HandlingFixture {
protected:
    ShownMenu shownMenu() {
        ShownMenu shown;
        std::unique_ptr<QMenu> menu(list().contextMenu());
        if (!menu) {
            return shown;
        }
        shown.title = menu->title();
        for (QAction* action : menu->actions()) {
            shown.captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->isSeparator() && !action->isEnabled()) {
                shown.greyed.push_back(action->data().toInt());
            }
        }
        return shown;
    }
    QString workPage() { return QString::fromUtf8(h.window().workPane().requested().toEncoded()); }
};

TEST_F(HandlingTest, MenusByCategoryWithTheirEnablingRules) {
    const QStringList help = {U("无法完成该项处理"),
                              "-",
                              U("发送呼叫情况短信"),
                              U("误按或者测试呼叫"),
                              U("就近搜索服务商户"),
                              "-",
                              U("呼叫客户基本资料"),
                              U("查看客户呼叫历史"),
                              "-",
                              U("通过地图搜索位置"),
                              U("定位客户所在地点"),
                              "-",
                              U("选择助老员并服务"),
                              "-",
                              U("该号码列入黑名单")};
    const QStringList sos = {U("无法完成该项处理"), "-", U("误按或者测试呼叫"),
                             U("填写求救处理情况"), "-", U("呼叫客户基本资料"),
                             U("查看客户呼叫历史"), "-", U("通过地图搜索位置"),
                             U("定位客户所在地点"), "-", U("该号码列入黑名单")};
    const QStringList other = {U("无法完成该项处理"), "-", U("误按或者测试呼叫"),
                               U("填写呼叫处理报告"), "-", U("呼叫客户基本资料"),
                               U("查看客户呼叫历史"), "-", U("通过地图搜索位置")};
    struct Case {
        const char* name;
        uint32_t category;
        bool helpRight;
        bool mobile;
        QString title;
        QStringList captions;
        std::vector<int> greyed;
    };
    const Case cases[] = {
        {"help", 0, true, true, "General", help, {}},
        {"help without the right", 0, false, true, "General", help, {32958, 33110}},
        {"help without mobile", 0, true, false, "General", help, {33121}},
        {"SOS", 1, true, true, "Special", sos, {}},
        {"SOS without the help right", 1, false, true, "Special", sos, {}},
        {"SOS without mobile", 1, true, false, "Special", sos, {33121}},
        {"property", 2, true, true, "cother", other, {}},
        {"customer service, no mobile", 10, false, false, "cother", other, {}},
        {"category 27", 27, true, true, "cother", other, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> rights;
        for (int right = 0; right < 50; ++right) {
            if (right != 7 || c.helpRight) {
                rights.push_back(right);
            }
        }
        h.window().seatRights() = ConsoleHarness::OnlyRights(rights);
        CallRecord call = Call(40 + c.category, c.category);
        if (!c.mobile) {
            call.mobile.clear();
        }
        list().clearRows();
        list().AddTakenCall(call);
        EXPECT_EQ(list().contextMenu(), nullptr) << c.name << ": no selected row, no menu";
        list().view()->selectRow(0);
        const ShownMenu shown = shownMenu();
        EXPECT_EQ(shown.title, c.title) << c.name;
        EXPECT_EQ(shown.captions, c.captions) << c.name;
        EXPECT_EQ(shown.greyed, c.greyed) << c.name;
    }
}

TEST_F(HandlingTest, GivingUpDropsTheRowAtOnceMisdialAndBlacklistKeepIt) {
    ready();
    CallRecord call = Call(7, 0);
    call.phone = "0755&#1";
    listAndSelect({Call(6, 0), call, Call(8, 1)}, 7);

    // Through the menu as the operator chooses, and directly.
    std::unique_ptr<QMenu> menu(list().contextMenu());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
        if (action->data().toInt() == kCmdMisdial) {
            action->trigger();
        }
    }
    list().runCommand(kCmdBlacklist);
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, CMD_MISDIAL);
    EXPECT_EQ(Body(sent[0]).u32(), 7U);
    EXPECT_EQ(sent[1].command, CMD_BLACKLIST);
    Body blacklist(sent[1]);
    EXPECT_EQ(blacklist.u32(), 7U);
    EXPECT_EQ(blacklist.text(), "0755&#1");
    EXPECT_TRUE(rows().holds(7));

    list().runCommand(kCmdGiveUp);
    EXPECT_FALSE(rows().holds(7));
    EXPECT_EQ(rows().rowCount(), 2);
    sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_GIVE_UP_CALL);
    EXPECT_EQ(Body(sent[0]).u32(), 7U);

    // Without a selected row no command does anything.
    list().view()->clearSelection();
    for (int command : {kCmdGiveUp, kCmdMisdial, kCmdBlacklist, kCmdFamilySms, kCmdCallerInfo,
                        kCmdLocate, kCmdSellerSearch}) {
        list().runCommand(command);
    }
    EXPECT_TRUE(requests().empty());
    EXPECT_EQ(rows().rowCount(), 2);
    EXPECT_TRUE(h.window().workPane().requested().isEmpty());
}

TEST_F(HandlingTest, PagesAboutTheCallerOpenInTheWorkPane) {
    ready();
    CallRecord call = Call(4000000000U, 0);
    call.phone = "0755&x=1#2";
    call.city = testing::Gbk("深圳市");
    call.mapMark = "a b";
    call.mobile = "135&1";
    listAndSelect({call}, call.callId);
    const QString id = QString::fromStdString(h.window().installationId());
    struct Case {
        int command;
        QString page;
    };
    const Case cases[] = {
        {kCmdCallerInfo,
         "http://bo.test/calluserinfo.aspx?manager_id=1024&user_tel=0755%26x%3D1%232"
         "&randnum=" +
             id},
        {kCmdCallHistory, "http://bo.test/user_call_history.aspx?manager_id=1024"
                          "&user_tel=0755%26x%3D1%232&randnum=" +
                              id},
        {kCmdMapSearch, "http://bo.test/51ditu.aspx?manager_id=1024&city=%C9%EE%DB%DA%CA%D0"
                        "&keyvalue=a%20b&randnum=" +
                            id},
        {kCmdChooseHelper, "http://bo.test/check_hop_user_list.aspx?manager_id=1024&randnum=" + id +
                               "&call_id=4000000000"},
        {kCmdLocate, "http://pos.test/posmapbar/default.aspx?pMobile=135%261"},
    };
    for (const Case& c : cases) {
        h.window().workPane().navigate(QUrl());
        list().runCommand(c.command);
        EXPECT_EQ(workPage(), c.page) << c.command;
    }
    // A double-click opens the caller's basic page.
    h.window().workPane().navigate(QUrl());
    emit list().view()->doubleClicked(rows().index(0, 4));
    EXPECT_EQ(workPage(), cases[0].page);
    EXPECT_TRUE(requests().empty());
}

TEST_F(HandlingTest, WithoutTheHelpRightNeitherSearchNorHelperRun) {
    std::vector<int> rights;
    for (int right = 0; right < 50; ++right) {
        if (right != 7) {
            rights.push_back(right);
        }
    }
    ready(ConsoleHarness::OnlyRights(rights));
    listAndSelect({Call(3, 0)}, 3);
    list().runCommand(kCmdSellerSearch);
    list().runCommand(kCmdChooseHelper);
    EXPECT_EQ(find<CSellerSearchDlg>(3), nullptr);
    EXPECT_TRUE(h.window().workPane().requested().isEmpty());
    // The other items work.
    list().runCommand(kCmdMisdial);
    EXPECT_EQ(requests().size(), 1u);
}

// 33004, 33098 and 32958 open one window of their kind per call; a second command for the same
// call leaves the open one alone.
TEST_F(HandlingTest, OneHandlingWindowOfEachKindPerCall) {
    ready();
    deliverTaken({Call(1, 0), Call(2, 1), Call(3, 2), Call(4, 2)});
    h.takeSent();
    auto run = [&](uint32_t callId, int command) {
        list().view()->selectRow(rows().rowOf(callId));
        list().runCommand(command);
    };
    run(1, kCmdFamilySms);
    run(1, kCmdFamilySms);
    run(2, kCmdFamilySms);
    run(3, kCmdReport);
    run(3, kCmdReport);
    run(4, kCmdReport);
    run(1, kCmdSellerSearch);
    run(1, kCmdSellerSearch);
    int sms = 0;
    int reports = 0;
    int searches = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        sms += dynamic_cast<CSpecialSmsSend*>(widget) != nullptr ? 1 : 0;
        reports += dynamic_cast<COtherMemoDlg*>(widget) != nullptr ? 1 : 0;
        searches += dynamic_cast<CSellerSearchDlg*>(widget) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(sms, 2);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(searches, 1);
    ASSERT_NE(find<CSpecialSmsSend>(2), nullptr);
    ASSERT_NE(find<COtherMemoDlg>(4), nullptr);
    EXPECT_EQ(find<COtherMemoDlg>(4)->titleLabel()->text(), U("物业管理呼叫"));
    // Each SMS window asked once for the caller's two contact lists.
    std::vector<uint16_t> family;
    for (const testing::Sent& sent : requests()) {
        if (sent.command == CMD_GET_FAMILY || sent.command == CMD_GET_FAMILY_2) {
            family.push_back(sent.command);
        }
    }
    EXPECT_EQ(family.size(), 4u);
}

// The server's confirmation closes the report window of the call, if one is open, and the call
// leaves the processing list and the help and SOS panes.
TEST_F(HandlingTest, TheConfirmationRemovesTheCallEverywhere) {
    ready();
    listAndSelect({Call(3, 2), Call(4, 2), Call(5, 1)}, 3);
    list().runCommand(kCmdReport);
    COtherMemoDlg* report = find<COtherMemoDlg>(3);
    ASSERT_NE(report, nullptr);
    h.deliver(CMD_NEW_CALL, [&](OutPacket& out) { Call(5, 1).write(out, CallWireOrder::NewCall); });
    auto* intake = h.window().routes().intake;
    ASSERT_EQ(intake->rowCount(1), 1);

    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(3); });
    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(5); });
    EXPECT_EQ(h.ui.texts("notice"), std::vector<QString>{U("已成功完成呼叫事件的处理情况记录！")});
    settle();
    EXPECT_EQ(find<COtherMemoDlg>(3), nullptr);
    EXPECT_FALSE(rows().holds(3));
    EXPECT_FALSE(rows().holds(5));
    EXPECT_TRUE(rows().holds(4));
    EXPECT_EQ(intake->rowCount(1), 0);
}

// Two consoles took the same call at once and the other won: the server says the call is gone,
// and the losing console lets go of it instead of waiting for a confirmation that never comes.
TEST_F(HandlingTest, ACallGoneElsewhereLeavesTheListAndClosesItsWindows) {
    ready();
    listAndSelect({Call(3, 0), Call(4, 2)}, 3);
    list().runCommand(kCmdReport);
    list().runCommand(kCmdFamilySms);
    ASSERT_NE(find<COtherMemoDlg>(3), nullptr);
    ASSERT_NE(find<CSpecialSmsSend>(3), nullptr);

    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(3); });
    settle();
    EXPECT_EQ(find<COtherMemoDlg>(3), nullptr);
    EXPECT_EQ(find<CSpecialSmsSend>(3), nullptr);
    EXPECT_FALSE(rows().holds(3));
    EXPECT_TRUE(rows().holds(4));
    EXPECT_EQ(h.ui.texts("notice"),
              std::vector<QString>{U("该呼叫已由其他座席受理或已结束，已从您的处理列表中移除。")});

    // A call this console never held changes nothing here.
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(77); });
    EXPECT_TRUE(rows().holds(4));
    EXPECT_EQ(h.ui.texts("notice").size(), 1u);
}

// Call id 0 is no call: as a registry key it would find the window of any call.
TEST_F(HandlingTest, ACallIdOfZeroReachesNoOtherCallsWindow) {
    ready();
    listAndSelect({Call(0, 2), Call(8, 2)}, 8);
    list().runCommand(kCmdReport);
    ASSERT_NE(find<COtherMemoDlg>(8), nullptr);
    list().view()->selectRow(rows().rowOf(0));
    list().runCommand(kCmdReport);
    list().runCommand(kCmdFamilySms);
    EXPECT_EQ(h.window().windows().size(), 2u) << "the main window and the report of call 8";

    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(0); });
    settle();
    EXPECT_NE(find<COtherMemoDlg>(8), nullptr);
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_FALSE(rows().holds(0));
    EXPECT_TRUE(rows().holds(8));
}

} // namespace
} // namespace talmor

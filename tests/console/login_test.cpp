#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTabBar>

#include <sys/stat.h>

#include <filesystem>

#include "console/calltabstrip.h"
#include "console/loginwaitdlg.h"
#include "console/toolbuttonrows.h"
#include "kit/appfolders.h"
#include "protocol/commands.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "support/consoleharness.h"
#include "widgets/colorlabel.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;
using testing::Gbk;
using testing::Sent;
using testing::U;

QString WaitText(CTalmorManagerDlg& window) {
    CLoginWaitDlg* wait = window.loginWait();
    return wait != nullptr ? wait->progressText() : QString();
}

bool Contains(const std::vector<uint16_t>& commands, uint16_t command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

TEST(LoginTest, EachStepShowsItsProgressAndTheLastOneMakesTheWindowReady) {
    ConsoleHarness h;
    h.startLogin();
    CTalmorManagerDlg& w = h.window();
    EXPECT_EQ(w.statusLabel().text(), U("尝试联接..."));
    EXPECT_TRUE(h.timers.isRunning(1003));
    EXPECT_TRUE(h.timers.isRunning(1001));
    EXPECT_EQ(WaitText(w), U("正在验证监控座席身份合法性,请稍候..."));
    EXPECT_EQ(h.takeSentCommands(), std::vector<uint16_t>{CMD_LOGIN});
    EXPECT_EQ(userFolder(), h.folder.path() + "User/1024/");

    h.loginReply();
    EXPECT_EQ(WaitText(w), U("正在读取监控座席的权限资料..."));
    EXPECT_TRUE(h.timers.isRunning(1002));
    EXPECT_EQ(storage::LoadAccounts(h.folder.path()), std::vector<uint32_t>{1024});
    EXPECT_EQ(h.takeSentCommands(), std::vector<uint16_t>{CMD_GET_RIGHTS});

    h.rights(ConsoleHarness::OnlyRights({45, 46, 20, 44}));
    h.ownProfile(ConsoleHarness::Operator());
    EXPECT_EQ(WaitText(w), U("正在读取监控座席的联系组资料..."));
    // Rights 0, 2 and 6 are missing: their buttons turn grey.
    EXPECT_FALSE(w.buttons().button(1008)->isEnabled());
    EXPECT_FALSE(w.buttons().button(1009)->isEnabled());
    EXPECT_FALSE(w.buttons().button(1011)->isEnabled());
    EXPECT_TRUE(w.buttons().button(1017)->isEnabled());
    storage::AccountRecord saved;
    ASSERT_TRUE(storage::LoadAccountRecord(userFolder(), saved));
    EXPECT_EQ(saved.password, "") << "not asked to be saved";
    EXPECT_EQ(saved.nick, Gbk("值班员小王"));

    h.groups();
    EXPECT_EQ(WaitText(w), U("正在读取监控座席的通讯列表..."));
    EXPECT_FALSE(w.ready());
    EXPECT_FALSE(w.isVisible());
    h.takeSent();

    h.contacts();
    EXPECT_TRUE(w.ready());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.loginWait(), nullptr);
    EXPECT_EQ(w.windowTitle(), U("值班员小王"));
    EXPECT_EQ(w.statusLabel().text(), U("联机"));
    EXPECT_FALSE(h.timers.isRunning(1003));
    EXPECT_TRUE(h.timers.isRunning(1008));
    EXPECT_EQ(w.tray().tooltip(), U("Quorvane社区智能化管理服务系统"));
    EXPECT_EQ(w.scopeLabel().text(), U("监控 广东省 深圳市 南山区 粤海街道 科技园社区"));
    const QTabBar* tabs = w.tabStrip().bar();
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(0), U("求助呼叫"));
    EXPECT_EQ(tabs->tabText(2), U("物业管理"));
    EXPECT_EQ(tabs->tabText(3), U("Quorvane客服"));
    EXPECT_EQ(tabs->tabText(4), U("当前操作"));
    EXPECT_EQ(tabs->currentIndex(), 0);

    // The completion requests: contacts' profiles, reminder, counters, and all 28 call lists.
    const std::vector<uint16_t> sent = h.takeSentCommands();
    for (uint16_t command :
         {CMD_GET_REMINDER, CMD_GET_COUNT_2, CMD_GET_TOTAL_1, CMD_GET_TOTAL_2, CMD_GET_COUNT_1,
          CMD_GET_HELP_CALLS, CMD_GET_SOS_CALLS, CMD_GET_SERVICE_CALLS, CMD_GET_TAKEN_CALLS}) {
        EXPECT_TRUE(Contains(sent, command)) << command;
    }
    for (uint16_t pane = 0; pane < 24; ++pane) {
        EXPECT_TRUE(Contains(sent, static_cast<uint16_t>(CMD_GET_CATEGORY_CALLS + pane))) << pane;
    }
    EXPECT_EQ(std::count(sent.begin(), sent.end(), CMD_GET_USER_INFO), 2);

    // First login of the account: the agreement, accepted and remembered.
    ASSERT_EQ(h.ui.agreementPages.size(), 1u);
    EXPECT_EQ(h.ui.agreementPages[0].toString(), "http://127.0.0.1:8080/site/soft/Negotiate.htm");
    storage::ConsoleOptions options;
    ASSERT_TRUE(storage::LoadOptions(userFolder(), options));
    EXPECT_TRUE(options.bit(storage::kOptionAgreementAccepted));
    EXPECT_TRUE(options.bit(storage::kOptionTakeHelpCalls)) << "defaults of a first login";
    EXPECT_FALSE(options.bit(storage::kOptionSavePassword));
    EXPECT_EQ(h.ui.quits, 0);
}

TEST(LoginTest, AContactListOfSeveralDatagramsCompletesTheLoginOnce) {
    ConsoleHarness h;
    // A first login: every datagram after the first would open the agreement inside the first.
    h.ui.acceptAgreement = true;
    h.startLogin();
    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.ownProfile(ConsoleHarness::Operator());
    h.groups();
    h.takeSent();
    const auto datagram = [&](uint32_t first) {
        h.deliver(CMD_CONTACT_LIST, [first](OutPacket& out) {
            writeList(out, std::vector<ContactEntry>{{first, "", 101, "a", "", "S", 1},
                                                     {first + 1, "", 102, "b", "", "B", 1}});
        });
    };
    datagram(2001);
    ASSERT_TRUE(h.window().ready());
    h.window().tabStrip().bar()->setCurrentIndex(2);
    datagram(2003);
    datagram(2005);

    const std::vector<uint16_t> sent = h.takeSentCommands();
    for (uint16_t command :
         {CMD_GET_REMINDER, CMD_GET_COUNT_2, CMD_GET_TOTAL_1, CMD_GET_TOTAL_2, CMD_GET_COUNT_1,
          CMD_GET_HELP_CALLS, CMD_GET_SOS_CALLS, CMD_GET_TAKEN_CALLS, CMD_GET_CATEGORY_CALLS}) {
        EXPECT_EQ(std::count(sent.begin(), sent.end(), command), 1) << command;
    }
    // Each datagram still asks for its own contacts' profiles.
    EXPECT_EQ(std::count(sent.begin(), sent.end(), CMD_GET_USER_INFO), 6);
    EXPECT_EQ(h.window().contacts().size(), 6u);
    EXPECT_EQ(h.ui.agreementPages.size(), 1u);
    EXPECT_EQ(h.window().tabStrip().bar()->currentIndex(), 2) << "the operator's tab stays";

    // The next login completes once again.
    h.window().SetOffline();
    h.window().SetOnline();
    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.ownProfile(ConsoleHarness::Operator());
    h.groups();
    h.takeSent();
    datagram(2001);
    datagram(2003);
    const std::vector<uint16_t> again = h.takeSentCommands();
    EXPECT_EQ(std::count(again.begin(), again.end(), CMD_GET_REMINDER), 1);
}

// The password reaches the disk only when the operator ticks "保存密码", and the operator's
// folder and files are the operator's alone.
TEST(LoginTest, ThePasswordIsStoredOnlyWhenAskedAndOnlyTheOperatorCanReadIt) {
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save);
        ConsoleHarness h;
        LoginChoice choice;
        choice.operatorId = 1024;
        choice.password = "pw1024";
        choice.savePassword = save;
        h.ui.loginAnswers.push_back(choice);
        h.startLogin(0, "");
        h.loginReply();
        h.rights(ConsoleHarness::AllRights());
        h.ownProfile(ConsoleHarness::Operator());
        h.groups();
        h.contacts();
        ASSERT_TRUE(h.window().ready());
        storage::AccountRecord saved;
        ASSERT_TRUE(storage::LoadAccountRecord(userFolder(), saved));
        EXPECT_EQ(saved.password, save ? "pw1024" : "");

        struct stat folder {};
        ASSERT_EQ(::stat(userFolder().c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 0777, 0700u);
        const std::filesystem::path user(userFolder());
        for (const auto& file : std::filesystem::directory_iterator(user)) {
            struct stat info {};
            ASSERT_EQ(::stat(file.path().c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0077, 0u) << file.path();
        }
    }
}

TEST(LoginTest, AnAcceptedAgreementIsNotAskedAgainAndARefusedOneEndsTheConsole) {
    {
        ConsoleHarness h;
        h.login();
        EXPECT_EQ(h.ui.agreementPages.size(), 1u);
        h.window().SetOffline();
        h.window().SetOnline();
        h.loginReply();
        h.rights(ConsoleHarness::AllRights());
        h.ownProfile(ConsoleHarness::Operator());
        h.groups();
        h.contacts();
        EXPECT_TRUE(h.window().ready());
        EXPECT_EQ(h.ui.agreementPages.size(), 1u);
    }
    ConsoleHarness refused;
    refused.ui.acceptAgreement = false;
    refused.login();
    EXPECT_EQ(refused.ui.quits, 1);
    EXPECT_FALSE(refused.window().tray().present());
}

TEST(LoginTest, WrongPasswordTellsTheOperatorAndBringsTheDialogBack) {
    ConsoleHarness h;
    h.startLogin();
    h.ui.loginAnswers.push_back(LoginChoice{1025, "again", true, 1});
    h.loginReply(1);
    ASSERT_EQ(h.ui.texts("information").size(), 1u);
    EXPECT_EQ(h.ui.texts("information")[0],
              U("亲爱的用户：您的登录帐号或密码不正确，请重新登录！"));
    EXPECT_EQ(h.ui.loginDialogs, 1);
    EXPECT_EQ(h.window().operatorId(), 1025u);
    EXPECT_EQ(h.window().serverIndex(), 1);
    EXPECT_TRUE(h.window().savePassword());
    EXPECT_TRUE(Contains(h.takeSentCommands(), CMD_LOGOUT));
    EXPECT_TRUE(h.window().loginWait() != nullptr) << "the new login waits again";
    EXPECT_FALSE(h.timers.isRunning(1002));

    // The second login remembers the dialog's choices in the options.
    h.loginReply();
    storage::ConsoleOptions options;
    ASSERT_TRUE(storage::LoadOptions(userFolder(), options));
    EXPECT_TRUE(options.bit(storage::kOptionSavePassword));
    EXPECT_TRUE(options.bit(storage::kOptionBackupServer));
}

TEST(LoginTest, CancellingTheDialogAfterAWrongPasswordEndsTheConsole) {
    ConsoleHarness h;
    h.startLogin();
    h.loginReply(1);
    EXPECT_EQ(h.ui.loginDialogs, 1);
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_FALSE(h.window().tray().present());
}

class UpgradeTest : public ::testing::TestWithParam<bool> {};

TEST_P(UpgradeTest, AnotherVersionEndsTheConsoleWhateverTheAnswer) {
    ConsoleHarness h;
    h.ui.answerYes = GetParam();
    h.startLogin();
    h.loginReply(0, 51);
    ASSERT_EQ(h.ui.texts("question").size(), 1u);
    EXPECT_TRUE(h.ui.texts("question")[0].startsWith(U("Quorvane已有升级版本")));
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_FALSE(h.window().tray().present());
    if (GetParam()) {
        ASSERT_EQ(h.ui.started.size(), 1u);
        EXPECT_EQ(h.ui.started[0], QString::fromStdString(h.folder.path()) + "update");
    } else {
        EXPECT_TRUE(h.ui.started.empty());
    }
    EXPECT_FALSE(Contains(h.takeSentCommands(), CMD_GET_RIGHTS));
}

INSTANTIATE_TEST_SUITE_P(Answers, UpgradeTest, ::testing::Bool());

TEST(LoginTest, OnlyTheLevelsWithAPasswordArePrompted) {
    ConsoleHarness h;
    h.startLogin();
    h.loginReply(0, 50, {"", "", "third", ""});
    EXPECT_EQ(h.ui.multiPasswordLevels, std::vector<int>{3});
    EXPECT_EQ(h.ui.multiPasswordsAsked, std::vector<std::string>{"third"});
    EXPECT_TRUE(Contains(h.takeSentCommands(), CMD_GET_RIGHTS));

    ConsoleHarness all;
    all.startLogin();
    all.loginReply(0, 50, {"a", "b", "c", "d"});
    EXPECT_EQ(all.ui.multiPasswordLevels, (std::vector<int>{1, 2, 3, 4}));
}

TEST(LoginTest, CancelledMultiplePasswordEndsTheConsoleWithoutAskingForRights) {
    ConsoleHarness h;
    h.ui.cancelMultiPassword = true;
    h.startLogin();
    h.takeSent();
    h.loginReply(0, 50, {"one", "", "", ""});
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_FALSE(h.window().tray().present());
    EXPECT_FALSE(Contains(h.takeSentCommands(), CMD_GET_RIGHTS));
}

TEST(LoginTest, AnAccountThatIsNoOperatorEndsTheConsole) {
    ConsoleHarness h;
    h.startLogin();
    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.takeSent();
    UserRecord merchant = ConsoleHarness::Operator();
    merchant.typeCode = "B";
    h.ownProfile(merchant);
    ASSERT_EQ(h.ui.texts("error").size(), 1u);
    EXPECT_EQ(h.ui.texts("error")[0],
              U("亲爱的用户：您所使用的帐号不属于信息管理类型，无法使用信息管理版本登录！"));
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_FALSE(Contains(h.takeSentCommands(), CMD_GET_GROUPS));
}

TEST(LoginTest, LoggedInElsewhereEndsTheConsole) {
    ConsoleHarness h;
    h.login();
    h.deliver(CMD_LOGGED_IN_ELSEWHERE, [](OutPacket&) {});
    ASSERT_EQ(h.ui.texts("information").size(), 1u);
    EXPECT_EQ(h.ui.texts("information")[0],
              U("亲爱的用户：您的操作帐号已在其它地方登录，本机操作将被强行退出！"));
    EXPECT_FALSE(h.timers.isRunning(1002));
    EXPECT_FALSE(h.window().tray().present());
    EXPECT_EQ(h.ui.quits, 1);
}

TEST(LoginTest, OrganisationScopeAsksForItsNotice) {
    ConsoleHarness h;
    UserRecord profile = ConsoleHarness::Operator();
    profile.scopeKind = 1;
    profile.scopeId = 77;
    h.startLogin();
    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.ownProfile(profile);
    EXPECT_TRUE(Contains(h.takeSentCommands(), CMD_GET_SCOPE_CODE));
    h.deliver(CMD_SCOPE_CODE, [](OutPacket& out) { out.writeString("77"); });
    h.groups();
    h.contacts();
    EXPECT_EQ(h.window().scopeLabel().text(), U("监控 读取中..."));
    EXPECT_TRUE(Contains(h.takeSentCommands(), CMD_GET_SCOPE_NOTICE));
    h.deliver(CMD_SCOPE_NOTICE, [](OutPacket& out) { out.writeString(Gbk("<b>某养老机构</b>")); });
    EXPECT_EQ(h.window().scopeLabel().text(), U("监控 <b>某养老机构</b>"));
    EXPECT_EQ(h.window().scopeLabel().textFormat(), Qt::PlainText);
}

TEST(LinkTest, LostLinkWarnsAndLeavesTheConsoleOffline) {
    ConsoleHarness h;
    h.login();
    h.takeSent();
    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.window().statusLabel().text(), U("断开"));
    EXPECT_FALSE(h.window().ready());
    EXPECT_FALSE(h.timers.isRunning(1001));
    EXPECT_FALSE(h.timers.isRunning(1002));
    ASSERT_EQ(h.ui.texts("error").size(), 1u);
    EXPECT_EQ(h.ui.texts("error")[0],
              U("请注意：您现在的Quorvane信息平台已脱机将无法接收到用户发起的呼叫，请重新联机！"));
    EXPECT_TRUE(h.takeSentCommands().empty()) << "no logout over a lost link";
}

// A login that never gets an answer, or whose server name never resolves, tells the operator
// which server could not be reached and brings the login dialog back (where the backup server
// can be chosen) instead of leaving the wait window up for ever.
TEST(LinkTest, AnUnreachableServerIsNamedAndTheDialogComesBack) {
    struct Case {
        const char* server;
        bool resolves;
        const char* named;
    };
    for (const Case& c : {Case{"127.0.0.1", true, "127.0.0.1:8000"},
                          Case{"platform.invalid", false, "platform.invalid:8000"}}) {
        SCOPED_TRACE(c.server);
        Deployment deployment;
        deployment.primaryServer = c.server;
        ConsoleHarness h(deployment);
        h.startLogin();
        ASSERT_NE(h.window().loginWait(), nullptr);
        if (c.resolves) {
            // The login's three sends are used up.
            for (int pass = 0; pass < 3; ++pass) {
                h.clock.advance(10);
                h.window().onTimer(1001);
            }
        } else {
            ASSERT_EQ(h.resolver.answers.size(), 1u);
            h.resolver.answers[0](0);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(h.window().statusLabel().text(), U("断开"));
        EXPECT_FALSE(h.timers.isRunning(1003));
        EXPECT_EQ(h.window().loginWait(), nullptr);
        ASSERT_EQ(h.ui.texts("error").size(), 1u);
        EXPECT_TRUE(h.ui.texts("error")[0].contains(c.named))
            << h.ui.texts("error")[0].toStdString();
        EXPECT_EQ(h.ui.loginDialogs, 1);
    }
}

TEST(LinkTest, LostLinkWhileOfflineWithoutAWaitingLoginOnlyShowsTheStatus) {
    ConsoleHarness h;
    h.login();
    h.window().SetOffline();
    h.window().SetOnline();
    h.ui.shown.clear();
    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.window().statusLabel().text(), U("断开"));
    EXPECT_FALSE(h.timers.isRunning(1003));
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_EQ(h.ui.loginDialogs, 0);
}

TEST(LinkTest, AutomaticReconnectionLogsInAgainWithoutAMessage) {
    ConsoleHarness h;
    const std::string user = h.folder.path() + "User/1024/";
    setApplicationFolders({h.folder.path(), h.folder.path()});
    MakeUserFolder(1024);
    storage::ConsoleOptions options = storage::DefaultConsoleOptions(h.folder.path());
    options.setBit(storage::kOptionAutoReconnect, true);
    options.setBit(storage::kOptionAgreementAccepted, true);
    ASSERT_TRUE(storage::SaveOptions(user, options));
    h.login();
    h.window().SetAway();
    h.takeSent();
    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_EQ(h.window().statusLabel().text(), U("尝试联接..."));
    EXPECT_TRUE(h.timers.isRunning(1003));
    const std::vector<Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_LOGIN);
    EXPECT_EQ(h.window().client().requestedStatus(), kStatusOnline);
}

} // namespace
} // namespace talmor

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTest>

#include "console/commandids.h"
#include "console/systemtray.h"
#include "kit/appfolders.h"
#include "kit/artwork.h"
#include "kit/gbktext.h"
#include "protocol/commands.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "support/consoleharness.h"
#include "widgets/colorlabel.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;
using testing::Gbk;
using testing::Sent;
using testing::U;

// The status value of a CMD_SET_STATUS body.
uint32_t StatusOf(const Sent& request) {
    const std::vector<uint8_t>& b = request.body;
    return b.size() < 4
               ? 0xFFFFFFFF
               : (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

std::vector<QString> Items(QMenu* menu) {
    std::vector<QString> items;
    for (QAction* action : menu->actions()) {
        items.push_back(action->isSeparator() ? QString("-") : action->text());
    }
    return items;
}

QAction* Item(QMenu* menu, int command) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* inner = Item(action->menu(), command)) {
                return inner;
            }
        } else if (action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

class StatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.login();
        h.acknowledgeAll();
        h.takeSent();
    }
    ConsoleHarness h;
};

TEST_F(StatusTest, ChangingStatusSendsItOnceAndShowsIt) {
    h.window().onCommand(cmd::kTrayAwayNoReply);
    std::vector<Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_SET_STATUS);
    EXPECT_EQ(StatusOf(sent[0]), kStatusAway);
    EXPECT_EQ(h.window().statusLabel().text(), U("离开"));
    EXPECT_EQ(h.window().tray().iconKey(), art::StatusIcon(kStatusAway).cacheKey());

    h.window().SetAway();
    EXPECT_TRUE(h.takeSent().empty()) << "the same status sends nothing";

    h.window().onCommand(cmd::kTrayInvisible);
    sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(StatusOf(sent[0]), kStatusInvisible);
    EXPECT_EQ(h.window().statusLabel().text(), U("隐身"));
    h.window().SetInvisible();
    EXPECT_TRUE(h.takeSent().empty());

    h.window().onCommand(cmd::kTrayOnline);
    sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(StatusOf(sent[0]), kStatusOnline);
    EXPECT_EQ(h.window().statusLabel().text(), U("联机"));
}

TEST_F(StatusTest, OfflineLogsOutAndAStatusCommandLogsInAgain) {
    h.window().onCommand(cmd::kTrayOffline);
    EXPECT_EQ(h.takeSent().size(), 1u);
    EXPECT_EQ(h.window().statusLabel().text(), U("断开"));
    EXPECT_FALSE(h.window().ready());
    EXPECT_FALSE(h.timers.isRunning(1001));
    EXPECT_FALSE(h.timers.isRunning(1002));
    h.window().SetOffline();
    EXPECT_TRUE(h.takeSent().empty()) << "already offline";

    h.window().onCommand(cmd::kTrayInvisible);
    const std::vector<Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_LOGIN) << "a login, never a status change while offline";
    EXPECT_EQ(h.window().statusLabel().text(), U("尝试联接..."));
    EXPECT_TRUE(h.timers.isRunning(1003));

    // The tray blinks between the online and offline icons until the status is shown.
    h.window().onTimer(1003);
    const qint64 first = h.window().tray().iconKey();
    h.window().onTimer(1003);
    const qint64 second = h.window().tray().iconKey();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first == art::StatusIcon(kStatusOnline).cacheKey() ||
                first == art::StatusIcon(kStatusOffline).cacheKey());
    EXPECT_TRUE(second == art::StatusIcon(kStatusOnline).cacheKey() ||
                second == art::StatusIcon(kStatusOffline).cacheKey());

    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.ownProfile(ConsoleHarness::Operator());
    h.groups();
    h.contacts();
    EXPECT_TRUE(h.window().ready());
    EXPECT_EQ(h.window().statusLabel().text(), U("隐身"));
    EXPECT_FALSE(h.timers.isRunning(1003));
}

TEST_F(StatusTest, ExitGoesOfflineRemovesTheTrayIconAndQuits) {
    EXPECT_TRUE(h.window().tray().present());
    h.window().onCommand(cmd::kExit);
    const std::vector<Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_LOGOUT);
    EXPECT_FALSE(h.window().tray().present());
    EXPECT_EQ(h.ui.quits, 1);
}

TEST_F(StatusTest, TrayExitDoesTheSame) {
    h.window().onCommand(cmd::kTrayExit);
    EXPECT_EQ(h.takeSentCommands(), std::vector<uint16_t>{CMD_LOGOUT});
    EXPECT_FALSE(h.window().tray().present());
    EXPECT_EQ(h.ui.quits, 1);
}

TEST_F(StatusTest, ClosingTheWindowKeepsTheConsoleRunning) {
    ASSERT_TRUE(h.window().isVisible());
    h.window().close();
    EXPECT_EQ(h.ui.quits, 0);
    EXPECT_TRUE(h.window().tray().present());
    // No notification area offscreen: the window is minimised, never out of reach.
    EXPECT_TRUE(h.window().isMinimized() || !h.window().isVisible());
    h.window().onCommand(cmd::kTrayShowConsole);
    EXPECT_TRUE(h.window().isVisible());
    EXPECT_FALSE(h.window().isMinimized());
}

// A visible console behind another window comes forward too (a start URL handed over by a
// second launch, the tray's show command).
TEST_F(StatusTest, ShowingAConsoleBehindAnotherWindowBringsItForward) {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_TRUE(h.window().isVisible());
    ASSERT_FALSE(h.window().isActiveWindow());
    h.window().showConsole();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&h.window()));
}

TEST(CloseActionTest, TheFirstCloseToTheTrayTellsThatTheConsoleKeepsRunning) {
    EXPECT_EQ(ChooseCloseAction(true, false), CloseAction::HideAndTell);
    EXPECT_EQ(ChooseCloseAction(true, true), CloseAction::Hide);
    EXPECT_EQ(ChooseCloseAction(false, false), CloseAction::Minimise);
    EXPECT_EQ(ChooseCloseAction(false, true), CloseAction::Minimise);
}

TEST_F(StatusTest, AConsoleClosedWhileOfflineComesBackFromTheTray) {
    h.window().SetOffline();
    ASSERT_FALSE(h.window().ready());
    h.window().close();
    ASSERT_TRUE(h.window().isMinimized() || !h.window().isVisible());
    h.window().onCommand(cmd::kTrayShowConsole);
    EXPECT_TRUE(h.window().isVisible());
    EXPECT_FALSE(h.window().isMinimized());
}

TEST(TrayIconTest, ASingleOrADoubleClickShowsTheConsole) {
    const std::vector<std::pair<QSystemTrayIcon::ActivationReason, bool>> cases = {
        {QSystemTrayIcon::Trigger, true},
        {QSystemTrayIcon::DoubleClick, true},
        {QSystemTrayIcon::Context, false},
        {QSystemTrayIcon::MiddleClick, false},
        {QSystemTrayIcon::Unknown, false}};
    for (const auto& [reason, shows] : cases) {
        EXPECT_EQ(CSystemTray::showsConsole(reason), shows) << reason;
    }
}

// Enter or Escape that a list, an edit or a page leaves unused must not hide the console.
TEST_F(StatusTest, EnterAndEscapeHideTheConsoleOnlyFromTheWindowItself) {
    QWidget* area = h.window().centralWidget();
    auto* edit = new QLineEdit(area);
    auto* list = new QTableView(area);
    const std::vector<std::pair<QWidget*, Qt::Key>> unused = {{edit, Qt::Key_Return},
                                                              {edit, Qt::Key_Escape},
                                                              {list, Qt::Key_Enter},
                                                              {list, Qt::Key_Return}};
    for (const auto& [widget, key] : unused) {
        widget->setFocus();
        QTest::keyClick(widget, key);
        EXPECT_TRUE(h.window().isVisible() && !h.window().isMinimized())
            << widget->metaObject()->className() << " " << key;
    }
    delete edit;
    delete list;
    h.window().setFocus();
    QTest::keyClick(&h.window(), Qt::Key_Escape);
    EXPECT_TRUE(h.window().isMinimized() || !h.window().isVisible());
}

TEST_F(StatusTest, TrayMenuListsTheAutomaticRepliesCut) {
    const std::string longReply = Gbk("您好，我现在有事不在，一会再和您联系。");
    ASSERT_TRUE(storage::SaveAutoReplies(userFolder(), {"busy", longReply}));
    QMenu* menu = h.window().trayMenu().menu();
    emit menu->aboutToShow();
    EXPECT_EQ(Items(menu), (std::vector<QString>{U("联机"), U("离开"), U("隐身"), U("脱机"), "-",
                                                 U("打开Quorvane管理后台"), "-", U("退出(&E)")}));
    QMenu* away = h.window().trayMenu().awayMenu();
    EXPECT_EQ(Items(away),
              (std::vector<QString>{U("无回复信息"), "-", "busy", U("您好，我现在有事不在...")}));
    for (QAction* action : menu->actions()) {
        EXPECT_TRUE(action->isEnabled());
    }

    // Choosing the cut reply stores the whole reply and answers automatically.
    Item(away, 40001)->trigger();
    EXPECT_EQ(h.window().options().autoReplyText, longReply);
    EXPECT_TRUE(h.window().options().bit(storage::kOptionAutoReply));
    storage::ConsoleOptions saved;
    ASSERT_TRUE(storage::LoadOptions(userFolder(), saved));
    EXPECT_EQ(saved.autoReplyText, longReply);
    EXPECT_EQ(h.window().statusLabel().text(), U("离开"));

    Item(away, cmd::kTrayAwayNoReply)->trigger();
    EXPECT_FALSE(h.window().options().bit(storage::kOptionAutoReply));

    // An entry that is gone since the menu was built does nothing.
    ASSERT_TRUE(storage::SaveAutoReplies(userFolder(), {"busy"}));
    h.window().onCommand(40001);
    EXPECT_FALSE(h.window().options().bit(storage::kOptionAutoReply));
}

TEST_F(StatusTest, RebuildingTheTrayMenuKeepsOneAwaySubmenu) {
    QMenu* menu = h.window().trayMenu().menu();
    emit menu->aboutToShow();
    emit menu->aboutToShow();
    EXPECT_EQ(menu->findChildren<QMenu*>().size(), 1u);
}

TEST_F(StatusTest, WithoutRepliesTheAwayMenuHoldsOneItem) {
    ASSERT_TRUE(storage::SaveAutoReplies(userFolder(), {}));
    emit h.window().trayMenu().menu()->aboutToShow();
    EXPECT_EQ(Items(h.window().trayMenu().awayMenu()), std::vector<QString>{U("无回复信息")});
}

TEST(TrayMenuTest, WithoutAnOperatorTheStatusItemsAreGrey) {
    ConsoleHarness h;
    QMenu* menu = h.window().trayMenu().menu();
    emit menu->aboutToShow();
    for (int command :
         {cmd::kTrayOnline, cmd::kTrayInvisible, cmd::kTrayOffline, cmd::kTrayAwayNoReply}) {
        ASSERT_NE(Item(menu, command), nullptr);
        EXPECT_FALSE(Item(menu, command)->isEnabled()) << command;
    }
    EXPECT_TRUE(Item(menu, cmd::kTrayExit)->isEnabled());
    EXPECT_TRUE(Item(menu, cmd::kTrayShowConsole)->isEnabled());
}

TEST(TrayMenuTest, DoubleClickBeforeTheLoginCompletesOnlyFlashes) {
    ConsoleHarness h;
    h.startLogin();
    h.window().showConsole();
    EXPECT_FALSE(h.window().isVisible());
}

TEST(ExitTest, CancellingTheLoginDialogEndsWithoutATrayIcon) {
    ConsoleHarness h;
    EXPECT_FALSE(h.window().StartLogin(0, std::string()));
    EXPECT_EQ(h.ui.loginDialogs, 1);
    EXPECT_FALSE(h.window().tray().present());
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(ExitTest, ADialogLoginUsesTheChosenServer) {
    Deployment deployment;
    deployment.backupServer = "backup.example";
    ConsoleHarness h(deployment);
    h.ui.loginAnswers.push_back(LoginChoice{1024, "pw", false, 1});
    EXPECT_TRUE(h.window().StartLogin(0, std::string()));
    ASSERT_EQ(h.resolver.hosts.size(), 1u);
    EXPECT_EQ(h.resolver.hosts[0], "backup.example");
    EXPECT_TRUE(h.takeSent().empty()) << "nothing goes out before the name is resolved";
    h.resolver.answers[0](0x7F000001);
    EXPECT_EQ(h.takeSentCommands(), std::vector<uint16_t>{CMD_LOGIN});
}

} // namespace
} // namespace talmor

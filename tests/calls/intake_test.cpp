#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "intakefixture.h"

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/callparts.h"
#include "calls/servicemsgbox.h"
#include "calls/warndlg.h"
#include "console/calltabstrip.h"
#include "console/myworkdlg.h"
#include "console/paneslot.h"
#include "console/statustexts.h"
#include "protocol/commands.h"
#include "support/consoleharness.h"
#include "support/wire.h"

namespace talmor {
namespace {

using intake::Caller;
using intake::IntakeTest;
using intake::RecordedSounds;
using intake::TakenCalls;
using testing::ConsoleHarness;
using testing::Gbk;
using testing::U;

TEST_F(IntakeTest, PanesAreTheTableInTheTabStrip) {
    for (int code = 0; code < 27; ++code) {
        QWidget* pane = h.window().tabStrip().categoryPane(code)->pane();
        ASSERT_EQ(pane, &intake->pane(code));
        EXPECT_EQ(pane->objectName(), QString::fromUtf8(kCallPanes[code].paneName));
    }
}

TEST_F(IntakeTest, SosCallRingsJumpsListsAndOpensOneBox) {
    ready();
    newCall(Caller(5, 1));
    EXPECT_EQ(rows(1), 1);
    EXPECT_EQ(sounds, (std::vector<int>{2}));
    EXPECT_EQ(h.window().tabStrip().currentTab(), h.window().tabStrip().tabs().tabOf(1));
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(box()->key, 2005U);
    EXPECT_EQ(box()->category(), 1);
    EXPECT_EQ(box()->labelText(), U("张大爷(0755-8888)"));

    // A second call in quick succession: its row and sound, but no second box.
    newCall(Caller(6, 0));
    EXPECT_EQ(rows(0), 1);
    EXPECT_EQ(sounds, (std::vector<int>{2, 1}));
    EXPECT_EQ(h.window().tabStrip().currentTab(), h.window().tabStrip().tabs().tabOf(0));
    EXPECT_EQ(box()->key, 2005U);
    int boxes = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        boxes += dynamic_cast<CServiceMsgBox*>(widget) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(requestsSent().empty()) << "intake reports nothing to the server";
}

// Quitting asks first while SOS or help calls wait, naming how many; a "no" keeps the console
// online.
TEST_F(IntakeTest, QuittingWithWaitingAlarmsAsksAndNamesHowManyWait) {
    ready();
    h.ui.answerYes = false;
    callList(CMD_SOS_CALLS, {Caller(1, 1), Caller(2, 1), Caller(3, 1)}, CallWireOrder::ListEntry);
    newCall(Caller(4, 0));
    callList(CMD_CATEGORY_CALLS, {Caller(5, 9)}, CallWireOrder::ListEntry); // not an alarm
    h.ui.shown.clear();
    h.takeSentCommands();
    h.window().onCommand(32831);
    ASSERT_EQ(h.ui.shown.size(), 1u);
    EXPECT_EQ(h.ui.shown[0].kind, "question");
    EXPECT_EQ(
        h.ui.shown[0].text,
        U("还有 3 个求救呼叫和 1 个求助呼叫等待处理。退出后本机将收不到呼叫，确定要退出吗？"));
    EXPECT_EQ(h.ui.quits, 0);
    EXPECT_NE(h.window().own().status, kStatusOffline);
    EXPECT_TRUE(h.takeSentCommands().empty());

    h.ui.answerYes = true;
    h.window().onCommand(32831);
    EXPECT_EQ(h.ui.quits, 1);
    EXPECT_EQ(h.window().own().status, kStatusOffline);
}

TEST_F(IntakeTest, QuittingWithNoAlarmWaitingAsksNothing) {
    ready();
    callList(CMD_CATEGORY_CALLS, {Caller(5, 9)}, CallWireOrder::ListEntry);
    h.ui.shown.clear();
    h.window().onCommand(32831);
    EXPECT_TRUE(h.ui.shown.empty());
    EXPECT_EQ(h.ui.quits, 1);
}

TEST(QuitQuestion, NamesOnlyTheKindsThatWait) {
    EXPECT_EQ(QuitQuestionText(0, 0), "");
    EXPECT_EQ(QuitQuestionText(301, 0),
              "还有 301 个求救呼叫等待处理。退出后本机将收不到呼叫，确定要退出吗？");
    EXPECT_EQ(QuitQuestionText(0, 2),
              "还有 2 个求助呼叫等待处理。退出后本机将收不到呼叫，确定要退出吗？");
}

TEST_F(IntakeTest, OptionBitsDecideRowSoundAndJump) {
    struct Case {
        const char* name;
        uint32_t category;
        std::vector<std::pair<int, bool>> bits;
        int rows;
        std::vector<int> sounds;
        bool jumps;
    };
    const Case cases[] = {
        {"help taken in", 0, {}, 1, {1}, true},
        {"help calls off", 0, {{5, false}}, 0, {}, false},
        {"sounds off", 0, {{1, false}}, 1, {}, true},
        {"help reminder off", 0, {{7, false}}, 1, {}, true},
        {"SOS calls off", 1, {{4, false}}, 0, {}, false},
        {"SOS reminder off, help reminder on", 1, {{6, false}}, 1, {}, true},
        {"no jump", 1, {{8, false}}, 1, {2}, false},
        {"property: door sound whatever the reminders", 2, {{6, false}, {7, false}}, 1, {6}, true},
        {"property with sounds off", 2, {{1, false}}, 1, {}, true},
    };
    ready();
    uint32_t callId = 100;
    for (const Case& c : cases) {
        storage::ConsoleOptions& options = h.window().options();
        const storage::ConsoleOptions saved = options;
        for (const auto& [bit, on] : c.bits) {
            options.setBit(bit, on);
        }
        h.window().tabStrip().select(h.window().tabStrip().tabs().workTab(),
                                     h.window().seatRights());
        sounds.clear();
        const int before = rows(static_cast<int>(c.category));
        newCall(Caller(++callId, c.category));
        EXPECT_EQ(rows(static_cast<int>(c.category)) - before, c.rows) << c.name;
        EXPECT_EQ(sounds, c.sounds) << c.name;
        EXPECT_EQ(h.window().tabStrip().currentTab() != h.window().tabStrip().tabs().workTab(),
                  c.jumps)
            << c.name;
        options = saved;
    }
}

TEST_F(IntakeTest, CallsOutsideScopeOrRightLeaveNoTrace) {
    ready(ConsoleHarness::OnlyRights({45, 46}));
    CallRecord elsewhere = Caller(1, 1);
    elsewhere.community = Gbk("别的社区");
    newCall(elsewhere);
    CallRecord noRight = Caller(2, 5);
    newCall(noRight);
    EXPECT_EQ(totalRows(), 0);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(box(), nullptr);
}

// Records with fields out of range: never a crash, never a row in a wrong pane.
TEST_F(IntakeTest, FieldsOutOfRangeNeverLandInAWrongPane) {
    struct Case {
        const char* name;
        CallRecord call;
        int pane; // -1: no row anywhere
        int boxCategory;
        QString nameCell;
    };
    CallRecord code27 = Caller(1, 27);
    CallRecord huge = Caller(2, 4000000000U);
    CallRecord sex7 = Caller(3, 1);
    sex7.sex = 7;
    CallRecord noName = Caller(4, 3);
    noName.userName.clear();
    CallRecord longName = Caller(5, 26);
    longName.userName = std::string(3000, 'x');
    CallRecord lastTime = Caller(6, 10);
    lastTime.callTime = 0xFFFFFFFFU;
    CallRecord notGbk = Caller(7, 0);
    notGbk.userName = std::string("\x80\xFF", 2);
    const Case cases[] = {
        {"category 27", code27, -1, 10, {}},
        {"category 4000000000", huge, -1, 10, {}},
        {"sex 7", sex7, 1, 1, U("张大爷")},
        {"empty name", noName, 3, 3, QString()},
        {"enormous name", longName, 26, 26, QString(3000, 'x')},
        {"last 32-bit second", lastTime, 10, 10, U("张大爷")},
        {"name not GBK", notGbk, 0, 0, {}},
    };
    ready();
    for (const Case& c : cases) {
        delete box();
        const int before = totalRows();
        newCall(c.call);
        ASSERT_NE(box(), nullptr) << c.name;
        EXPECT_EQ(box()->category(), c.boxCategory) << c.name;
        if (c.pane < 0) {
            EXPECT_EQ(totalRows(), before) << c.name;
            continue;
        }
        ASSERT_EQ(totalRows(), before + 1) << c.name;
        CallListModel& model = intake->pane(c.pane).model();
        ASSERT_TRUE(model.holds(c.call.callId)) << c.name;
        const int row = model.rowCount() - 1;
        const int nameColumn = c.pane <= 1 ? 4 : 2;
        const QString name = model.data(model.index(row, nameColumn), Qt::DisplayRole).toString();
        if (c.call.userName == std::string("\x80\xFF", 2)) {
            EXPECT_FALSE(name.isEmpty()) << c.name;
        } else {
            EXPECT_EQ(name, c.nameCell) << c.name;
        }
    }
    EXPECT_EQ(rows(1), 1);
    const QModelIndex sex = intake->pane(1).model().index(0, 5);
    EXPECT_EQ(sex.data().toString(), QString());
}

TEST_F(IntakeTest, ListsFillTheirPanesOnceEachAndOnlyWithTheirOption) {
    ready();
    newCall(Caller(11, 1));
    // The server delivers the new call again in the page of its list.
    callList(CMD_SOS_CALLS, {Caller(10, 1), Caller(11, 1)}, CallWireOrder::ListEntryWithSource);
    ASSERT_EQ(rows(1), 2);
    EXPECT_EQ(intake->pane(1).model().record(0).callId, 11U);
    EXPECT_EQ(intake->pane(1).model().record(1).callId, 10U);
    callList(CMD_CATEGORY_CALLS + 8, {Caller(20, 11), Caller(21, 11)}, CallWireOrder::ListEntry);
    EXPECT_EQ(rows(11), 2) << "category pane 8 is code 11";
    callList(CMD_SERVICE_CALLS, {Caller(30, 10)}, CallWireOrder::ListEntry);
    EXPECT_EQ(rows(10), 1);
    callList(CMD_HELP_CALLS, {}, CallWireOrder::ListEntryWithSource);
    EXPECT_EQ(rows(0), 0);

    h.window().options().setBit(storage::kOptionTakeSosCalls, false);
    h.window().options().setBit(storage::kOptionTakeHelpCalls, false);
    callList(CMD_SOS_CALLS, {Caller(12, 1)}, CallWireOrder::ListEntryWithSource);
    callList(CMD_HELP_CALLS, {Caller(13, 0)}, CallWireOrder::ListEntryWithSource);
    EXPECT_EQ(rows(1), 2);
    EXPECT_EQ(rows(0), 0);
    EXPECT_TRUE(sounds.size() == 1) << "lists play no sound";
}

TEST_F(IntakeTest, TheNewestCallIsScrolledIntoViewAndAnEmptyListScrollsNothing) {
    ready();
    h.window().resize(1000, 700);
    h.window().relayout();
    // Several pages: a datagram holds a few dozen calls.
    for (uint32_t page = 0; page < 8; ++page) {
        std::vector<CallRecord> calls;
        for (uint32_t id = page * 25 + 1; id <= page * 25 + 25; ++id) {
            calls.push_back(Caller(id, 2));
        }
        callList(CMD_CATEGORY_CALLS, calls, CallWireOrder::ListEntry);
    }
    newCall(Caller(500, 2));
    QCoreApplication::processEvents();
    QScrollBar* bar = intake->pane(2).view()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(0);
    callList(CMD_CATEGORY_CALLS, {}, CallWireOrder::ListEntry);
    callList(CMD_CATEGORY_CALLS, {Caller(3, 2)}, CallWireOrder::ListEntry);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), 0) << "nothing was appended";
    EXPECT_EQ(rows(2), 201);
}

TEST_F(IntakeTest, GoneCallsLeaveEveryPaneAndTheTabStopsBlinking) {
    ready();
    newCall(Caller(1, 1));
    newCall(Caller(2, 4));
    CallTabBar* bar = h.window().tabStrip().bar();
    const int sosTab = h.window().tabStrip().tabs().tabOf(1);
    std::set<bool> hidden;
    for (int beat = 0; beat < 2; ++beat) {
        h.window().onTimer(kTabBlinkTimer);
        hidden.insert(bar->captionHidden(sosTab));
    }
    EXPECT_EQ(hidden, (std::set<bool>{false, true}));

    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(1); });
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(2); });
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(77); });
    EXPECT_EQ(totalRows(), 0);
    for (int beat = 0; beat < 2; ++beat) {
        h.window().onTimer(kTabBlinkTimer);
        EXPECT_FALSE(bar->captionHidden(sosTab));
    }
}

TEST_F(IntakeTest, AReportConfirmationLeavesOnlyTheHelpAndSosPanes) {
    ready();
    newCall(Caller(1, 1));
    callList(CMD_CATEGORY_CALLS, {Caller(1, 2)}, CallWireOrder::ListEntry);
    intake->onCallMemoSaved(1);
    EXPECT_EQ(rows(1), 0);
    EXPECT_EQ(rows(2), 1);
}

TEST_F(IntakeTest, RefreshEmptiesThePaneAndAsksFromTheStart) {
    ready();
    newCall(Caller(1, 10));
    h.takeSent();
    intake->pane(10).Refresh();
    EXPECT_EQ(rows(10), 0);
    const std::vector<testing::Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 1832);
}

// Taking a call: the handling rights of the help and SOS panes, then the processing list and
// the server.
TEST_F(IntakeTest, TakingCallsByPane) {
    struct Case {
        const char* name;
        std::vector<int> rights;
        uint32_t category; // of the pane
        uint32_t recordCategory;
        bool taken;
        const char* refusal;
    };
    const std::vector<int> viewRights = {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33,
                                         34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46};
    auto with = [&](std::vector<int> extra) {
        extra.insert(extra.end(), viewRights.begin(), viewRights.end());
        return extra;
    };
    const Case cases[] = {
        {"SOS with its right", with({8}), 1, 1, true, nullptr},
        {"SOS without its right", with({7}), 1, 1, false,
         "对不起，你所登录的监控座席帐号没有处理求救呼叫的权限！"},
        {"help without its right", with({8}), 0, 0, false,
         "对不起，你所登录的监控座席帐号没有处理求助呼叫的权限！"},
        {"property, no right needed", with({}), 2, 2, true, nullptr},
        {"customer service", with({}), 10, 10, true, nullptr},
    };
    for (const Case& c : cases) {
        ConsoleHarness other;
        InstallCallParts(other.window());
        auto* parts = other.window().routes().intake;
        parts->setSoundOutput(std::make_unique<RecordedSounds>(sounds));
        SeatRights rights = ConsoleHarness::OnlyRights(c.rights);
        other.login(rights);
        TakenCalls taken;
        other.window().routes().handling = &taken;
        CallRecord call = Caller(40, c.recordCategory);
        other.deliver(CMD_NEW_CALL,
                      [&](OutPacket& out) { call.write(out, CallWireOrder::NewCall); });
        other.takeSent();
        CCallPane& pane = parts->pane(static_cast<int>(c.category));
        ASSERT_EQ(pane.rowCount(), 1) << c.name;
        pane.view()->selectRow(0);
        pane.takeSelectedCall();
        const std::vector<testing::Sent> sent = other.takeSent();
        if (!c.taken) {
            EXPECT_EQ(pane.rowCount(), 1) << c.name;
            EXPECT_TRUE(sent.empty()) << c.name;
            EXPECT_TRUE(taken.taken.empty()) << c.name;
            ASSERT_EQ(other.ui.texts("information").size(), 1u) << c.name;
            EXPECT_EQ(other.ui.texts("information")[0], U(c.refusal)) << c.name;
            continue;
        }
        EXPECT_EQ(pane.rowCount(), 0) << c.name;
        ASSERT_EQ(taken.taken.size(), 1u) << c.name;
        EXPECT_EQ(taken.taken[0].callId, 40U) << c.name;
        EXPECT_EQ(taken.taken[0].category, c.category) << c.name;
        ASSERT_EQ(sent.size(), 1u) << c.name;
        EXPECT_EQ(sent[0].command, CMD_TAKE_CALL) << c.name;
        ASSERT_GE(sent[0].body.size(), 4u) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(sent[0].body.begin(), sent[0].body.begin() + 4),
                  (std::vector<uint8_t>{0, 0, 0, 40}))
            << c.name;
    }
}

TEST_F(IntakeTest, TakingNeedsASelectionAndAHandOverCarriesThePaneCategory) {
    ready();
    callList(CMD_CATEGORY_CALLS, {Caller(1, 9)}, CallWireOrder::ListEntry);
    h.takeSent(); // the request for the rest of the list
    CCallPane& property = intake->pane(2);
    property.takeSelectedCall();
    EXPECT_EQ(property.rowCount(), 1) << "no selection, nothing taken";
    EXPECT_TRUE(requestsSent().empty());

    // A real double-click on the row of the shown pane.
    h.window().tabStrip().select(h.window().tabStrip().tabs().tabOf(2), h.window().seatRights());
    QTableView* view = property.view();
    QCoreApplication::processEvents();
    const QRect cell = view->visualRect(property.model().index(0, 2));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(property.rowCount(), 0);
    ASSERT_EQ(handling.taken.size(), 1u);
    EXPECT_EQ(handling.taken[0].category, 2U) << "was 9 before";
    EXPECT_EQ(requestsSent(), (std::vector<uint16_t>{CMD_TAKE_CALL}));
}

TEST_F(IntakeTest, ContextMenuOfHelpAndSosPanesOpensPagesAboutTheCaller) {
    ready();
    CallRecord call = Caller(1, 0);
    call.phone = "0755 & 1";
    call.city = Gbk("深圳市");
    call.mapMark = Gbk("科技园");
    newCall(call);
    callList(CMD_CATEGORY_CALLS, {Caller(2, 2)}, CallWireOrder::ListEntry);
    CCallPane& help = intake->pane(0);
    EXPECT_EQ(help.contextMenu(), nullptr) << "no selection, no menu";
    help.view()->selectRow(0);
    std::unique_ptr<QMenu> menu(help.contextMenu());
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    for (QAction* action : menu->actions()) {
        captions << action->text();
    }
    EXPECT_EQ(captions,
              (QStringList{U("呼叫客户基本资料"), U("查看客户呼叫历史"), U("通过地图搜索位置")}));
    const std::string randnum = "&randnum=" + h.window().installationId();
    const QString base = h.window().backOfficeBase();
    const std::pair<int, std::string> pages[] = {
        {2, "51ditu.aspx?manager_id=1024&city=%C9%EE%DB%DA%CA%D0&keyvalue=%BF%C6%BC%BC%D4%B0"},
        {0, "calluserinfo.aspx?manager_id=1024&user_tel=0755%20%26%201"},
        {1, "user_call_history.aspx?manager_id=1024&user_tel=0755%20%26%201"},
    };
    for (const auto& [item, address] : pages) {
        h.window().tabStrip().select(0, h.window().seatRights());
        menu->actions()[item]->trigger();
        EXPECT_EQ(h.window().workPane().requested().toString(QUrl::FullyEncoded),
                  base + QString::fromStdString(address + randnum))
            << address;
        EXPECT_EQ(h.window().tabStrip().currentTab(), h.window().tabStrip().tabs().workTab());
    }

    intake->pane(2).view()->selectRow(0);
    EXPECT_EQ(intake->pane(2).contextMenu(), nullptr) << "category panes have no menu";
}

TEST_F(IntakeTest, ReminderDisablesTheMainWindowUntilClosed) {
    ready();
    QDialog handlingWindow(&h.window());
    handlingWindow.show();
    h.window().onTimer(kReminderTimer);
    auto* warning = dynamic_cast<CWarnDlg*>(h.window().findWindow(CWarnDlg::kWindowType, 0, 0));
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->windowTitle(), U("警告"));
    EXPECT_FALSE(h.window().centralWidget()->isEnabled());
    EXPECT_FALSE(h.window().menuBar()->isEnabled());
    EXPECT_TRUE(warning->isEnabled());
    // A handling window the main window owns stays usable, so an open call can be finished.
    EXPECT_TRUE(handlingWindow.isEnabled());
    h.window().onTimer(kReminderTimer);
    EXPECT_EQ(h.window().windows().size(), 2u) << "the main window and one reminder";
    QTest::keyClick(warning, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(h.window().centralWidget()->isEnabled());
    EXPECT_TRUE(h.window().menuBar()->isEnabled());
    EXPECT_EQ(h.window().findWindow(CWarnDlg::kWindowType, 0, 0), nullptr);
}

TEST_F(IntakeTest, LostLinkPlaysTheAlarmOnceAndWarns) {
    ready();
    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(sounds, (std::vector<int>{2}));
    EXPECT_EQ(h.ui.texts("error").size(), 1u);
    // Lost again while offline: no sound, no message.
    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(sounds, (std::vector<int>{2}));
    EXPECT_EQ(h.ui.texts("error").size(), 1u);
}

} // namespace
} // namespace talmor

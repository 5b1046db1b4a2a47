#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "intakefixture.h"

#include "calls/calljournaldlg.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/callpanetable.h"
#include "calls/desktopnotifier.h"
#include "calls/journaltexts.h"
#include "calls/operatorsafety.h"
#include "console/calltabstrip.h"
#include "console/mainlayout.h"
#include "console/mainmenu.h"
#include "kit/appfolders.h"
#include "kit/gbktext.h"
#include "protocol/listcursors.h"
#include "storage/datafiles.h"
#include "widgets/colorlabel.h"

namespace talmor {
namespace {

using intake::Caller;
using storage::JournalEntry;
using storage::JournalStep;
using testing::U;

// Caller() calls at this moment.
constexpr int64_t kCallTimeMs = 1'700'000'000'000;
constexpr int kSos = 1;
constexpr int kHelp = 0;

struct Notice {
    uint32_t callId;
    QString summary;
    QString body;
    bool urgent;
};

class RecordedNotices : public DesktopNotifier {
public:
    void show(uint32_t callId, const QString& summary, const QString& body, bool urgent) override {
        shown.push_back({callId, summary, body, urgent});
    }
    void withdraw(uint32_t callId) override { withdrawn.push_back(callId); }
    std::vector<Notice> shown;
    std::vector<uint32_t> withdrawn;
};

// The intake on a clock the test moves: `at(ms)` is that long after the calls' call time.
class SafetyTest : public intake::IntakeTest {
protected:
    void SetUp() override {
        IntakeTest::SetUp();
        safety = &intake->safety();
        safety->setClock([this] { return now; });
        auto recorder = std::make_unique<RecordedNotices>();
        notices = recorder.get();
        safety->setNotifier(std::move(recorder));
        ready();
        // In the tray, the console is not the active window: the desktop is told of calls.
        h.window().hide();
    }
    void at(int64_t offsetMs) {
        now = kCallTimeMs + offsetMs;
        safety->tick();
    }
    // Lets the once-per-turn update after a row change run.
    static void settle() { QCoreApplication::processEvents(); }
    void take(int code) {
        CCallPane& pane = intake->pane(code);
        pane.view()->selectRow(0);
        pane.takeSelectedCall();
        settle();
    }
    std::vector<JournalStep> stepsOf(uint32_t callId) {
        storage::JournalFilter filter;
        filter.callId = callId;
        std::vector<JournalEntry> entries;
        EXPECT_TRUE(safety->journal().query(filter, entries));
        std::vector<JournalStep> steps;
        for (const JournalEntry& entry : entries) {
            steps.push_back(entry.step);
        }
        return steps;
    }

    int64_t now = kCallTimeMs;
    OperatorSafety* safety = nullptr;
    RecordedNotices* notices = nullptr;
};

// The server sends a page of a list it held the moment the call came, before it learns of the
// take; on a busy machine that page arrives after the operator took the call. The call stays in
// the processing list alone: it is neither listed again nor journalled as shown again.
TEST_F(SafetyTest, APageThatArrivesAfterTheTakeDoesNotListTheCallAgain) {
    newCall(Caller(5, kSos));
    take(kSos);
    callList(CMD_SOS_CALLS, {Caller(5, kSos), Caller(6, kSos)}, CallWireOrder::ListEntryWithSource);
    settle();
    ASSERT_EQ(intake->pane(kSos).rowCount(), 1);
    EXPECT_EQ(intake->pane(kSos).model().record(0).callId, 6u);
    EXPECT_EQ(stepsOf(5), (std::vector<JournalStep>{JournalStep::Arrived, JournalStep::SoundPlayed,
                                                    JournalStep::Shown, JournalStep::Taken}));
    EXPECT_EQ(stepsOf(6), (std::vector<JournalStep>{JournalStep::Shown}));
}

TEST_F(SafetyTest, AnSosCallRealertsEvery15SecondsUntilItIsTaken) {
    newCall(Caller(5, kSos));
    ASSERT_EQ(sounds, (std::vector<int>{2}));
    EXPECT_TRUE(safety->trayBlinking());
    at(14999);
    EXPECT_EQ(sounds, (std::vector<int>{2}));
    at(15000);
    at(30000);
    EXPECT_EQ(sounds, (std::vector<int>{2, 2, 2}));
    // The console is not the active window: the desktop hears of the call at each repeat.
    ASSERT_EQ(notices->shown.size(), 2u);
    EXPECT_EQ(notices->shown[0].callId, 5u);
    EXPECT_EQ(notices->shown[0].summary, U("求救呼叫 等待 15秒"));
    EXPECT_EQ(notices->shown[1].summary, U("求救呼叫 等待 30秒"));
    EXPECT_TRUE(notices->shown[0].body.startsWith(U("张大爷  ")));
    EXPECT_TRUE(notices->shown[0].urgent);

    take(kSos);
    EXPECT_FALSE(safety->trayBlinking());
    EXPECT_EQ(notices->withdrawn, (std::vector<uint32_t>{5}));
    at(45000);
    at(60000);
    EXPECT_EQ(sounds.size(), 3u);
    EXPECT_EQ(notices->shown.size(), 2u);
}

TEST_F(SafetyTest, ACallWithdrawnByAnotherConsoleStopsItsAlarm) {
    newCall(Caller(6, kHelp));
    at(59999);
    EXPECT_EQ(sounds, (std::vector<int>{1}));
    at(60000);
    EXPECT_EQ(sounds, (std::vector<int>{1, 1}));
    ASSERT_EQ(notices->shown.size(), 1u);
    EXPECT_FALSE(notices->shown[0].urgent);
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(6); });
    settle();
    EXPECT_FALSE(safety->trayBlinking());
    at(120000);
    EXPECT_EQ(sounds.size(), 2u);
    EXPECT_EQ(stepsOf(6), (std::vector<JournalStep>{JournalStep::Arrived, JournalStep::SoundPlayed,
                                                    JournalStep::Shown, JournalStep::SoundPlayed,
                                                    JournalStep::Withdrawn}));
}

// Offline, the console cannot take what it lists: the alarms stop, the status line and a strip
// over the panes say so, and the next login's lists replace the old ones.
TEST_F(SafetyTest, OfflineStopsTheAlarmsShowsTheStaleListsAndTheNextLoginReplacesThem) {
    newCall(Caller(5, kSos));
    at(15000);
    ASSERT_EQ(sounds, (std::vector<int>{2, 2}));
    ASSERT_EQ(notices->shown.size(), 1u);
    EXPECT_FALSE(h.window().offlineBanner().isVisibleTo(&h.window()));

    h.window().client().onConnected(false);
    QCoreApplication::processEvents();
    sounds.clear();
    at(30000);
    at(45000);
    at(120000);
    EXPECT_TRUE(sounds.empty());
    EXPECT_FALSE(safety->trayBlinking());
    EXPECT_EQ(notices->shown.size(), 1u);
    EXPECT_EQ(notices->withdrawn, (std::vector<uint32_t>{5}));
    ColorLabel& banner = h.window().offlineBanner();
    EXPECT_TRUE(banner.isVisibleTo(&h.window()));
    EXPECT_TRUE(banner.text().contains(U("已脱机")));
    EXPECT_EQ(banner.backgroundColor(), QColor(204, 0, 0));
    EXPECT_EQ(h.window().statusLabel().backgroundColor(), QColor(204, 0, 0));
    // The panes move down below the strip.
    EXPECT_GE(intake->pane(kSos).mapTo(&h.window(), QPoint(0, 0)).y(),
              banner.mapTo(&h.window(), QPoint(0, banner.height())).y());

    h.window().SetOnline();
    h.loginReply();
    h.rights(testing::ConsoleHarness::AllRights());
    h.ownProfile(testing::ConsoleHarness::Operator());
    h.groups();
    h.contacts();
    EXPECT_FALSE(banner.isVisibleTo(&h.window()));
    EXPECT_NE(h.window().statusLabel().backgroundColor(), QColor(204, 0, 0));
    EXPECT_EQ(rows(kSos), 0);
    callList(CMD_SOS_CALLS, {Caller(9, kSos)}, CallWireOrder::ListEntry);
    settle();
    EXPECT_EQ(rows(kSos), 1);
    EXPECT_TRUE(intake->pane(kSos).model().holds(9));
    EXPECT_TRUE(safety->trayBlinking());
}

TEST_F(SafetyTest, RepeatsFollowTheReminderOptions) {
    h.window().options().setBit(storage::kOptionSosReminder, false);
    newCall(Caller(7, kSos));
    at(15000);
    EXPECT_TRUE(sounds.empty());
    // The alarm still shows: the tray and the desktop.
    EXPECT_TRUE(safety->trayBlinking());
    EXPECT_EQ(notices->shown.size(), 1u);
}

TEST_F(SafetyTest, TheOldestWaitShowsInTheStatusLineAndEachRowShowsItsOwn) {
    ColorLabel& label = safety->waitingLabel();
    at(0);
    EXPECT_FALSE(label.isVisibleTo(&h.window()));
    callList(CMD_CATEGORY_CALLS, {Caller(1, 9)}, CallWireOrder::ListEntry); // waiting since 0
    CallRecord later = Caller(2, kSos);
    later.callTime += 50; // waiting since 50000
    now = kCallTimeMs + 50000;
    newCall(later);
    const struct {
        int64_t atMs;
        const char* text;
        QColor background;
    } steps[] = {
        {60000, "最久等待 1分00秒", QColor(213, 226, 241)},
        {111000, "最久等待 1分51秒", QColor(255, 176, 0)}, // the SOS call waited 61 s
        {231000, "最久等待 3分51秒", QColor(204, 0, 0)},   // and now 181 s
    };
    for (const auto& step : steps) {
        at(step.atMs);
        EXPECT_TRUE(label.isVisibleTo(&h.window())) << step.text;
        EXPECT_EQ(label.text(), U(step.text));
        EXPECT_EQ(label.backgroundColor(), step.background) << step.text;
    }
    CallListModel& sos = intake->pane(kSos).model();
    ASSERT_GE(sos.waitingColumn(), 0);
    EXPECT_EQ(sos.headerData(sos.waitingColumn(), Qt::Horizontal, Qt::DisplayRole).toString(),
              U("等待时间"));
    EXPECT_EQ(sos.data(sos.index(0, sos.waitingColumn()), Qt::DisplayRole).toString(),
              U("3分01秒"));
    // The label stays beside the provider count.
    EXPECT_EQ(label.geometry().left(), h.window().providerLabel().geometry().right() + 11);
}

// On a screen 1280 pixels wide the waiting time of every pane is in sight without scrolling, and
// the oldest-wait label keeps clear of the notice strip.
TEST_F(SafetyTest, WaitingTimesStayInSightAt1280Pixels) {
    const int tabRows = h.window().tabStrip().rows();
    const QRect callArea = LayOut(1280, 720, true, true, tabRows).callArea;
    for (int code = 0; code < 27; ++code) {
        CCallPane& pane = intake->pane(code);
        const int waiting = pane.model().waitingColumn();
        ASSERT_GE(waiting, 0);
        // The list fills the pane less its border and a vertical scroll bar.
        const QHeaderView* header = pane.view()->horizontalHeader();
        EXPECT_LE(header->sectionPosition(waiting) + header->sectionSize(waiting),
                  callArea.width() - 4 - pane.view()->verticalScrollBar()->sizeHint().width())
            << code;
        EXPECT_GE(header->sectionSize(waiting), 60) << code;
    }
    // The test screen is narrower: the client area alone takes the size it has at 1280 pixels.
    h.window().centralWidget()->resize(1280, 700);
    h.window().relayout();
    ASSERT_EQ(h.window().clientSize().width(), 1280);
    newCall(Caller(5, kSos));
    at(1000);
    ColorLabel& label = safety->waitingLabel();
    ASSERT_TRUE(label.isVisibleTo(&h.window()));
    const QRect strip = h.window().noticeSlot().geometry();
    const QRect provider = h.window().providerLabel().geometry();
    const QRect shown(provider.right() + 11, provider.top(), label.width(), label.height());
    EXPECT_FALSE(shown.intersects(strip));
    EXPECT_GT(strip.width(), 0);
}

TEST_F(SafetyTest, EveryStepOfATakenReportedAndConfirmedCallIsJournalled) {
    newCall(Caller(8, kSos));
    take(kSos);
    h.window().client().callReport(8, testing::Gbk("已上门"));
    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(8); });
    EXPECT_EQ(stepsOf(8),
              (std::vector<JournalStep>{JournalStep::Arrived, JournalStep::SoundPlayed,
                                        JournalStep::Shown, JournalStep::Taken,
                                        JournalStep::ReportSaved, JournalStep::Confirmed}));
    // A call gone from the server that this console never listed is no step of its own.
    h.deliver(CMD_CALL_GONE, [](OutPacket& out) { out.writeInt(8); });
    EXPECT_EQ(stepsOf(8).size(), 6u);
}

// A list entry carries no category on the wire: each call is journalled (and shown, and handed
// to the processing list) under the category of the list that delivered it.
TEST_F(SafetyTest, ListedCallsAreJournalledUnderTheirOwnCategory) {
    const struct {
        uint16_t reply;
        uint32_t callId;
        int category;
        const char* label;
    } lists[] = {
        {CMD_HELP_CALLS, 21, kHelp, "求助呼叫"},
        {CMD_SOS_CALLS, 22, kSos, "求救呼叫"},
        {CMD_CATEGORY_CALLS, 23, PaneCodeOfList(ListCursors::kFirstCategory), nullptr},
        {CMD_CATEGORY_CALLS + 9, 24, PaneCodeOfList(ListCursors::kFirstCategory + 9), nullptr},
        {CMD_SERVICE_CALLS, 25, PaneCodeOfList(ListCursors::kService), nullptr},
    };
    for (const auto& list : lists) {
        // What the wire carries is ignored: a help call's 0 is what the reader leaves.
        callList(list.reply, {Caller(list.callId, kHelp)}, CallWireOrder::ListEntry);
    }
    settle();
    for (const auto& list : lists) {
        storage::JournalFilter filter;
        filter.callId = list.callId;
        std::vector<JournalEntry> entries;
        ASSERT_TRUE(safety->journal().query(filter, entries));
        ASSERT_EQ(entries.size(), 1u) << list.callId;
        EXPECT_EQ(entries[0].step, JournalStep::Shown);
        EXPECT_EQ(entries[0].category, list.category) << list.callId;
        const CallListModel& model = intake->pane(list.category).model();
        ASSERT_TRUE(model.holds(list.callId)) << list.callId;
        EXPECT_EQ(model.record(model.rowOf(list.callId)).category,
                  static_cast<uint32_t>(list.category));
        if (list.label != nullptr) {
            EXPECT_EQ(JournalCells(entries[0])[4], U(list.label));
        }
    }
}

// The alarm steps say in words which sound went and how often it was repeated.
TEST_F(SafetyTest, AlarmStepsNameTheSoundAndCountTheRepeatsInWords) {
    newCall(Caller(31, kSos));
    at(15000);
    at(30000);
    storage::JournalFilter filter;
    filter.callId = 31;
    std::vector<JournalEntry> all;
    ASSERT_TRUE(safety->journal().query(filter, all));
    std::vector<JournalEntry> entries;
    std::copy_if(all.begin(), all.end(), std::back_inserter(entries),
                 [](const JournalEntry& entry) { return entry.step == JournalStep::SoundPlayed; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(JournalCells(entries[0])[6], U("求救报警"));
    EXPECT_EQ(JournalCells(entries[1])[6], U("求救报警 第1次重复提醒"));
    EXPECT_EQ(JournalCells(entries[2])[6], U("求救报警 第2次重复提醒"));
    EXPECT_EQ(FromGbk(AlarmDetail(1, 0)), U("求助报警"));
    EXPECT_EQ(FromGbk(AlarmDetail(42, 0)), U("42"));
}

TEST_F(SafetyTest, AJournalThatCannotBeWrittenShowsInTheStatusLineAndIntakeGoesOn) {
    safety->journal().close();
    newCall(Caller(9, kSos));
    EXPECT_EQ(rows(kSos), 1);
    at(1000);
    EXPECT_EQ(safety->waitingLabel().text(), U("最久等待 1秒  处理日志写入失败"));
    EXPECT_EQ(safety->waitingLabel().backgroundColor(), QColor(204, 0, 0));
}

TEST_F(SafetyTest, TheJournalWindowFiltersAndExports) {
    newCall(Caller(10, kSos));
    newCall(Caller(11, kHelp));
    h.window().mainMenu().action(OperatorSafety::kJournalCommand)->trigger();
    CCallJournalDlg* window = safety->journalWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->model().rowCount(), 6); // arrived, sound, shown for each
    window->callIdEdit()->setText("11");
    window->search();
    EXPECT_EQ(window->model().rowCount(), 3);
    window->callIdEdit()->clear();
    window->categoryBox()->setCurrentIndex(1 + kSos);
    window->search();
    ASSERT_EQ(window->model().rowCount(), 3);
    EXPECT_EQ(window->model().data(window->model().index(0, 5), Qt::DisplayRole).toString(),
              U("呼叫到达"));

    const QString csv = QString::fromStdString(h.folder.path()) + "journal.csv";
    ASSERT_TRUE(window->exportTo(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    EXPECT_EQ(lines.size(), 5); // heading, three entries, the end
    EXPECT_TRUE(lines[1].contains(U(",10,2010,张大爷,求救呼叫,呼叫到达,")));
    EXPECT_FALSE(window->exportTo(QString::fromStdString(h.folder.path()) + "no/such/x.csv"));

    // A second choice of the menu brings the same window forward.
    h.window().mainMenu().action(OperatorSafety::kJournalCommand)->trigger();
    EXPECT_EQ(safety->journalWindow(), window);
    delete window;
}

TEST(SafetySwitches, TheIniTurnsEachFeatureOff) {
    testing::ConsoleHarness h;
    QFile ini(QString::fromStdString(applicationFolder()) + "talmormanager.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[safety]\nrealert=false\nwaitingtime=off\njournal=0\n");
    ini.close();
    InstallCallParts(h.window());
    auto* intake = h.window().routes().intake;
    std::vector<int> sounds;
    intake->setSoundOutput(std::make_unique<intake::RecordedSounds>(sounds));
    OperatorSafety& safety = intake->safety();
    int64_t now = kCallTimeMs;
    safety.setClock([&] { return now; });
    h.login();
    h.deliver(CMD_NEW_CALL,
              [&](OutPacket& out) { Caller(3, kSos).write(out, CallWireOrder::NewCall); });
    now += 60000;
    safety.tick();
    EXPECT_EQ(sounds, (std::vector<int>{2})) << "the one announcement, no repeat";
    EXPECT_FALSE(safety.trayBlinking());
    EXPECT_FALSE(safety.waitingLabel().isVisibleTo(&h.window()));
    EXPECT_EQ(intake->pane(kSos).model().waitingColumn(), -1);
    // The journal's menu item waits hidden for the system page to switch the journal on.
    const QAction* journalItem = h.window().mainMenu().action(OperatorSafety::kJournalCommand);
    ASSERT_NE(journalItem, nullptr);
    EXPECT_FALSE(journalItem->isVisible());
    EXPECT_FALSE(
        QFileInfo::exists(QString::fromStdString(userFolder()) + storage::kCallJournalFile));
}

} // namespace
} // namespace talmor

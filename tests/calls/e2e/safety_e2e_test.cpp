// Re-alerting against a real quorvane-server, on a clock the test moves: a waiting SOS call's
// sound repeats at 15 and 30 seconds and the desktop's notification service (a recording one on
// a private session bus) is told, until the call is taken here or by another console.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonObject>
#include <QTableView>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/desktopnotifier.h"
#include "calls/operatorsafety.h"
#include "console/talmormanagerdlg.h"
#include "kit/gbktext.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/liveconsole.h"
#include "support/notificationservice.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kSos = 1;
constexpr int kSosSound = 2;

class SafetyEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Qt keeps the session bus it first connected to for the life of the process: each test
        // needs a process of its own, as ctest runs them.
        static bool busUsed = false;
        if (busUsed) {
            GTEST_SKIP() << "needs a process of its own (run it alone, as ctest does)";
        }
        busUsed = true;
        QString error;
        // The bus first: the console's first use of the session bus must find the private one.
        ASSERT_TRUE(bus.start(error)) << error.toStdString();
        testing::EnsureApplication();
        ASSERT_TRUE(notifications.start(bus.address(), error)) << error.toStdString();
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
        // One after the other, so that each opens the journal of its own operator.
        first = login(1024, "talmor1024");
        second = login(1025, "talmor1025");
        // Only the first console speaks to the desktop, so every notice heard is its own.
        second->intake().safety().setNotifier(std::make_unique<Muted>());
    }
    class Muted : public DesktopNotifier {
    public:
        void show(uint32_t, const QString&, const QString&, bool) override {}
        void withdraw(uint32_t) override {}
    };
    std::unique_ptr<LiveConsole> login(uint32_t operatorId, const std::string& password) {
        auto console = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort());
        console->intake().safety().setClock([this] { return now; });
        console->login(operatorId, password);
        EXPECT_TRUE(waitFor([&] { return console->ready(); }, kTimeoutMs));
        // Left in the tray: the console is not the active window.
        console->window().hide();
        return console;
    }
    uint32_t inject(const QString& query) {
        const auto answer = control->post("/api/calls/inject?" + query);
        return answer ? static_cast<uint32_t>(answer->object().value("callId").toInt()) : 0;
    }
    static bool holds(LiveConsole& console, int code, uint32_t callId) {
        return console.intake().pane(code).model().holds(callId);
    }
    // Moves the clock on and lets both consoles look at their waiting calls.
    void after(int64_t ms) {
        now += ms;
        first->intake().safety().tick();
        second->intake().safety().tick();
    }
    // The repeats of `callId`'s alarm that `console` wrote into its journal.
    static int repeatsOf(LiveConsole& console, uint32_t callId) {
        storage::JournalFilter filter;
        filter.callId = callId;
        std::vector<storage::JournalEntry> entries;
        EXPECT_TRUE(console.intake().safety().journal().query(filter, entries));
        // A repeated alarm's entry counts its repeat in words ("第2次重复提醒").
        const std::string repeat = ToGbk(QString::fromUtf8("重复提醒")).value_or("?");
        int repeats = 0;
        for (const storage::JournalEntry& entry : entries) {
            repeats += entry.step == storage::JournalStep::SoundPlayed &&
                               entry.detail.find(repeat) != std::string::npos
                           ? 1
                           : 0;
        }
        return repeats;
    }
    static int soundsOf(LiveConsole& console, int event) {
        int count = 0;
        for (int played : console.sounds()) {
            count += played == event ? 1 : 0;
        }
        return count;
    }
    // The notifications about the caller `name` (UTF-8).
    std::vector<RecordingNotificationService::Notice> noticesAbout(const char* name) {
        std::vector<RecordingNotificationService::Notice> found;
        for (const auto& notice : notifications.shown()) {
            if (notice.body.startsWith(QString::fromUtf8(name))) {
                found.push_back(notice);
            }
        }
        return found;
    }
    static void take(LiveConsole& console, uint32_t callId) {
        CCallPane& pane = console.intake().pane(kSos);
        const int row = pane.model().rowOf(callId);
        ASSERT_GE(row, 0);
        pane.view()->selectRow(row);
        pane.takeSelectedCall();
    }

    PrivateSessionBus bus;
    RecordingNotificationService notifications;
    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    int64_t now = QDateTime::currentMSecsSinceEpoch();
    std::unique_ptr<LiveConsole> first;
    std::unique_ptr<LiveConsole> second;
};

TEST_F(SafetyEndToEnd, AnUntakenSosCallRealertsAt15And30SecondsUntilItIsTaken) {
    const uint32_t id = inject("category=1&user=2008");
    ASSERT_GT(id, 0u);
    ASSERT_TRUE(waitFor([&] { return holds(*first, kSos, id); }, kTimeoutMs));
    const int announced = soundsOf(*first, kSosSound);
    // The journal's folder is the process's: a call of the same id may be there from before.
    const int before = repeatsOf(*first, id);
    after(14999);
    EXPECT_EQ(repeatsOf(*first, id), before);
    after(1);
    EXPECT_EQ(repeatsOf(*first, id), before + 1);
    EXPECT_EQ(soundsOf(*first, kSosSound), announced + 1);
    after(15000);
    EXPECT_EQ(repeatsOf(*first, id), before + 2);
    EXPECT_EQ(soundsOf(*first, kSosSound), announced + 2);
    EXPECT_TRUE(first->intake().safety().trayBlinking());

    // The desktop was told, by name and address, as an urgent notice that replaces itself.
    ASSERT_TRUE(waitFor([&] { return noticesAbout("孙丽华").size() == 2; }, kTimeoutMs));
    const auto notices = noticesAbout("孙丽华");
    EXPECT_TRUE(notices[0].summary.startsWith(QString::fromUtf8("求救呼叫 等待")));
    EXPECT_TRUE(notices[0].body.contains(QString::fromUtf8("科技园社区9栋402")));
    EXPECT_EQ(notices[0].urgency, 2);
    EXPECT_EQ(notices[1].replaces, notices[0].id) << "one notice per call, replaced";

    take(*first, id);
    QCoreApplication::processEvents();
    after(15000);
    after(15000);
    EXPECT_EQ(repeatsOf(*first, id), before + 2);
    // Its notice is taken back from the desktop.
    ASSERT_TRUE(waitFor(
        [&] {
            const std::vector<uint32_t>& closed = notifications.closed();
            return std::find(closed.begin(), closed.end(), notices[0].id) != closed.end();
        },
        kTimeoutMs));
}

TEST_F(SafetyEndToEnd, ACallTakenByAnotherConsoleStopsTheRepeats) {
    const uint32_t id = inject("category=1&user=2008");
    ASSERT_TRUE(
        waitFor([&] { return holds(*first, kSos, id) && holds(*second, kSos, id); }, kTimeoutMs));
    const int before = repeatsOf(*first, id);
    after(15000);
    EXPECT_EQ(repeatsOf(*first, id), before + 1);

    take(*second, id);
    ASSERT_TRUE(waitFor([&] { return !holds(*first, kSos, id); }, kTimeoutMs));
    QCoreApplication::processEvents();
    after(15000);
    after(15000);
    EXPECT_EQ(repeatsOf(*first, id), before + 1);
    storage::JournalFilter filter;
    filter.callId = id;
    std::vector<storage::JournalEntry> entries;
    ASSERT_TRUE(first->intake().safety().journal().query(filter, entries));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().step, storage::JournalStep::Withdrawn);
}

} // namespace
} // namespace talmor::e2e

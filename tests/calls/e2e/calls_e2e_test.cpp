#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTableView>

#include <memory>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/servicemsgbox.h"
#include "console/talmormanagerdlg.h"
#include "protocol/commands.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/liveconsole.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/wire.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kSos = 1;
constexpr int kHelp = 0;

// Two consoles of the same area (operators 1024 and 1025) in this process on real sockets,
// logged in to a real quorvane-server with the demo seed.
class CallsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
        first = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort());
        second = std::make_unique<LiveConsole>(server.udpPort(), server.httpPort());
        first->login(1024, "talmor1024");
        second->login(1025, "talmor1025");
        ASSERT_TRUE(waitFor([&] { return first->ready() && second->ready(); }, kTimeoutMs));
        // The seed's waiting calls are listed by now or soon; the tests count from here.
        ASSERT_TRUE(
            waitFor([&] { return loginComplete(1024) && loginComplete(1025); }, kTimeoutMs));
    }
    void TearDown() override {
        first.reset();
        second.reset();
    }

    bool loginComplete(uint32_t operatorId) {
        const auto consoles = control->get("/api/consoles");
        for (const QJsonValue& entry : consoles ? consoles->array() : QJsonArray()) {
            const QJsonObject console = entry.toObject();
            if (console.value("operator").toInt() == static_cast<int>(operatorId)) {
                return console.value("ready").toBool();
            }
        }
        return false;
    }
    uint32_t inject(const QString& query) {
        const auto answer = control->post("/api/calls/inject?" + query);
        return answer ? static_cast<uint32_t>(answer->object().value("callId").toInt()) : 0;
    }
    static bool holds(LiveConsole& console, int code, uint32_t callId) {
        return console.intake().pane(code).model().holds(callId);
    }
    static int soundsOf(LiveConsole& console, int event) {
        int count = 0;
        for (int played : console.sounds()) {
            count += played == event ? 1 : 0;
        }
        return count;
    }
    static CServiceMsgBox* box(LiveConsole& console) {
        return dynamic_cast<CServiceMsgBox*>(
            console.window().findWindow(CServiceMsgBox::kWindowType, 0, 0));
    }
    static int boxesInProcess() {
        int boxes = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            boxes += dynamic_cast<CServiceMsgBox*>(widget) != nullptr ? 1 : 0;
        }
        return boxes;
    }
    QJsonObject callState(uint32_t callId) {
        const auto calls = control->get("/api/calls");
        for (const QJsonValue& entry : calls ? calls->array() : QJsonArray()) {
            if (entry.toObject().value("callId").toInt() == static_cast<int>(callId)) {
                return entry.toObject();
            }
        }
        return {};
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    std::unique_ptr<LiveConsole> first;
    std::unique_ptr<LiveConsole> second;
};

TEST_F(CallsEndToEnd, AnSosCallReachesBothConsolesAndLeavesTheOtherWhenTaken) {
    const uint32_t id = inject("category=1&user=2001");
    ASSERT_GT(id, 0u);
    ASSERT_TRUE(
        waitFor([&] { return holds(*first, kSos, id) && holds(*second, kSos, id); }, kTimeoutMs));
    for (LiveConsole* console : {first.get(), second.get()}) {
        EXPECT_EQ(soundsOf(*console, 2), 1);
        ASSERT_NE(box(*console), nullptr);
        EXPECT_EQ(box(*console)->key, 2001u);
        EXPECT_EQ(box(*console)->category(), kSos);
    }
    // A second SOS call while the boxes are up: its rows and sounds, no further box. The call
    // also comes back in the page of the SOS list; it is listed once.
    const uint32_t next = inject("category=1&user=2002");
    ASSERT_TRUE(waitFor([&] { return holds(*first, kSos, next) && holds(*second, kSos, next); },
                        kTimeoutMs));
    EXPECT_EQ(boxesInProcess(), 2);
    EXPECT_EQ(box(*first)->key, 2001u);
    EXPECT_EQ(soundsOf(*first, 2), 2);

    // Operator 1024 takes the first call: it leaves 1024's pane at once and 1025's on the
    // server's word.
    CCallPane& pane = first->intake().pane(kSos);
    int row = -1;
    for (int r = 0; r < pane.model().rowCount(); ++r) {
        row = pane.model().record(r).callId == id ? r : row;
    }
    ASSERT_GE(row, 0);
    pane.view()->selectRow(row);
    pane.takeSelectedCall();
    EXPECT_FALSE(holds(*first, kSos, id));
    ASSERT_TRUE(waitFor([&] { return !holds(*second, kSos, id); }, kTimeoutMs));
    EXPECT_TRUE(holds(*second, kSos, next));
    EXPECT_TRUE(holds(*first, kSos, next));
    ASSERT_TRUE(
        waitFor([&] { return callState(id).value("state").toString() == "taken"; }, kTimeoutMs));
    EXPECT_EQ(callState(id).value("takenBy").toInt(), 1024);
}

TEST_F(CallsEndToEnd, CallsOutsideTheScopeOrWithTheirOptionOffNeverShow) {
    first->window().options().setBit(storage::kOptionTakeSosCalls, false);

    // The server itself keeps another community's call from both consoles...
    const uint32_t elsewhere = inject("category=0&user=2001&community=%E5%88%AB%E5%A4%84");
    // ...and the console filters a call the server pushes to it anyway.
    CallRecord pushed;
    pushed.callId = 900001;
    pushed.userId = 2003;
    pushed.category = 0;
    pushed.province = testing::Gbk("江苏省");
    const testing::Bytes body = testing::recordBytes(pushed, CallWireOrder::NewCall);
    const QByteArray hex =
        QByteArray(reinterpret_cast<const char*>(body.data()), static_cast<int>(body.size()))
            .toHex();
    ASSERT_TRUE(control->post(QString("/api/push?operator=1024&command=%1&body=%2")
                                  .arg(CMD_NEW_CALL)
                                  .arg(QString::fromLatin1(hex))));
    // An SOS call while 1024 takes in no SOS calls.
    const uint32_t sos = inject("category=1&user=2001");
    ASSERT_TRUE(waitFor([&] { return holds(*second, kSos, sos); }, kTimeoutMs));

    // Datagrams reach a console in order: once this help call is listed, everything before
    // it has been handled.
    const uint32_t marker = inject("category=0&user=2002");
    ASSERT_TRUE(waitFor(
        [&] { return holds(*first, kHelp, marker) && holds(*second, kHelp, marker); }, kTimeoutMs));
    EXPECT_FALSE(holds(*first, kSos, sos));
    EXPECT_EQ(soundsOf(*first, 2), 0);
    EXPECT_EQ(soundsOf(*second, 2), 1);
    for (LiveConsole* console : {first.get(), second.get()}) {
        EXPECT_FALSE(holds(*console, kHelp, elsewhere));
        EXPECT_FALSE(holds(*console, kHelp, 900001));
    }
    ASSERT_NE(box(*first), nullptr);
    EXPECT_EQ(box(*first)->key, 2002u) << "the first box is the help call's, not the SOS call's";
}

TEST_F(CallsEndToEnd, AStormOfCallsIsListedOnceEach) {
    const auto answer = control->post("/api/calls/inject?category=5&user=2001&count=300");
    ASSERT_TRUE(answer);
    const uint32_t firstId = static_cast<uint32_t>(answer->object().value("callId").toInt());
    const uint32_t lastId = static_cast<uint32_t>(answer->object().value("lastCallId").toInt());
    ASSERT_EQ(lastId - firstId, 299u);
    ASSERT_TRUE(waitFor(
        [&] { return first->intake().rowCount(5) >= 300 && second->intake().rowCount(5) >= 300; },
        kTimeoutMs));
    for (LiveConsole* console : {first.get(), second.get()}) {
        CallListModel& model = console->intake().pane(5).model();
        ASSERT_EQ(model.rowCount(), 300);
        for (int row = 0; row < 300; ++row) {
            EXPECT_EQ(model.record(row).callId, firstId + static_cast<uint32_t>(row));
        }
    }
}

} // namespace
} // namespace talmor::e2e

// A real quorvane-server and the console's protocol core over loopback: the whole login, a
// call taken away from a second console, chat between consoles, and the login through a link
// that loses and duplicates datagrams.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/lossyproxy.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor::e2e {
namespace {

constexpr int kLoginTimeoutMs = 20000;
const std::string kNickOf2001 = "\xD5\xC5\xB4\xF3\xD2\xAF"; // "张大爷" in GBK

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
    }

    // Logs an operator of the demo seed in and waits until its console is ready.
    std::unique_ptr<TestConsole> loggedIn(uint32_t operatorId) {
        auto console = std::make_unique<TestConsole>();
        console->connect(operatorId, "talmor" + std::to_string(operatorId), server.udpPort());
        const bool ready = waitFor([&] { return console->ready(); }, kLoginTimeoutMs);
        EXPECT_TRUE(ready) << "operator " << operatorId << " did not get ready";
        return console;
    }

    // The commands the server logged for an operator, in order.
    std::vector<int> loggedCommands(uint32_t operatorId) {
        std::vector<int> commands;
        auto log = control->get(QString("/api/log?operator=%1").arg(operatorId));
        if (log) {
            for (const QJsonValue& entry : log->array()) {
                commands.push_back(entry.toObject().value("command").toInt());
            }
        }
        return commands;
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
};

bool contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

TEST_F(EndToEnd, LoginReachesAReadyConsoleWithGroupsContactsProfilesAndCalls) {
    auto console = loggedIn(1024);
    ASSERT_TRUE(console->ready());
    EXPECT_EQ(console->loginResult, 0);
    EXPECT_TRUE(console->ownProfileReceived);
    EXPECT_EQ(console->own().record.typeCode, "S");
    for (std::size_t i = 0; i < kSeatRightCount; ++i) {
        EXPECT_TRUE(console->seatRights().granted(i)) << i;
    }
    EXPECT_EQ(console->groups.size(), 3u);
    EXPECT_EQ(console->contacts().records().size(), 7u);
    const ContactRecord* subscriber = console->contacts().find(2001);
    ASSERT_NE(subscriber, nullptr);
    EXPECT_EQ(subscriber->nick, kNickOf2001);
    EXPECT_EQ(subscriber->age, 78);
    // The seed's waiting calls of the operator's area reach their panes; the organisation's
    // call does not.
    EXPECT_TRUE(waitFor([&] { return console->waitingCalls.size() == 4; }, kLoginTimeoutMs))
        << console->waitingCalls.size();

    const std::vector<int> commands = loggedCommands(1024);
    for (int command : {3, 1280, 9, 10, 2, 8, 1281, 1282, 1808, 1832}) {
        EXPECT_TRUE(contains(commands, command)) << command;
    }
    EXPECT_FALSE(contains(commands, 1859)); // no scope code for an area operator

    auto consoles = control->get("/api/consoles");
    ASSERT_TRUE(consoles);
    ASSERT_EQ(consoles->array().size(), 1);
    EXPECT_EQ(consoles->array()[0].toObject().value("operator").toInt(), 1024);
    EXPECT_TRUE(consoles->array()[0].toObject().value("ready").toBool());
}

TEST_F(EndToEnd, AnOrganisationOperatorLoadsItsScopeCodeAndSeesOnlyItsMembersCalls) {
    auto console = loggedIn(1026);
    ASSERT_TRUE(console->ready());
    EXPECT_EQ(console->scopeCode(), "ORG501");
    EXPECT_TRUE(contains(loggedCommands(1026), 1859));
    ASSERT_TRUE(waitFor([&] { return !console->waitingCalls.empty(); }, kLoginTimeoutMs));
    for (const auto& [id, call] : console->waitingCalls) {
        EXPECT_EQ(call.orgId, 501u) << id;
    }
}

TEST_F(EndToEnd, ATakenCallLeavesTheOtherConsole) {
    auto first = loggedIn(1024);
    auto second = loggedIn(1025);
    auto injected = control->post("/api/calls/inject?category=1&user=2001");
    ASSERT_TRUE(injected);
    const auto id = static_cast<uint32_t>(injected->object().value("callId").toInt());
    ASSERT_GT(id, 0u);
    ASSERT_TRUE(waitFor(
        [&] { return first->waitingCalls.count(id) != 0 && second->waitingCalls.count(id) != 0; },
        kLoginTimeoutMs));
    EXPECT_EQ(first->waitingCalls.at(id).userName, std::string("\xD5\xC5\xBD\xA8\xB9\xFA"));

    first->waitingCalls.erase(id);
    first->client().takeCall(id);
    ASSERT_TRUE(waitFor([&] { return second->waitingCalls.count(id) == 0; }, kLoginTimeoutMs));
    EXPECT_EQ(second->goneCalls, std::vector<uint32_t>{id});
    EXPECT_TRUE(first->goneCalls.empty());

    auto calls = control->get("/api/calls");
    ASSERT_TRUE(calls);
    bool found = false;
    for (const QJsonValue& value : calls->array()) {
        const QJsonObject call = value.toObject();
        if (call.value("callId").toInt() == static_cast<int>(id)) {
            found = true;
            EXPECT_EQ(call.value("state").toString(), "taken");
            EXPECT_EQ(call.value("takenBy").toInt(), 1024);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(EndToEnd, ChatAndPresenceTravelThroughTheServer) {
    auto first = loggedIn(1024);
    auto second = loggedIn(1025);
    // Each lists the other: the first saw the second arrive, the second found the first online.
    EXPECT_TRUE(waitFor([&] { return first->onlineContacts.count(1025) != 0; }, kLoginTimeoutMs));
    EXPECT_TRUE(waitFor([&] { return second->onlineContacts.count(1024) != 0; }, kLoginTimeoutMs));

    const std::string text = "\xC4\xE3\xBA\xC3"; // "你好" in GBK
    first->client().sendMessage(1, 1025, text);
    ASSERT_TRUE(waitFor([&] { return !second->messages.empty(); }, kLoginTimeoutMs));
    const MessageRecord& message = second->messages.front();
    EXPECT_EQ(message.peerId, 1024u);
    EXPECT_EQ(message.text, text);
    EXPECT_NE(message.flags & 2, 0); // came through the server

    second->client().goOffline();
    EXPECT_TRUE(waitFor([&] { return first->onlineContacts.count(1025) == 0; }, kLoginTimeoutMs));
}

TEST_F(EndToEnd, LoginCompletesThroughALinkThatLosesAndDuplicatesDatagrams) {
    // 30% of the datagrams are lost each way and 10% of the rest arrive twice. The console's
    // retransmission runs every 10 s of its clock: its clock and timers run 20 times faster
    // here so that a lost request costs half a second, not ten.
    LossyProxy proxy(server.udpPort(), 30, 10, 20261210);
    ASSERT_NE(proxy.port(), 0);
    TestConsole console(20);
    // A request of the login sent three times without an answer (0.3^3 per request) stops
    // the login; the operator would log in again, and so does this test, a few times at most.
    int attempts = 0;
    int handledTimeouts = 0;
    while (!console.ready() && attempts < 6) {
        if (attempts == 0 || console.loginFailed()) {
            ++attempts;
            console.connect(1024, "talmor1024", proxy.port());
        }
        waitFor(
            [&] {
                return console.ready() || console.loginFailed() ||
                       console.lateTimeouts() > handledTimeouts;
            },
            30000);
        if (console.lateTimeouts() > handledTimeouts) {
            // A profile request abandoned after its three sends: ask again, as a console may.
            handledTimeouts = console.lateTimeouts();
            console.requestMissingProfiles();
        }
    }
    ASSERT_TRUE(console.ready()) << "attempts " << attempts;
    EXPECT_EQ(console.groups.size(), 3u);
    EXPECT_EQ(console.contacts().records().size(), 7u);
    EXPECT_EQ(console.contacts().find(2001)->nick, kNickOf2001);
    EXPECT_GT(proxy.dropped, 0);
    EXPECT_GT(proxy.duplicated, 0);
    std::printf("lossy login: %d attempt(s), %d datagrams passed, %d dropped, %d duplicated\n",
                attempts, proxy.passed, proxy.dropped, proxy.duplicated);
}

TEST_F(EndToEnd, ControlApiPushesRawCommandsAndServesStandInPages) {
    auto console = loggedIn(1024);
    ASSERT_TRUE(waitFor([&] { return !console->waitingCalls.empty(); }, kLoginTimeoutMs));
    const uint32_t id = console->waitingCalls.begin()->first;
    // A raw call-gone notice pushed to the console takes the call from its panes.
    auto pushed = control->post(
        QString("/api/push?operator=1024&command=1867&body=%1").arg(id, 8, 16, QChar('0')));
    ASSERT_TRUE(pushed);
    EXPECT_TRUE(waitFor([&] { return console->waitingCalls.count(id) == 0; }, kLoginTimeoutMs));
    EXPECT_FALSE(control->post("/api/push?operator=1025&command=1867&body=00000001"));
    EXPECT_FALSE(control->post("/api/calls/inject?category=99&user=2001"));
    EXPECT_FALSE(control->post("/api/calls/inject?category=1&user=1024"));

    int status = 0;
    auto page = control->page("/manage/createmanager.aspx?manager_id=1024&randnum=ABC", &status);
    ASSERT_TRUE(page);
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(page->contains("createmanager.aspx"));
    EXPECT_TRUE(page->contains("manager_id") && page->contains("ABC"));
    // A page the server makes from its store, under the same folder.
    auto usage = control->page("/manage/user_call_check.aspx?manager_id=1024&randnum=ABC");
    ASSERT_TRUE(usage);
    EXPECT_TRUE(usage->contains("<table id=\"days\">"));
    auto notice = control->page("/manage/guendong.aspx?GDWidth=424");
    ASSERT_TRUE(notice);
    // The notice scrolls by a few steps a second, not in a marquee's frames at the display's rate.
    EXPECT_TRUE(notice->contains("id=\"notice\"") && notice->contains("width: 424px"));
    EXPECT_TRUE(notice->contains("}, 250);"));
    EXPECT_FALSE(notice->contains("marquee"));
    auto agreement = control->page("/soft/Negotiate.htm");
    ASSERT_TRUE(agreement);
    EXPECT_TRUE(agreement->contains("服务协议"));
    auto recovery = control->page("/forgetpwd/forgetpassword.aspx");
    ASSERT_TRUE(recovery);
    EXPECT_TRUE(recovery->contains("找回密码"));
    // The login dialog's header is a page of its own, not the stand-in that names its path.
    auto header = control->page("/manage/header.html");
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->contains("社区智能化管理服务平台"));
    EXPECT_FALSE(header->contains("<h2>/manage/header.html"));
}

TEST_F(EndToEnd, TheServerStopsCleanlyOnSigterm) {
    auto console = loggedIn(1025);
    EXPECT_TRUE(server.stop());
    EXPECT_TRUE(server.output().contains("quorvane-server stopped"));
}

} // namespace
} // namespace talmor::e2e

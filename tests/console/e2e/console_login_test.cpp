#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>
#include <set>

#include "support/consoleprocess.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

constexpr int kReadyTimeoutMs = 60000;

// The commands the server logged for `operatorId`.
std::multiset<int> LoggedCommands(ControlClient& control, uint32_t operatorId) {
    std::multiset<int> commands;
    const auto log = control.get(QString("/api/log?operator=%1").arg(operatorId));
    if (log) {
        for (const QJsonValue& entry : log->array()) {
            commands.insert(entry.toObject().value("command").toInt());
        }
    }
    return commands;
}

// The server's sessions of `operatorId`.
std::vector<QJsonObject> Sessions(ControlClient& control, uint32_t operatorId) {
    std::vector<QJsonObject> sessions;
    std::optional<QJsonDocument> consoles;
    waitFor([&] { return (consoles = control.get("/api/consoles")).has_value(); }, 10000);
    for (const QJsonValue& entry : consoles ? consoles->array() : QJsonArray()) {
        if (entry.toObject().value("operator").toInt() == static_cast<int>(operatorId)) {
            sessions.push_back(entry.toObject());
        }
    }
    return sessions;
}

bool Holds(const std::multiset<int>& commands, const std::vector<int>& wanted) {
    for (int command : wanted) {
        if (commands.count(command) == 0) {
            return false;
        }
    }
    return true;
}

// The requests of a complete login: login, rights, profile, groups, contacts, then the
// reminder, the four counters and the 28 call lists.
std::vector<int> ReadyRequests() {
    std::vector<int> wanted = {3,    1280, 9,    10,   2,    1858, 1289,
                               1860, 1861, 1288, 1281, 1282, 1832, 1864};
    for (int pane = 0; pane < 24; ++pane) {
        wanted.push_back(1808 + pane);
    }
    return wanted;
}

// A quorvane-server with the demo seed and a console home pointing at it.
class ConsoleLoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        home = std::make_unique<ConsoleHome>(server.udpPort(), server.httpPort());
        control = std::make_unique<ControlClient>(server.httpPort());
    }
    // Starts a console with the start URL of operator 1024.
    void startLogin(MarkedProcess& console) {
        console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                      home->environment());
    }

    ServerProcess server;
    std::unique_ptr<ConsoleHome> home;
    std::unique_ptr<ControlClient> control;
};

TEST_F(ConsoleLoginTest, StartUrlLogsInAndTheConsoleGetsReady) {
    MarkedProcess console;
    startLogin(console);
    ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0) << console.output().toStdString();

    const std::vector<int> wanted = ReadyRequests();
    ASSERT_EQ(wanted.size(), 38u);
    std::multiset<int> commands;
    ASSERT_TRUE(waitFor(
        [&] {
            commands = LoggedCommands(*control, 1024);
            return Holds(commands, wanted);
        },
        kReadyTimeoutMs))
        << console.output().toStdString();
    EXPECT_EQ(commands.count(3), 1u);
    EXPECT_EQ(commands.count(1280), 1u);
    // The console asks again after every list reply; the demo lists fit one reply, and the
    // request after it waits at the server for a new call instead of getting an empty page
    // at once, so a ready console asks for each list at most twice.
    waitFor([] { return false; }, 2000);
    commands = LoggedCommands(*control, 1024);
    for (int list : {1281, 1282, 1808, 1832, 1864}) {
        EXPECT_LE(commands.count(list), 2u) << list;
    }

    // The server counts the login complete once the console acknowledged its contact list.
    QJsonObject session;
    EXPECT_TRUE(waitFor(
        [&] {
            const std::vector<QJsonObject> sessions = Sessions(*control, 1024);
            session = sessions.empty() ? QJsonObject() : sessions.front();
            return session.value("ready").toBool();
        },
        kReadyTimeoutMs));
    EXPECT_EQ(session.value("status").toInt(), 0);
    // The account is remembered for the login dialog.
    QFile accounts(home->folder() + "/HistoryUser.dat");
    ASSERT_TRUE(accounts.open(QIODevice::ReadOnly));
    EXPECT_EQ(accounts.readAll(), "1024\n");
}

TEST_F(ConsoleLoginTest, ASecondConsoleOfTheSameHomeShowsNoWindowOfItsOwn) {
    MarkedProcess first;
    startLogin(first);
    ASSERT_GE(first.waitForMark("ready", kReadyTimeoutMs), 0) << first.output().toStdString();
    const std::vector<QJsonObject> before = Sessions(*control, 1024);
    ASSERT_EQ(before.size(), 1u);

    // Without a start URL it stops at its message; with one it hands the URL over, and the
    // running console, logged in already, only comes forward.
    MarkedProcess plain;
    plain.start(TALMOR_CONSOLE_BINARY, {}, home->environment());
    EXPECT_LT(plain.waitForMark("login dialog shown", 3000), 0) << plain.output().toStdString();
    EXPECT_TRUE(plain.output().contains("talmormanager: already running"))
        << plain.output().toStdString();
    MarkedProcess linked;
    startLogin(linked);
    ASSERT_GE(linked.waitForMark("start URL handed over", kReadyTimeoutMs), 0)
        << linked.output().toStdString();
    EXPECT_GE(first.waitForMark("handed-over start URL: a login is on", kReadyTimeoutMs), 0)
        << first.output().toStdString();
    // It ends by itself (waitForFinished is false for a process that has ended already).
    ASSERT_TRUE(linked.process().state() == QProcess::NotRunning ||
                linked.process().waitForFinished(kReadyTimeoutMs));
    EXPECT_EQ(linked.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(linked.process().exitCode(), 0);

    const std::vector<QJsonObject> after = Sessions(*control, 1024);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].value("session"), before[0].value("session"));
    EXPECT_EQ(first.process().state(), QProcess::Running);
}

TEST_F(ConsoleLoginTest, ASecondLaunchWithAStartUrlLogsTheWaitingConsoleIn) {
    MarkedProcess first;
    first.start(TALMOR_CONSOLE_BINARY, {}, home->environment());
    ASSERT_GE(first.waitForMark("login dialog shown", kReadyTimeoutMs), 0)
        << first.output().toStdString();
    EXPECT_TRUE(Sessions(*control, 1024).empty());

    // A link the shell hands to a second launch, as from the desktop entry.
    MarkedProcess refused;
    refused.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw="}, home->environment());
    // It says why (in its error box) and hands nothing over.
    ASSERT_GE(refused.waitForMark("start URL refused", kReadyTimeoutMs), 0)
        << refused.output().toStdString();

    MarkedProcess second;
    startLogin(second);
    ASSERT_GE(second.waitForMark("start URL handed over", kReadyTimeoutMs), 0)
        << second.output().toStdString();
    ASSERT_GE(first.waitForMark("ready", kReadyTimeoutMs), 0) << first.output().toStdString();
    EXPECT_TRUE(first.output().contains("handed-over start URL fills the login dialog"));
    EXPECT_TRUE(waitFor(
        [&] {
            const std::vector<QJsonObject> sessions = Sessions(*control, 1024);
            return sessions.size() == 1 && sessions[0].value("ready").toBool();
        },
        kReadyTimeoutMs));
}

} // namespace
} // namespace talmor::e2e

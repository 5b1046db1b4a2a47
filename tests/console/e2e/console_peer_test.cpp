// The real console program, logged in to a real quorvane-server, listens on the message port
// it announced and answers a peer's chat message with its acknowledgement.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "support/consoleprocess.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor::e2e {
namespace {

constexpr int kReadyTimeoutMs = 60000;

TEST(ConsolePeer, ALoggedInConsoleAnswersADirectChatMessageOnItsAnnouncedPort) {
    ServerProcess server;
    QString error;
    ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
    ConsoleHome home(server.udpPort(), server.httpPort());
    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                  home.environment());
    ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0) << console.output().toStdString();

    TestConsole peer;
    peer.connect(1025, "talmor1025", server.udpPort());
    ASSERT_TRUE(waitFor([&] { return peer.ready(); }, kReadyTimeoutMs));
    const ContactRecord* consoleContact = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            consoleContact = peer.contacts().find(1024);
            return consoleContact != nullptr && consoleContact->messagePort != 0;
        },
        kReadyTimeoutMs));
    EXPECT_NE(consoleContact->altAddress, 0u);
    // The console lets in only a contact whose presence it has handled: under load its copy of
    // 1025's presence may still wait in the server's window or its own socket when the peer is
    // ready. Once it acknowledged everything the server sent, it has handled it.
    ControlClient control(server.httpPort());
    ASSERT_TRUE(waitFor(
        [&] {
            const auto consoles = control.get("/api/consoles");
            if (!consoles) {
                return false;
            }
            for (const QJsonValue& entry : consoles->array()) {
                const QJsonObject session = entry.toObject();
                if (session.value("operator").toInt() == 1024) {
                    return session.value("unacknowledged").toInt() == 0;
                }
            }
            return false;
        },
        kReadyTimeoutMs));

    const uint32_t number = peer.peers().sendChatMessage(1, 1024, "hello console", false);
    EXPECT_TRUE(waitFor([&] { return peer.acked.count(number) != 0; }, kReadyTimeoutMs))
        << console.output().toStdString();
    const auto log = control.get("/api/log?operator=1025");
    ASSERT_TRUE(log);
    for (const QJsonValue& entry : log->array()) {
        EXPECT_NE(entry.toObject().value("command").toInt(), 15); // nothing through the server
    }
}

// A console that logs in prints nothing per packet by default: the acknowledgement lines come
// only when the trace category's details are asked for.
TEST(ConsolePeer, ThePerPacketTraceShowsOnlyWhenAskedFor) {
    ServerProcess server;
    QString error;
    ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
    for (const bool asked : {false, true}) {
        ConsoleHome home(server.udpPort(), server.httpPort());
        QProcessEnvironment environment = home.environment();
        if (asked) {
            environment.insert("QT_LOGGING_RULES", "talmor.trace.debug=true");
        }
        MarkedProcess console;
        console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                      environment);
        ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0)
            << console.output().toStdString();
        if (asked) {
            EXPECT_TRUE(
                waitFor([&] { return console.output().contains("is ACKed"); }, kReadyTimeoutMs))
                << console.output().toStdString();
        } else {
            EXPECT_FALSE(console.output().contains("is ACKed")) << console.output().toStdString();
        }
    }
}

} // namespace
} // namespace talmor::e2e

// The real console program among hostile neighbours: its message listener under a stranger's
// connection, a flood of silent connections from a contact's own address, and somebody at the
// address of a contact gone offline (the console closes what it must not serve and keeps
// serving its contacts); and another local user reading its command line.
#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <memory>
#include <vector>

#include "support/consoleprocess.h"
#include "support/eventloop.h"
#include "support/rawpeer.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor::e2e {
namespace {

constexpr int kReadyTimeoutMs = 60000;
constexpr int kFloodSize = 300;

// Console 1024 (the real program) and its contact 1025 (a protocol-level console), both
// logged in to a real quorvane-server on loopback.
class HostilePeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        home = std::make_unique<ConsoleHome>(server.udpPort(), server.httpPort());
        console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                      home->environment());
        ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0)
            << console.output().toStdString();
        peer.connect(1025, "talmor1025", server.udpPort());
        ASSERT_TRUE(waitFor([&] { return peer.ready(); }, kReadyTimeoutMs));
        ASSERT_TRUE(waitFor(
            [&] {
                const ContactRecord* contact = peer.contacts().find(1024);
                port = contact != nullptr ? contact->messagePort : 0;
                return port != 0;
            },
            kReadyTimeoutMs));
    }

    // A chat message of the contact, directly to the console, is acknowledged. The contact's
    // first message may come before the console heard that it is online (the real chat window
    // then sends it through the server): it is sent again until acknowledged.
    bool chatGoesThrough(const char* text) {
        for (int attempt = 0; attempt < 12; ++attempt) {
            const uint32_t number = peer.peers().sendChatMessage(1, 1024, text, false);
            if (waitFor([&] { return peer.acked.count(number) != 0; }, 5000)) {
                return true;
            }
        }
        ADD_FAILURE() << text << " not acknowledged; the console said:\n"
                      << console.output().toStdString();
        return false;
    }

    ServerProcess server;
    std::unique_ptr<ConsoleHome> home;
    MarkedProcess console;
    TestConsole peer;
    uint16_t port = 0;
};

TEST_F(HostilePeerTest, AStrangersConnectionIsClosedBeforeItSaysAnything) {
    RawPeerConnection stranger(kStrangerAddress, port);
    ASSERT_TRUE(stranger.valid());
    // Long before a silent connection's time runs out.
    EXPECT_TRUE(waitFor([&] { return stranger.closedByConsole(); }, 4000));
    EXPECT_TRUE(chatGoesThrough("after a stranger"));
}

TEST_F(HostilePeerTest, AFloodOfSilentConnectionsNeitherKeepsTheContactOutNorStays) {
    ASSERT_TRUE(chatGoesThrough("before the flood")); // the console knows the contact is online
    std::vector<std::unique_ptr<RawPeerConnection>> flood;
    // In waves the listener's backlog takes, so that none waits on the system's connect retries.
    for (int i = 0; i < kFloodSize; ++i) {
        flood.push_back(std::make_unique<RawPeerConnection>(kLoopbackAddress, port));
        ASSERT_TRUE(flood.back()->valid());
        if (i % 10 == 9) {
            waitFor([] { return false; }, 50);
        }
    }
    const auto closedCount = [&] {
        return std::count_if(flood.begin(), flood.end(),
                             [](const auto& connection) { return connection->closedByConsole(); });
    };
    // The oldest silent ones make room for newer ones well before their time is up.
    EXPECT_TRUE(waitFor([&] { return flood.front()->closedByConsole(); }, 6000))
        << closedCount() << " of " << kFloodSize << " closed";
    // A new connection of the contact, among the silent ones, still gets in.
    peer.peers().closeSessions(kMessageKind, 1024);
    EXPECT_TRUE(chatGoesThrough("through the flood"));
    // Every silent connection goes once its time is up.
    EXPECT_TRUE(waitFor([&] { return closedCount() == kFloodSize; }, kReadyTimeoutMs))
        << closedCount() << " of " << kFloodSize << " closed";
    EXPECT_TRUE(chatGoesThrough("after the flood"));
}

TEST_F(HostilePeerTest, WhoeverHoldsTheAddressOfAContactGoneOfflineCannotChatAsIt) {
    ASSERT_TRUE(chatGoesThrough("while online"));
    peer.client().goOffline();
    // Until the console hears of it the contact is still online there; after that, never again.
    bool refused = false;
    for (int attempt = 0; attempt < 30 && !refused; ++attempt) {
        RawPeerConnection impostor(kLoopbackAddress, port);
        ASSERT_TRUE(impostor.valid());
        ASSERT_TRUE(
            waitFor([&] { return impostor.send(peerHello(1025)) || impostor.closedByConsole(); }));
        impostor.send(peerChat(1025, 4000000000u - static_cast<uint32_t>(attempt), "impostor"));
        const auto acked = [&] {
            const auto commands = impostor.receivedCommands();
            return std::count(commands.begin(), commands.end(), kPeerChatAck) != 0;
        };
        waitFor([&] { return acked() || impostor.closedByConsole(); }, 3000);
        refused = !acked() && impostor.closedByConsole();
    }
    EXPECT_TRUE(refused);
}

TEST_F(HostilePeerTest, AnotherLocalUserCannotReadThePasswordOnTheConsolesCommandLine) {
    QFile commandLine(QString("/proc/%1/cmdline").arg(console.process().processId()));
    ASSERT_TRUE(commandLine.open(QIODevice::ReadOnly));
    const QByteArray shown = commandLine.readAll();
    EXPECT_TRUE(shown.contains("quorvane://login/?uid=1024&")) << shown.toStdString();
    EXPECT_FALSE(shown.contains("talmor1024")) << shown.toStdString();
}

} // namespace
} // namespace talmor::e2e

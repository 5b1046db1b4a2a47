// The real console program's message listener under hostile connections: a stranger's
// machine, a flood of silent connections from a contact's own address, and somebody at the
// address of a contact gone offline. The console closes what it must not serve and keeps
// serving its contacts.
#include <gtest/gtest.h>

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

    // A chat message of the contact, directly to the console, is acknowledged.
    bool chatGoesThrough(const char* text) {
        const uint32_t number = peer.peers().sendChatMessage(1, 1024, text, false);
        return waitFor([&] { return peer.acked.count(number) != 0; }, kReadyTimeoutMs);
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
    std::vector<std::unique_ptr<RawPeerConnection>> flood;
    for (int i = 0; i < kFloodSize; ++i) {
        flood.push_back(std::make_unique<RawPeerConnection>(kLoopbackAddress, port));
        ASSERT_TRUE(flood.back()->valid());
    }
    const auto closedCount = [&] {
        return std::count_if(flood.begin(), flood.end(),
                             [](const auto& connection) { return connection->closedByConsole(); });
    };
    // The oldest silent ones make room for newer ones well before their time is up.
    EXPECT_TRUE(waitFor([&] { return flood.front()->closedByConsole(); }, 6000))
        << closedCount() << " of " << kFloodSize << " closed";
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

} // namespace
} // namespace talmor::e2e

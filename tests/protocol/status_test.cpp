#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/sessionrecords.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::ClientHarness;
using testing::RecordingPeerSessions;
using testing::SentRequest;
using testing::u32At;
using Commands = std::vector<uint16_t>;
using Lines = std::vector<std::string>;

class Status : public ::testing::Test {
protected:
    void SetUp() override { h.listener.setPeerSessions(&peers); }

    // Lets every pending request (the keep-alive among them) run out its three sends.
    void letPendingTimeOut() {
        for (int pass = 0; pass < UdpSession::kMaxSends; ++pass) {
            h.clock.advance(UdpSession::kRetryIntervalSeconds);
            h.client().onTimer(kRetransmitTimer);
        }
    }

    // Two keep-alives in a row without an answer: the link is lost.
    void loseKeepAlives() {
        for (int i = 0; i < UdpSession::kKeepAliveLossLimit; ++i) {
            h.client().onTimer(kKeepAliveTimer);
            letPendingTimeOut();
        }
    }

    uint32_t loginStatusSent() {
        for (const SentRequest& request : h.takeSent()) {
            if (request.command == CMD_LOGIN) {
                testing::BodyReader reader(request.body);
                return LoginRequest::read(reader.in()).status;
            }
        }
        ADD_FAILURE() << "no login request sent";
        return 99;
    }

    ClientHarness h;
    RecordingPeerSessions peers;
};

TEST_F(Status, ChangeWhileOfflineStartsALogin) {
    h.client().ConnectToServer(kStatusOnline, "127.0.0.1", 8000);
    h.client().goOffline();
    h.takeSent();
    h.client().setStatus(kStatusInvisible);
    EXPECT_EQ(loginStatusSent(), kStatusInvisible);
    EXPECT_EQ(h.listener.own().status, kStatusOffline); // until the contacts are loaded
    EXPECT_EQ(h.client().requestedStatus(), kStatusInvisible);
}

TEST_F(Status, ChangeWhileOnlineSendsTheNewStatusOnce) {
    h.login();
    h.client().setStatus(kStatusAway);
    const std::vector<SentRequest> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_SET_STATUS);
    EXPECT_EQ(u32At(sent[0].body, 0), kStatusAway);
    EXPECT_EQ(h.listener.own().status, kStatusAway);

    h.client().setStatus(kStatusAway);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST_F(Status, InvisibleClosesTheSessionsWithContacts) {
    h.login();
    peers.calls.clear();
    h.client().setStatus(kStatusAway);
    EXPECT_TRUE(peers.calls.empty());
    h.client().setStatus(kStatusInvisible);
    EXPECT_EQ(peers.calls, Lines{"closeContactSessions(false)"});
}

TEST_F(Status, OfflineAsAStatusGoesOffline) {
    h.login();
    h.client().setStatus(kStatusOffline);
    EXPECT_EQ(h.takeSentCommands(), Commands{CMD_LOGOUT});
    EXPECT_EQ(h.listener.own().status, kStatusOffline);
}

TEST_F(Status, GoingOfflineLogsOutOnceAndForgetsPresence) {
    h.login();
    ContactRecord* contact = h.listener.contacts().find(7);
    contact->status = kStatusOnline;
    contact->altAddress = 1;
    contact->altPort = 2;
    contact->messagePort = 3;
    contact->peerAddress = 4;
    peers.calls.clear();

    h.client().goOffline();
    EXPECT_EQ(h.takeSentCommands(), Commands{CMD_LOGOUT});
    EXPECT_EQ(h.client().udpSession().pendingCount(), 0u);
    EXPECT_EQ(h.listener.own().status, kStatusOffline);
    EXPECT_EQ(peers.calls, Lines{"closeContactSessions(true)"});
    EXPECT_EQ(contact->status, kStatusOffline);
    EXPECT_EQ(contact->altAddress, 0u);
    EXPECT_EQ(contact->altPort, 0);
    EXPECT_EQ(contact->messagePort, 0);
    EXPECT_EQ(contact->peerAddress, 0u);
    EXPECT_FALSE(h.timers.isRunning(kRetransmitTimer));
    EXPECT_FALSE(h.timers.isRunning(kKeepAliveTimer));

    h.client().goOffline();
    EXPECT_TRUE(h.takeSent().empty());
}

TEST_F(Status, LostLinkWithoutReconnectionGoesOfflineAndTellsTheWindow) {
    h.login(kStatusAway);
    loseKeepAlives();
    // No logout over a link that is gone, and no new login.
    for (uint16_t command : h.takeSentCommands()) {
        EXPECT_EQ(command, CMD_KEEP_ALIVE);
    }
    EXPECT_EQ(h.listener.own().status, kStatusOffline);
    EXPECT_EQ(h.listener.events, Lines{"OnConnected(false)"});
    EXPECT_EQ(h.client().lastLinkLoss(), LinkLoss::Lost);
    EXPECT_FALSE(h.timers.isRunning(kRetransmitTimer));
    EXPECT_FALSE(h.timers.isRunning(kKeepAliveTimer));
}

TEST_F(Status, LostLinkWithReconnectionLogsInAgainAsOnline) {
    h.client().setAutoReconnect(true);
    h.login(kStatusAway);
    loseKeepAlives();
    EXPECT_EQ(loginStatusSent(), kStatusOnline);
    EXPECT_EQ(h.listener.events, (Lines{"OnConnected(false)", "OnConnected(true)"}));
    EXPECT_EQ(h.client().lastLinkLoss(), LinkLoss::Reconnecting);
    EXPECT_TRUE(h.timers.isRunning(kRetransmitTimer));
}

// A login that is never answered is a lost link while still offline: nothing more happens,
// even with automatic reconnection.
TEST_F(Status, UnansweredLoginEndsQuietly) {
    h.client().setAutoReconnect(true);
    h.connect();
    h.takeSent();
    h.listener.events.clear();
    letPendingTimeOut();
    EXPECT_EQ(h.listener.events, Lines{"OnConnected(false)"});
    EXPECT_EQ(h.client().lastLinkLoss(), LinkLoss::WhileOffline);
    for (uint16_t command : h.takeSentCommands()) {
        EXPECT_EQ(command, CMD_LOGIN); // the retransmissions, and no new login
    }
}

// With automatic reconnection, a server that stays away is tried again after growing waits
// until a login gets through; the first try after the loss goes at once.
TEST_F(Status, ReconnectionKeepsTryingWithGrowingWaitsUntilALoginGetsThrough) {
    h.client().setAutoReconnect(true);
    h.login(kStatusAway);
    loseKeepAlives();
    EXPECT_EQ(loginStatusSent(), kStatusOnline);
    EXPECT_TRUE(h.client().reconnecting());
    EXPECT_FALSE(h.timers.isRunning(kReconnectTimer));

    for (int wait : {5000, 10000, 20000, 60000, 60000}) {
        h.listener.events.clear();
        letPendingTimeOut(); // this login's three sends go unanswered
        EXPECT_EQ(h.listener.events, Lines{"OnConnected(false)"});
        EXPECT_EQ(h.client().lastLinkLoss(), LinkLoss::RetryLater);
        ASSERT_TRUE(h.timers.isRunning(kReconnectTimer));
        EXPECT_EQ(h.timers.running[kReconnectTimer], wait);
        h.takeSent();
        h.client().onTimer(kReconnectTimer);
        EXPECT_FALSE(h.timers.isRunning(kReconnectTimer));
        EXPECT_EQ(loginStatusSent(), kStatusOnline);
    }

    // The server is back: the login completes and the attempts end.
    h.acknowledgeAll();
    h.login();
    EXPECT_FALSE(h.client().reconnecting());
    EXPECT_EQ(h.client().lastLinkLoss(), LinkLoss::None);
    EXPECT_FALSE(h.timers.isRunning(kReconnectTimer));
}

// Choosing offline while the console waits to try again ends the attempts.
TEST_F(Status, OfflineChosenWhileReconnectingStopsTrying) {
    h.client().setAutoReconnect(true);
    h.login();
    loseKeepAlives();
    letPendingTimeOut();
    ASSERT_TRUE(h.timers.isRunning(kReconnectTimer));
    h.client().goOffline();
    EXPECT_FALSE(h.client().reconnecting());
    EXPECT_FALSE(h.timers.isRunning(kReconnectTimer));
    h.takeSent();
    h.client().onTimer(kReconnectTimer);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(ReconnectDelay, GrowsToOneMinute) {
    const std::vector<std::pair<int, int>> cases = {{1, 5000},  {2, 10000}, {3, 20000},
                                                    {4, 60000}, {9, 60000}, {1000, 60000}};
    for (const auto& [failed, wait] : cases) {
        EXPECT_EQ(ReconnectDelayMs(failed), wait) << failed;
    }
}

TEST_F(Status, ContactOfflineClosesThatPeersSessionsAndKeepsItsPeerAddress) {
    h.login();
    ContactRecord* contact = h.listener.contacts().find(8);
    contact->status = kStatusAway;
    contact->altAddress = 1;
    contact->altPort = 2;
    contact->messagePort = 3;
    contact->peerAddress = 4;
    peers.calls.clear();
    h.deliver(CMD_CONTACT_OFFLINE, testing::body([](OutPacket& out) { out.writeInt(8); }));
    EXPECT_EQ(peers.calls, Lines{"closeSessionsWith(8)"});
    EXPECT_EQ(contact->status, kStatusOffline);
    EXPECT_EQ(contact->altAddress, 0u);
    EXPECT_EQ(contact->altPort, 0);
    EXPECT_EQ(contact->messagePort, 0);
    EXPECT_EQ(contact->peerAddress, 4u);
    EXPECT_EQ(h.listener.contacts().find(7)->status, kStatusOffline);
}

} // namespace
} // namespace talmor

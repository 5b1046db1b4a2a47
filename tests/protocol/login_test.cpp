#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/sessionrecords.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::body;
using testing::Bytes;
using testing::ClientHarness;
using testing::RecordingPeerSessions;
using testing::SentRequest;
using testing::u32At;
using Commands = std::vector<uint16_t>;

LoginRequest sentLogin(ClientHarness& h) {
    for (const SentRequest& request : h.takeSent()) {
        if (request.command == CMD_LOGIN) {
            testing::BodyReader reader(request.body);
            return LoginRequest::read(reader.in());
        }
    }
    ADD_FAILURE() << "no login request sent";
    return {};
}

Bytes loginReply(uint8_t result, uint32_t version,
                 std::array<std::string, kMultiLoginLevels> passwords = {}) {
    return body([&](OutPacket& out) { LoginReply{passwords, result, 5, 6, version}.write(out); });
}

Bytes profile(const std::string& typeCode, uint32_t scopeKind, uint32_t scopeId) {
    return body([&](OutPacket& out) {
        UserRecord r;
        r.typeCode = typeCode;
        r.scopeKind = scopeKind;
        r.scopeId = scopeId;
        r.write(out);
        out.writeByte(1);
    });
}

// What the login request carries, field by field, and under which sender id.
TEST(Login, RequestCarriesEveryField) {
    ClientHarness h;
    RecordingPeerSessions peers;
    peers.port = 4321;
    h.listener.setPeerSessions(&peers);
    h.client().setVideoCapable(true);
    // Two values for the session's reset, then twenty for the installation id.
    h.random.queued = {1, 2, 0, 4999, 5000, 32767};
    h.connect(kStatusAway);

    const std::vector<SentRequest> sent = h.sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_LOGIN);
    EXPECT_EQ(sent[0].senderId, testing::kOperatorId);
    const LoginRequest login = sentLogin(h);
    EXPECT_EQ(login.password, "secret");
    EXPECT_EQ(login.status, kStatusAway);
    EXPECT_EQ(login.constant, 1);
    EXPECT_EQ(login.localAddress, h.sockets.localAddressValue);
    EXPECT_EQ(login.messagePort, 4321);
    EXPECT_EQ(login.videoCapable, 1);
    EXPECT_EQ(login.installationId, "11271111111111111111");
    EXPECT_EQ(h.random.seeded, static_cast<uint32_t>(h.clock.now()));
    EXPECT_EQ(peers.calls, std::vector<std::string>{"listenFor(\"message\")"});
    EXPECT_TRUE(h.timers.isRunning(kRetransmitTimer));
    EXPECT_EQ(h.listener.events, std::vector<std::string>{"OnConnected(true)"});
}

TEST(Login, WithoutPeerSessionsTheMessagePortIsZero) {
    ClientHarness h;
    h.connect();
    const LoginRequest login = sentLogin(h);
    EXPECT_EQ(login.messagePort, 0);
    EXPECT_EQ(login.videoCapable, 0);
}

TEST(Login, InstallationIdIsMadeOnceAndReused) {
    ClientHarness h;
    h.random.fallback = 20000; // index 5: '5'
    h.connect();
    const std::string first = sentLogin(h).installationId;
    EXPECT_EQ(first, std::string(20, '5'));
    h.random.fallback = 0;
    h.client().goOffline();
    h.connect();
    EXPECT_EQ(sentLogin(h).installationId, first);
    EXPECT_EQ(h.client().installationId(), first);
}

TEST(Login, HostNameConnectsOnlyWhenResolved) {
    ClientHarness h;
    h.client().ConnectToServer(kStatusOnline, "server.example", 8000);
    EXPECT_TRUE(h.sent().empty());
    ASSERT_EQ(h.resolver.pending.size(), 1u);
    EXPECT_EQ(h.resolver.pending[0].first, "server.example");
    h.resolver.pending[0].second(testing::kServerAddress);
    EXPECT_EQ(h.sockets.find(h.socketHandle())->peerAddress, testing::kServerAddress);
    EXPECT_EQ(h.sockets.find(h.socketHandle())->peerPort, 8000);
    EXPECT_EQ(sentLogin(h).status, kStatusOnline);
}

TEST(Login, FailedOrStaleLookupConnectsNowhere) {
    ClientHarness h;
    h.client().ConnectToServer(kStatusOnline, "gone.example", 8000);
    h.resolver.pending[0].second(0);
    EXPECT_TRUE(h.sent().empty());

    // An answer to an earlier attempt, arriving after a newer one began, is ignored.
    h.client().ConnectToServer(kStatusOnline, "old.example", 8000);
    h.client().ConnectToServer(kStatusAway, "new.example", 8000);
    h.resolver.pending[1].second(0x7F000002);
    EXPECT_TRUE(h.sent().empty());
    h.resolver.pending[2].second(0x7F000003);
    EXPECT_EQ(sentLogin(h).status, kStatusAway);
    EXPECT_EQ(h.sockets.find(h.socketHandle())->peerAddress, 0x7F000003u);
}

TEST(Login, LookupAnsweredAfterTheClientIsGoneDoesNothing) {
    testing::FakeResolver resolver;
    {
        ClientHarness h;
        h.client().ConnectToServer(kStatusOnline, "slow.example", 8000);
        resolver.pending = std::move(h.resolver.pending);
    }
    resolver.pending[0].second(testing::kServerAddress);
    SUCCEED(); // under the sanitizers, a use of the destroyed client would abort here
}

// The login chain, step by step: what each server answer makes the console send next.
TEST(Login, SequenceLoadsRightsProfileGroupsAndContacts) {
    ClientHarness h;
    h.connect(kStatusAway);
    h.takeSent();

    h.deliver(CMD_LOGIN_REPLY, loginReply(0, 50));
    EXPECT_EQ(h.takeSentCommands(), (Commands{CMD_GET_RIGHTS, CMD_ACK}));
    EXPECT_TRUE(h.timers.isRunning(kRetransmitTimer));
    EXPECT_TRUE(h.timers.isRunning(kKeepAliveTimer));

    h.deliver(CMD_SEAT_RIGHTS, body([](OutPacket& out) { SeatRights{}.write(out); }));
    EXPECT_EQ(h.takeSentCommands(), (Commands{CMD_GET_OWN_PROFILE, CMD_ACK}));

    h.deliver(CMD_OWN_PROFILE, profile("S", 0, 0));
    EXPECT_EQ(h.takeSentCommands(), (Commands{CMD_GET_GROUPS, CMD_ACK}));

    h.deliver(CMD_GROUP_LIST, body([](OutPacket& out) {
                  writeList(out, std::vector<GroupEntry>{{1, "a"}});
              }));
    EXPECT_EQ(h.takeSentCommands(), (Commands{CMD_GET_CONTACTS, CMD_ACK}));
    EXPECT_EQ(h.listener.own().status, kStatusOffline);

    h.deliver(CMD_CONTACT_LIST, body([](OutPacket& out) {
                  writeList(out, std::vector<ContactEntry>{{7, "", 1, "seven", "p8", "S", 1},
                                                           {8, "", 0, "eight", "", "B", 2},
                                                           {7, "", 1, "again", "", "S", 1}});
              }));
    const std::vector<SentRequest> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].command, CMD_GET_USER_INFO);
    EXPECT_EQ(u32At(sent[0].body, 0), 7u);
    EXPECT_EQ(sent[1].command, CMD_GET_USER_INFO);
    EXPECT_EQ(u32At(sent[1].body, 0), 8u);
    EXPECT_EQ(sent[2].command, CMD_ACK);
    EXPECT_EQ(h.listener.contacts().size(), 2u);
    EXPECT_EQ(h.listener.contacts().find(7)->nick, "seven");
    EXPECT_EQ(h.listener.contacts().find(7)->status, kStatusOffline);
    EXPECT_EQ(h.listener.own().status, kStatusAway);
}

TEST(Login, ScopedOperatorFetchesTheScopeCodeBeforeTheGroups) {
    ClientHarness h;
    h.connect();
    h.takeSent();
    h.deliver(CMD_OWN_PROFILE, profile("S", 1, 4401));
    const std::vector<SentRequest> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, CMD_GET_SCOPE_CODE);
    EXPECT_EQ(u32At(sent[0].body, 0), 4401u);
    h.deliver(CMD_SCOPE_CODE, body([](OutPacket& out) { out.writeString("440100"); }));
    EXPECT_EQ(h.takeSentCommands(), (Commands{CMD_GET_GROUPS, CMD_ACK}));
    EXPECT_EQ(h.listener.own().scopeCode, "440100");
}

TEST(Login, ProfileThatIsNoOperatorStopsTheChain) {
    struct Case {
        std::string typeCode;
        uint32_t scopeKind;
        uint32_t scopeId;
        Commands sent;
    };
    const Case cases[] = {
        {"B", 0, 0, {CMD_ACK}},
        {"", 1, 5, {CMD_ACK}},
        {"S", 1, 0, {CMD_GET_GROUPS, CMD_ACK}},
        {"S", 2, 5, {CMD_GET_GROUPS, CMD_ACK}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeCode + std::to_string(c.scopeKind) + std::to_string(c.scopeId));
        ClientHarness h;
        h.connect();
        h.takeSent();
        h.deliver(CMD_OWN_PROFILE, profile(c.typeCode, c.scopeKind, c.scopeId));
        EXPECT_EQ(h.takeSentCommands(), c.sent);
    }
}

TEST(Login, ReplyVerdicts) {
    EXPECT_EQ(loginVerdict(0, 50), LoginVerdict::Proceed);
    EXPECT_EQ(loginVerdict(1, 50), LoginVerdict::WrongPassword);
    EXPECT_EQ(loginVerdict(2, 51), LoginVerdict::WrongPassword);
    EXPECT_EQ(loginVerdict(0, 51), LoginVerdict::NeedsUpgrade);
    EXPECT_EQ(loginVerdict(0, 49), LoginVerdict::NeedsUpgrade);
}

// A refused login logs the session out and stops its timers; an accepted one keeps the
// multiple-login passwords and asks for the rights.
TEST(Login, ReplyIsAcceptedOrRefused) {
    struct Case {
        uint8_t result;
        uint32_t version;
        Commands sent;
        bool timersRunning;
    };
    const Case cases[] = {
        {0, 50, {CMD_GET_RIGHTS, CMD_ACK}, true},
        {1, 50, {CMD_LOGOUT, CMD_ACK}, false},
        {0, 51, {CMD_LOGOUT, CMD_ACK}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.result) + "/" + std::to_string(c.version));
        ClientHarness h;
        h.connect();
        const uint16_t loginSeq = h.takeSent().at(0).seq;
        h.deliver(CMD_LOGIN_REPLY, loginReply(c.result, c.version, {"p1", "", "p3", ""}), 0,
                  loginSeq);
        EXPECT_EQ(h.takeSentCommands(), c.sent);
        EXPECT_EQ(h.timers.isRunning(kRetransmitTimer), c.timersRunning);
        EXPECT_EQ(h.timers.isRunning(kKeepAliveTimer), c.timersRunning);
        // The reply acknowledged the login; only the rights request may wait.
        EXPECT_EQ(h.client().udpSession().pendingCount(), c.timersRunning ? 1u : 0u);
        if (c.timersRunning) {
            EXPECT_EQ(h.listener.multiLoginPasswords()[0], "p1");
            EXPECT_EQ(h.listener.multiLoginPasswords()[2], "p3");
        }
    }
}

TEST(Login, TimersDriveRetransmissionAndKeepAlive) {
    ClientHarness h;
    h.login();
    h.client().onTimer(kKeepAliveTimer);
    EXPECT_EQ(h.takeSentCommands(), Commands{CMD_KEEP_ALIVE});
    h.clock.advance(UdpSession::kRetryIntervalSeconds);
    h.client().onTimer(kRetransmitTimer);
    EXPECT_EQ(h.takeSentCommands(), Commands{CMD_KEEP_ALIVE});
    h.client().onTimer(1003); // not the protocol's
    EXPECT_TRUE(h.takeSent().empty());
}

} // namespace
} // namespace talmor

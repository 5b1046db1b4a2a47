// The server's side of the reliable session: login, acknowledgement, retransmission,
// duplicates, silence, and what a datagram that is not a proper request can do.
#include <gtest/gtest.h>

#include <random>

#include "protocol/commands.h"
#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "support/serverharness.h"

namespace talmor::server::testing {
namespace {

LoginReply loginReplyTo(const Recorder& recorder, const FakeConsole& console) {
    const auto replies = recorder.to(console.endpoint(), CMD_LOGIN_REPLY);
    EXPECT_EQ(replies.size(), 1u);
    Reader reader(replies.at(0));
    return LoginReply::read(reader.in());
}

TEST(ServerLogin, AcceptsOnlyTheRightPasswordOfAnAccountThatMayLogIn) {
    struct Case {
        uint32_t operatorId;
        std::string password;
        uint8_t result;
    };
    const Case cases[] = {
        {1024, "pass1024", 0}, // right password
        {1024, "pass1025", 1}, // another operator's password
        {1024, "pass10", 1},   // a prefix of it
        {9999, "pass9999", 1}, // no such account
        {2001, "", 1},         // a subscriber cannot log in
    };
    for (const Case& c : cases) {
        ServerHarness h;
        h.directory.find(1024)->multiLoginPasswords = {"level1", "", "", ""};
        FakeConsole console(*h.server, Endpoint{0x7F000001, 4000}, c.operatorId, c.password, 77);
        const uint16_t seq = console.login();
        const LoginReply reply = loginReplyTo(h.recorder, console);
        EXPECT_EQ(reply.result, c.result) << c.operatorId << " " << c.password;
        EXPECT_EQ(reply.requiredVersion, 50u);
        // The multi-level passwords go only to the operator who proved the password.
        EXPECT_EQ(reply.passwords[0], c.result == 0 ? "level1" : "") << c.operatorId;
        const auto replies = h.recorder.to(console.endpoint(), CMD_LOGIN_REPLY);
        EXPECT_EQ(replies.at(0).ackSeq(), seq);
        EXPECT_EQ(replies.at(0).sessionId(), 77u);
        // The login itself is acknowledged by a pure acknowledgement.
        const auto acks = h.recorder.to(console.endpoint(), CMD_ACK);
        ASSERT_EQ(acks.size(), 1u);
        EXPECT_EQ(acks[0].seq(), 0);
        EXPECT_EQ(acks[0].ackSeq(), seq);
    }
}

TEST(ServerLogin, RequiredVersionComesFromTheSettings) {
    ServerHarness h;
    h.settings.requiredClientVersion = 51;
    PlatformServer server(h.directory, h.calls, h.recorder, h.random, h.settings);
    FakeConsole console(server, Endpoint{0x7F000001, 4000}, 1024, "pass1024", 1);
    console.login();
    EXPECT_EQ(loginReplyTo(h.recorder, console).requiredVersion, 51u);
}

TEST(ServerLogin, ASecondLoginOfTheSameOperatorSendsTheFirstConsoleAway) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1024, 4001);
    first.loginToReady(h.recorder);
    second.login();
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_LOGGED_IN_ELSEWHERE).size(), 1u);
    // The first console's requests are no longer served.
    h.recorder.sent.clear();
    first.request(CMD_GET_OWN_PROFILE);
    EXPECT_TRUE(h.recorder.to(first.endpoint(), CMD_OWN_PROFILE).empty());
    EXPECT_EQ(h.server->activeSession(1024)->endpoint(), second.endpoint());
}

TEST(ServerSession, AnswersCarryTheRequestNumberAndEveryRequestIsAcknowledged) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    const uint16_t rights = console.request(CMD_GET_RIGHTS);
    const auto acks = h.recorder.to(console.endpoint(), CMD_ACK);
    ASSERT_EQ(acks.size(), 2u);
    EXPECT_EQ(acks[1].ackSeq(), rights);
    const auto replies = h.recorder.to(console.endpoint(), CMD_SEAT_RIGHTS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), rights);
    EXPECT_NE(replies[0].seq(), 0);
    Reader reader(replies[0]);
    const SeatRights seatRights = SeatRights::read(reader.in());
    for (std::size_t i = 0; i < kSeatRightCount; ++i) {
        EXPECT_TRUE(seatRights.granted(i)) << i;
    }
}

TEST(ServerSession, RetransmitsUntilAcknowledgedAndGivesUpAfterItsLastSend) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    console.request(CMD_GET_OWN_PROFILE);
    auto profiles = [&] { return h.recorder.to(console.endpoint(), CMD_OWN_PROFILE).size(); };
    ASSERT_EQ(profiles(), 1u);
    h.server->tick(console.nowMs + 1999);
    EXPECT_EQ(profiles(), 1u);
    h.server->tick(console.nowMs + 2000);
    EXPECT_EQ(profiles(), 2u);
    h.server->tick(console.nowMs + 4000);
    EXPECT_EQ(profiles(), 3u); // the third and last send
    h.server->tick(console.nowMs + 6000);
    h.server->tick(console.nowMs + 8000);
    EXPECT_EQ(profiles(), 3u);

    // An acknowledged packet is not sent again.
    console.request(CMD_GET_RIGHTS);
    const auto rights = h.recorder.to(console.endpoint(), CMD_SEAT_RIGHTS);
    ASSERT_EQ(rights.size(), 1u);
    console.ack(rights[0].seq());
    h.server->tick(console.nowMs + 2000);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_SEAT_RIGHTS).size(), 1u);
}

TEST(ServerSession, AnswersBeyondTheSendWindowWaitForAcknowledgements) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    console.ackAll(h.recorder);
    const std::size_t window = h.settings.sendWindow;
    for (std::size_t i = 0; i < window + 10; ++i) {
        console.request(CMD_GET_USER_INFO, [](OutPacket& out) { out.writeInt(2001); });
    }
    auto answers = [&] { return h.recorder.to(console.endpoint(), CMD_USER_INFO); };
    ASSERT_EQ(answers().size(), window);
    // Every request is acknowledged at once all the same.
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_ACK).size(), window + 11);
    // Retransmissions stay within the window too.
    h.server->tick(console.nowMs + h.settings.resendIntervalMs);
    EXPECT_EQ(answers().size(), 2 * window);
    const auto firstFour = answers();
    for (int i = 0; i < 4; ++i) {
        console.ack(firstFour[static_cast<std::size_t>(i)].seq());
    }
    EXPECT_EQ(answers().size(), 2 * window + 4);
    console.ackAll(h.recorder);
    EXPECT_EQ(answers().size(), 2 * window + 10);
    // The last six went out during that; they wait for their own acknowledgements.
    EXPECT_EQ(h.server->activeSession(1024)->pendingCount(), 6u);
}

TEST(ServerSession, ADuplicateRequestIsAcknowledgedAgainButNotRedone) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    const uint16_t create =
        console.request(CMD_CREATE_GROUP, [](OutPacket& out) { out.writeString("new group"); });
    console.resend(create);
    console.resend(create);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_GROUP_CREATED).size(), 1u);
    EXPECT_EQ(h.directory.find(1024)->groups.size(), 3u);
    std::size_t acks = 0;
    for (const Sent& ack : h.recorder.to(console.endpoint(), CMD_ACK)) {
        acks += ack.ackSeq() == create ? 1 : 0;
    }
    EXPECT_EQ(acks, 3u);
}

TEST(ServerSession, KeepAliveIsAnsweredOnceAndNeverRetransmitted) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    const uint16_t keepAlive =
        console.request(CMD_KEEP_ALIVE, [](OutPacket& out) { out.writeInt(12345); });
    h.server->tick(console.nowMs + 10000);
    const auto answers = h.recorder.to(console.endpoint(), CMD_KEEP_ALIVE);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].ackSeq(), keepAlive);
    Reader reader(answers[0]);
    EXPECT_EQ(reader.in().u32(), 12345u);
}

TEST(ServerSession, ASilentConsoleIsForgottenAndItsContactsSeeItLeave) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1025, 4001);
    first.loginToReady(h.recorder);
    second.loginToReady(h.recorder);
    first.nowMs += 80000;
    first.request(CMD_KEEP_ALIVE, [](OutPacket& out) { out.writeInt(1); });
    h.server->tick(second.nowMs + h.settings.sessionTimeoutMs + 1);
    EXPECT_EQ(h.server->activeSession(1025), nullptr);
    ASSERT_NE(h.server->activeSession(1024), nullptr);
    const auto offline = h.recorder.to(first.endpoint(), CMD_CONTACT_OFFLINE);
    ASSERT_EQ(offline.size(), 1u);
    Reader reader(offline[0]);
    EXPECT_EQ(reader.in().u32(), 1025u);
}

TEST(ServerSession, RequestsThatDoNotDecipherAreDroppedUnacknowledged) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    // The same session and endpoint, but enciphered with another key. (Not "pass1025": DES
    // ignores the lowest bit of each key byte, so that key equals "pass1024".)
    FakeConsole impostor(*h.server, console.endpoint(), 1024, "other-key", console.sessionId());
    impostor.numberFrom(500);
    impostor.request(CMD_CREATE_GROUP, [](OutPacket& out) { out.writeString("x"); });
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_ACK).size(), 1u); // the login's only
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_GROUP_CREATED).empty());
    EXPECT_EQ(h.directory.find(1024)->groups.size(), 2u);
}

TEST(ServerSession, ASessionIdFromAnotherAddressIsNotThatSession) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.login();
    FakeConsole elsewhere(*h.server, Endpoint{0x7F000001, 4999}, 1024, "pass1024",
                          console.sessionId());
    elsewhere.request(CMD_GET_OWN_PROFILE);
    EXPECT_TRUE(h.recorder.to(elsewhere.endpoint(), CMD_OWN_PROFILE).empty());
    EXPECT_TRUE(h.recorder.to(elsewhere.endpoint(), CMD_ACK).empty());
}

TEST(ServerSession, MalformedDatagramsNeverHurtTheServer) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    std::mt19937 engine(42);
    // Truncated and random datagrams, some with a proper header of this session, for every
    // command code the server handles.
    for (int round = 0; round < 4000; ++round) {
        uint16_t command = static_cast<uint16_t>(round % 2 == 0 ? engine() % 2000 : engine());
        if (command == CMD_LOGOUT) {
            continue; // a header-only logout of this session is a proper logout
        }
        OutPacket packet =
            makeDatagram(1024, console.sessionId(), command, static_cast<uint16_t>(1000 + round));
        const std::size_t extra = engine() % 64;
        for (std::size_t i = 0; i < extra; ++i) {
            packet.writeByte(static_cast<uint8_t>(engine()));
        }
        Bytes bytes(packet.data(), packet.data() + packet.length());
        if (round % 3 == 0) {
            bytes.resize(engine() % (bytes.size() + 1));
        }
        console.raw(bytes);
    }
    // Zero-length and short login datagrams too.
    console.raw(Bytes{});
    console.raw(Bytes(19, 0));
    // The session still works.
    h.recorder.sent.clear();
    console.request(CMD_GET_OWN_PROFILE);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_OWN_PROFILE).size(), 1u);
}

} // namespace
} // namespace talmor::server::testing

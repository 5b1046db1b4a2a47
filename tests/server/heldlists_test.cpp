// A call list request that would get an empty page waits for a call instead: the console asks
// again after every reply, so an empty page answered at once would have it ask without end.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/records.h"
#include "server/scenario.h"
#include "support/serverharness.h"

namespace talmor::server::testing {
namespace {

std::vector<CallRecord> callsIn(const Sent& sent, CallWireOrder order) {
    Reader reader(sent);
    return readList<CallRecord>(reader.in(),
                                [order](InPacket& in) { return CallRecord::read(in, order); });
}

uint16_t askList(FakeConsole& console, uint16_t command, uint32_t start) {
    return console.request(command, [start](OutPacket& out) {
        out.writeInt(start);
        for (int i = 0; i < 5; ++i) {
            out.writeString("");
        }
        out.writeInt(0).writeInt(0).writeString("");
    });
}

// Whether the server acknowledged request `seq` of `console` with a pure acknowledgement.
bool acknowledged(const ServerHarness& h, const FakeConsole& console, uint16_t seq) {
    for (const Sent& ack : h.recorder.to(console.endpoint(), CMD_ACK)) {
        if (ack.seq() == 0 && ack.ackSeq() == seq && ack.sessionId() == console.sessionId()) {
            return true;
        }
    }
    return false;
}

CallRecord callOf(ServerHarness& h, uint32_t user, uint32_t category) {
    return makeCall(*h.directory.find(user), category, 1000);
}

TEST(ServerHeldLists, AnEmptyPageWaitsForACallThisConsoleMaySeeInThatList) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const uint16_t seq = askList(console, CMD_GET_SOS_CALLS, 0);
    EXPECT_TRUE(acknowledged(h, console, seq));
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).empty());

    // A help call and an SOS call of another area are not for this list of this console.
    h.server->injectCall(callOf(h, 2001, 0));
    h.server->injectCall(callOf(h, 2002, 1));
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).empty());

    const uint32_t id = h.server->injectCall(callOf(h, 2001, 1));
    const auto replies = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), seq);
    const auto calls = callsIn(replies[0], CallWireOrder::ListEntryWithSource);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].callId, id);

    // Answered once: the hold time passing sends nothing more.
    console.ackAll(h.recorder);
    h.server->tick(console.nowMs + h.settings.listHoldMs);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).size(), 1u);
}

TEST(ServerHeldLists, TheEmptyPageGoesWhenTheHoldTimeIsOver) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const uint16_t seq = askList(console, CMD_GET_HELP_CALLS, 0);
    h.server->tick(console.nowMs + h.settings.listHoldMs - 1);
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_HELP_CALLS).empty());

    h.server->tick(console.nowMs + h.settings.listHoldMs);
    const auto replies = h.recorder.to(console.endpoint(), CMD_HELP_CALLS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), seq);
    EXPECT_TRUE(callsIn(replies[0], CallWireOrder::ListEntryWithSource).empty());
}

TEST(ServerHeldLists, ANewerRequestForTheSameListReplacesTheHeldOne) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    askList(console, CMD_GET_SOS_CALLS, 0);
    const uint16_t help = askList(console, CMD_GET_HELP_CALLS, 0);
    console.nowMs += 10000;
    const uint16_t newer = askList(console, CMD_GET_SOS_CALLS, 0);

    const uint32_t id = h.server->injectCall(callOf(h, 2001, 1));
    auto sos = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
    ASSERT_EQ(sos.size(), 1u);
    EXPECT_EQ(sos[0].ackSeq(), newer);
    EXPECT_EQ(callsIn(sos[0], CallWireOrder::ListEntryWithSource).at(0).callId, id);
    // The help list still waits, on its own hold time.
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_HELP_CALLS).empty());
    console.ackAll(h.recorder);
    h.server->tick(console.nowMs - 10000 + h.settings.listHoldMs);
    const auto helpReplies = h.recorder.to(console.endpoint(), CMD_HELP_CALLS);
    ASSERT_EQ(helpReplies.size(), 1u);
    EXPECT_EQ(helpReplies[0].ackSeq(), help);
    // The replaced request is never answered, not even when its hold time is over.
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).size(), 1u);
}

TEST(ServerHeldLists, APageWithCallsAfterTheStartIdIsAnsweredAtOnce) {
    ServerHarness h;
    const uint32_t first = h.server->injectCall(callOf(h, 2001, 1));
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const uint16_t seq = askList(console, CMD_GET_SOS_CALLS, 0);
    auto replies = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), seq);
    EXPECT_EQ(callsIn(replies[0], CallWireOrder::ListEntryWithSource).at(0).callId, first);

    // Asking after the call it has waits; the next call continues the list after it.
    const uint16_t next = askList(console, CMD_GET_SOS_CALLS, first);
    EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).size(), 1u);
    const uint32_t second = h.server->injectCall(callOf(h, 2001, 1));
    replies = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[1].ackSeq(), next);
    const auto calls = callsIn(replies[1], CallWireOrder::ListEntryWithSource);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].callId, second);
}

TEST(ServerHeldLists, TakenCallsWaitForACallTheOperatorTakes) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    FakeConsole other = h.console(1025, 4001);
    console.loginToReady(h.recorder);
    other.loginToReady(h.recorder);
    const uint16_t seq =
        console.request(CMD_GET_TAKEN_CALLS, [](OutPacket& out) { out.writeInt(0); });
    const uint16_t otherSeq =
        other.request(CMD_GET_TAKEN_CALLS, [](OutPacket& out) { out.writeInt(0); });
    const uint32_t id = h.server->injectCall(callOf(h, 2001, 0));
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_TAKEN_CALLS).empty());

    console.request(CMD_TAKE_CALL, [id](OutPacket& out) { out.writeInt(id); });
    const auto replies = h.recorder.to(console.endpoint(), CMD_TAKEN_CALLS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), seq);
    const auto calls = callsIn(replies[0], CallWireOrder::TakenCall);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].callId, id);
    // Another operator's taken calls do not hold it: that list waits on.
    EXPECT_TRUE(h.recorder.to(other.endpoint(), CMD_TAKEN_CALLS).empty());
    other.ackAll(h.recorder);
    h.server->tick(other.nowMs + h.settings.listHoldMs);
    const auto otherReplies = h.recorder.to(other.endpoint(), CMD_TAKEN_CALLS);
    ASSERT_EQ(otherReplies.size(), 1u);
    EXPECT_EQ(otherReplies[0].ackSeq(), otherSeq);
    EXPECT_TRUE(callsIn(otherReplies[0], CallWireOrder::TakenCall).empty());
}

TEST(ServerHeldLists, HeldRequestsEndWithTheirSession) {
    ServerHarness h;
    FakeConsole loggedOut = h.console(1024, 4000);
    FakeConsole relogged = h.console(1025, 4001);
    loggedOut.loginToReady(h.recorder);
    relogged.loginToReady(h.recorder);
    askList(loggedOut, CMD_GET_SOS_CALLS, 0);
    askList(relogged, CMD_GET_SOS_CALLS, 0);
    loggedOut.request(CMD_LOGOUT);
    // The same console logs in again on a new session and has not asked for the list yet.
    FakeConsole again(*h.server, relogged.endpoint(), 1025, "pass1025", relogged.sessionId() + 1);
    again.numberFrom(500);
    again.loginToReady(h.recorder);

    h.server->injectCall(callOf(h, 2001, 1));
    // The new session is offered the call all the same.
    const auto offered = h.recorder.to(again.endpoint(), CMD_NEW_CALL);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].sessionId(), again.sessionId());
    h.server->tick(loggedOut.nowMs + h.settings.listHoldMs);
    EXPECT_TRUE(h.recorder.to(loggedOut.endpoint(), CMD_SOS_CALLS).empty());
    EXPECT_TRUE(h.recorder.to(relogged.endpoint(), CMD_SOS_CALLS).empty());
}

TEST(ServerHeldLists, AConsoleToldToLeaveLosesItsHeldRequests) {
    ServerHarness h;
    FakeConsole evicted = h.console(1026, 4002);
    FakeConsole elsewhere = h.console(1026, 4003);
    evicted.loginToReady(h.recorder);
    askList(evicted, CMD_GET_SOS_CALLS, 0);
    elsewhere.loginToReady(h.recorder);
    ASSERT_EQ(h.recorder.to(evicted.endpoint(), CMD_LOGGED_IN_ELSEWHERE).size(), 1u);

    h.server->injectCall(callOf(h, 2002, 1));
    EXPECT_EQ(h.recorder.to(elsewhere.endpoint(), CMD_NEW_CALL).size(), 1u);
    h.server->tick(evicted.nowMs + h.settings.listHoldMs);
    EXPECT_TRUE(h.recorder.to(evicted.endpoint(), CMD_SOS_CALLS).empty());
}

TEST(ServerHeldLists, SilentConsolesLoseTheirHeldRequests) {
    ServerHarness h;
    h.settings.listHoldMs = h.settings.sessionTimeoutMs + 10000;
    h.server =
        std::make_unique<PlatformServer>(h.directory, h.calls, h.recorder, h.random, h.settings);
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    askList(console, CMD_GET_SOS_CALLS, 0);
    h.server->tick(console.nowMs + h.settings.sessionTimeoutMs + 1);
    EXPECT_TRUE(h.server->sessions().empty());
    h.server->injectCall(callOf(h, 2001, 1));
    h.server->tick(console.nowMs + h.settings.listHoldMs);
    EXPECT_TRUE(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).empty());
}

TEST(ServerHeldLists, AHoldTimeOfZeroAnswersTheEmptyPageAtOnce) {
    ServerHarness h;
    h.settings.listHoldMs = 0;
    h.server =
        std::make_unique<PlatformServer>(h.directory, h.calls, h.recorder, h.random, h.settings);
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const uint16_t seq = askList(console, CMD_GET_SOS_CALLS, 0);
    const auto replies = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].ackSeq(), seq);
    EXPECT_TRUE(callsIn(replies[0], CallWireOrder::ListEntryWithSource).empty());
}

} // namespace
} // namespace talmor::server::testing

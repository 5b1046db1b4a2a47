// Call lists in pages, taking a call away from the other consoles, and call handling that
// only the holder of a call may do.
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

uint16_t askSos(FakeConsole& console, uint32_t start) {
    return console.request(CMD_GET_SOS_CALLS, [start](OutPacket& out) {
        out.writeInt(start);
        for (int i = 0; i < 5; ++i) {
            out.writeString("");
        }
        out.writeInt(0).writeInt(0).writeString("");
    });
}

uint32_t addCall(ServerHarness& h, uint32_t user, uint32_t category) {
    return h.calls.add(makeCall(*h.directory.find(user), category, 1000));
}

TEST(ServerCalls, ListsComeInPagesUpToAnEmptyOneAndHoldOnlyTheScopeAndCategory) {
    ServerHarness h;
    std::vector<uint32_t> expected;
    for (int i = 0; i < 45; ++i) {
        expected.push_back(addCall(h, 2001, 1));
        addCall(h, 2002, 1); // another area
        addCall(h, 2001, 0); // another category
    }
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    std::vector<uint32_t> received;
    uint32_t cursor = 0;
    std::vector<std::size_t> pageSizes;
    for (int page = 0; page < 6; ++page) {
        const uint16_t seq = askSos(console, cursor);
        if (page == 3) {
            // No call after the last one: the empty page waits out the hold time.
            EXPECT_EQ(h.recorder.to(console.endpoint(), CMD_SOS_CALLS).size(), 3u);
            console.ackAll(h.recorder);
            h.server->tick(console.nowMs + h.settings.listHoldMs);
        }
        const auto replies = h.recorder.to(console.endpoint(), CMD_SOS_CALLS);
        ASSERT_EQ(replies.size(), static_cast<std::size_t>(page + 1));
        EXPECT_EQ(replies.back().ackSeq(), seq);
        const auto calls = callsIn(replies.back(), CallWireOrder::ListEntryWithSource);
        pageSizes.push_back(calls.size());
        if (calls.empty()) {
            break;
        }
        for (const CallRecord& call : calls) {
            received.push_back(call.callId);
        }
        cursor = calls.back().callId;
    }
    EXPECT_EQ(pageSizes, (std::vector<std::size_t>{20, 20, 5, 0}));
    EXPECT_EQ(received, expected);
}

TEST(ServerCalls, TakingACallWithdrawsItFromEveryOtherConsoleThatWasShownIt) {
    ServerHarness h;
    FakeConsole first = h.console(1024, 4000);
    FakeConsole second = h.console(1025, 4001);
    FakeConsole elsewhere = h.console(1026, 4002); // area B: never shown the call
    first.loginToReady(h.recorder);
    second.loginToReady(h.recorder);
    elsewhere.loginToReady(h.recorder);
    const uint32_t id = h.server->injectCall(makeCall(*h.directory.find(2001), 1, 1000));
    EXPECT_EQ(h.recorder.to(first.endpoint(), CMD_NEW_CALL).size(), 1u);
    EXPECT_EQ(h.recorder.to(second.endpoint(), CMD_NEW_CALL).size(), 1u);
    EXPECT_TRUE(h.recorder.to(elsewhere.endpoint(), CMD_NEW_CALL).empty());
    Reader newCall(h.recorder.to(first.endpoint(), CMD_NEW_CALL)[0]);
    EXPECT_EQ(CallRecord::read(newCall.in(), CallWireOrder::NewCall).callId, id);

    first.request(CMD_TAKE_CALL, [id](OutPacket& out) { out.writeInt(id); });
    const auto gone = h.recorder.to(second.endpoint(), CMD_CALL_GONE);
    ASSERT_EQ(gone.size(), 1u);
    Reader reader(gone[0]);
    EXPECT_EQ(reader.in().u32(), id);
    EXPECT_TRUE(h.recorder.to(first.endpoint(), CMD_CALL_GONE).empty());
    EXPECT_TRUE(h.recorder.to(elsewhere.endpoint(), CMD_CALL_GONE).empty());
    // The console never acknowledges 1867, so copies go out up to the send limit, then stop.
    for (int i = 1; i <= 4; ++i) {
        h.server->tick(first.nowMs + 2000 * i);
    }
    EXPECT_EQ(h.recorder.to(second.endpoint(), CMD_CALL_GONE).size(),
              static_cast<std::size_t>(h.settings.maxSends));

    // The second console is too late: the call stays the first operator's, and the second
    // hears that the call is gone (its take may have crossed the withdrawal on the way).
    const std::size_t goneBefore = h.recorder.to(second.endpoint(), CMD_CALL_GONE).size();
    second.request(CMD_TAKE_CALL, [id](OutPacket& out) { out.writeInt(id); });
    EXPECT_EQ(h.calls.find(id)->takenBy, 1024u);
    const auto late = h.recorder.to(second.endpoint(), CMD_CALL_GONE);
    ASSERT_EQ(late.size(), goneBefore + 1);
    EXPECT_EQ(Reader(late.back()).in().u32(), id);
    first.request(CMD_GET_TAKEN_CALLS, [](OutPacket& out) { out.writeInt(0); });
    const auto taken = h.recorder.to(first.endpoint(), CMD_TAKEN_CALLS);
    ASSERT_EQ(taken.size(), 1u);
    const auto takenCalls = callsIn(taken[0], CallWireOrder::TakenCall);
    ASSERT_EQ(takenCalls.size(), 1u);
    EXPECT_EQ(takenCalls[0].category, 1u);
}

TEST(ServerCalls, OnlyTheHolderReportsOrGivesUpACall) {
    ServerHarness h;
    FakeConsole holder = h.console(1024, 4000);
    FakeConsole other = h.console(1025, 4001);
    holder.loginToReady(h.recorder);
    other.loginToReady(h.recorder);
    const uint32_t id = h.server->injectCall(makeCall(*h.directory.find(2001), 0, 1000));
    holder.request(CMD_TAKE_CALL, [id](OutPacket& out) { out.writeInt(id); });

    const auto report = [id](OutPacket& out) { out.writeInt(id).writeString("handled"); };
    const std::size_t goneBefore = h.recorder.to(other.endpoint(), CMD_CALL_GONE).size();
    other.request(CMD_CALL_REPORT, report);
    other.request(CMD_GIVE_UP_CALL, [id](OutPacket& out) { out.writeInt(id); });
    other.request(CMD_MISDIAL, [id](OutPacket& out) { out.writeInt(id); });
    EXPECT_TRUE(h.recorder.to(other.endpoint(), CMD_CALL_MEMO_SAVED).empty());
    EXPECT_EQ(h.calls.find(id)->state, CallState::Taken);
    // Each request about a call it does not hold tells the console the call is gone.
    EXPECT_EQ(h.recorder.to(other.endpoint(), CMD_CALL_GONE).size(), goneBefore + 3);
    EXPECT_TRUE(h.recorder.to(holder.endpoint(), CMD_CALL_GONE).empty());

    // Giving up offers the call again to the others.
    holder.request(CMD_GIVE_UP_CALL, [id](OutPacket& out) { out.writeInt(id); });
    EXPECT_EQ(h.calls.find(id)->state, CallState::Waiting);
    EXPECT_EQ(h.recorder.to(other.endpoint(), CMD_NEW_CALL).size(), 2u);

    other.request(CMD_TAKE_CALL, [id](OutPacket& out) { out.writeInt(id); });
    const uint16_t seq = other.request(CMD_CALL_REPORT, report);
    const auto saved = h.recorder.to(other.endpoint(), CMD_CALL_MEMO_SAVED);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].ackSeq(), seq);
    EXPECT_EQ(h.calls.find(id)->state, CallState::Closed);
    EXPECT_EQ(h.calls.find(id)->report, "handled");
}

TEST(ServerCalls, FamilyContactsOfTheCallerAnswerEachRequest) {
    ServerHarness h;
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const uint32_t id = addCall(h, 2001, 1);
    // The caller is the call's, whatever user id the request names.
    console.request(CMD_GET_FAMILY, [id](OutPacket& out) { out.writeInt(id).writeInt(2002); });
    const auto family = h.recorder.to(console.endpoint(), CMD_FAMILY_CONTACT);
    ASSERT_EQ(family.size(), 1u);
    Reader reader(family[0]);
    EXPECT_EQ(reader.in().u32(), id);
    EXPECT_EQ(reader.in().text(), "son");
    EXPECT_EQ(reader.in().text(), "13600000001");
}

} // namespace
} // namespace talmor::server::testing

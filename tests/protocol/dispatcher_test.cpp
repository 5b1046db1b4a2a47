#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "protocol/commands.h"
#include "protocol/sessionrecords.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::body;
using testing::Bytes;
using testing::ClientHarness;
using testing::SentRequest;

CallRecord call(uint32_t callId) {
    CallRecord r;
    r.callId = callId;
    r.userId = 5;
    r.category = 1;
    r.userName = "caller";
    r.serviceObject = "object";
    return r;
}

Bytes callList(std::vector<uint32_t> callIds, CallWireOrder order) {
    return body([&](OutPacket& out) {
        out.writeShort(static_cast<uint16_t>(callIds.size()));
        for (uint32_t id : callIds) {
            call(id).write(out, order);
        }
    });
}

template <typename Entry> Bytes listOf(std::vector<Entry> entries) {
    return body([&](OutPacket& out) { writeList(out, entries); });
}

Bytes ints(std::initializer_list<uint32_t> values) {
    return body([&](OutPacket& out) {
        for (uint32_t value : values) {
            out.writeInt(value);
        }
    });
}

Bytes peerThen(uint32_t peer, const std::function<void(OutPacket&)>& rest) {
    return body([&](OutPacket& out) {
        out.writeInt(peer);
        rest(out);
    });
}

struct DispatchCase {
    uint16_t code;
    Bytes body;
    std::vector<std::string> events; // the first listener operations called
    bool acked;
};

std::vector<DispatchCase> dispatchCases() {
    using E = std::vector<std::string>;
    SellerEntry seller;
    seller.id = 66;
    UserRecord user;
    user.nick = "n";
    user.extraText = "x";
    UserRecord operatorProfile;
    operatorProfile.typeCode = "S";
    return {
        {CMD_CONTACT_LIST,
         listOf<ContactEntry>({{5, "", 1, "a", "", "", 0}, {6, "", 1, "b", "", "", 0}}),
         E{"OnContactList([5,6])"}, true},
        {CMD_LOGIN_REPLY, body([](OutPacket& out) {
             LoginReply{{"a", "b", "c", "d"}, 1, 77, 88, 50}.write(out);
         }),
         E{"OnLoginReply(\"a\",\"b\",\"c\",\"d\",1,77,50)"}, true},
        {CMD_LOGGED_IN_ELSEWHERE, {}, E{"OnLoggedInElsewhere()"}, true},
        {CMD_KEEP_ALIVE, ints({1}), E{}, false},
        {CMD_USER_INFO, body([&](OutPacket& out) { user.write(out.writeInt(42)); }),
         E{"OnUserInfo(42,\"n\",\"x\")"}, true},
        {CMD_OWN_PROFILE, body([&](OutPacket& out) { operatorProfile.write(out); }),
         E{"OnOwnProfile()"}, true},
        {CMD_GROUP_LIST, listOf<GroupEntry>({{3, "g"}, {4, "h"}}), E{"OnGroupList([3,4])"}, true},
        {CMD_CONTACT_ONLINE, body([](OutPacket& out) {
             PresenceEntry{9, 2, 0x01020304, 10, 11, 0x05060708}.write(out);
         }),
         E{"OnContactOnline(9,2,16909060,10,11,84281096,false)"}, true},
        {CMD_CONTACT_OFFLINE, ints({9}), E{"OnContactOffline(9)"}, true},
        {CMD_CONTACT_STATUS, ints({9, 2}), E{"OnContactStatus(9,2)"}, true},
        {CMD_GROUP_CREATED, ints({3}), E{"OnGroupCreated(3)"}, true},
        {CMD_GROUP_NAME_CHANGED, body([](OutPacket& out) { out.writeInt(3).writeString("new"); }),
         E{"OnGroupNameChanged(3,\"new\")"}, true},
        {CMD_GROUP_DELETED, ints({3}), E{"OnGroupDeleted(3)"}, true},
        {CMD_SERVER_MESSAGE, body([](OutPacket& out) {
             ServerMessage{1, 9, 1234, "hi"}.write(out);
         }),
         E{"OnMessage(1,3,9,1234,\"hi\")"}, true},
        {CMD_USER_SUMMARY_LIST,
         listOf<UserSummaryEntry>({UserSummaryEntry{11, 0, "", "", 0, 0, "", "", "", 0}}),
         E{"OnUserSummaryList([11])"}, true},
        {CMD_CONTACT_MOVED, ints({3, 9}), E{"OnContactMoved(3,9)"}, true},
        {CMD_CONTACT_DELETED, ints({9}), E{"OnContactDeleted(9)"}, true},
        {CMD_CONTACT_ADDED, ints({9}), E{"OnContactAdded(9)"}, true},
        {CMD_ADD_REQUEST, ints({9}), E{"OnAddRequest(9)"}, true},
        {CMD_NOTICE_525, ints({1}), E{"OnNotice525(1)"}, true},
        {CMD_NOTICE_526, ints({2}), E{"OnNotice526(2)"}, true},
        {CMD_NOTICE_527, ints({3}), E{"OnNotice527(3)"}, true},
        {incoming::CMD_FILE_OFFER,
         peerThen(9,
                  [](OutPacket& out) { out.writeShort(8010).writeInt(2048).writeString("a.txt"); }),
         E{"OnFileOffer(9,2048,\"a.txt\")"}, true},
        {incoming::CMD_FILE_ACCEPTED, peerThen(9, [](OutPacket& out) { out.writeShort(4000); }),
         E{"OnFileAccepted(9,4000)"}, true},
        {incoming::CMD_FILE_CANCELLED, ints({9}), E{"OnFileCancelled(9)"}, true},
        {incoming::CMD_FILE_RELAY_ASK, ints({9}), E{}, true},
        {incoming::CMD_FILE_RELAY_READY, ints({9, 512}), E{"OnFileRelayReady(9,512,true)"}, true},
        {incoming::CMD_FILE_RELAY_DATA,
         peerThen(9, [](OutPacket& out) { out.writeInt(1024).writeBytes("abc", 3); }),
         E{"OnFileRelayData(9,\"abc\",3,1024)"}, true},
        {incoming::CMD_VOICE_OFFER, ints({9}), E{"OnVoiceOffer(9)"}, true},
        {incoming::CMD_VOICE_ACCEPTED, peerThen(9, [](OutPacket& out) { out.writeShort(4001); }),
         E{"OnVoiceAccepted(9,4001)"}, true},
        {incoming::CMD_VOICE_CANCELLED, ints({9}), E{"OnVoiceCancelled(9)"}, true},
        {incoming::CMD_VOICE_RELAY_ASK, ints({9}), E{"OnVoiceChannelReady(9,true)"}, true},
        {incoming::CMD_VOICE_RELAY_READY, ints({9}), E{"OnVoiceChannelStarted(9,true)"}, true},
        {incoming::CMD_VOICE_RELAY_DATA,
         peerThen(9, [](OutPacket& out) { out.writeBytes("vv", 2); }), E{"OnVoiceData(9,\"vv\",2)"},
         true},
        {incoming::CMD_VIDEO_OFFER, ints({9}), E{"OnVideoOffer(9)"}, true},
        {incoming::CMD_VIDEO_ACCEPTED, peerThen(9, [](OutPacket& out) { out.writeShort(4002); }),
         E{"OnVideoAccepted(9,4002)"}, true},
        {incoming::CMD_VIDEO_CANCELLED, ints({9}), E{"OnVideoCancelled(9)"}, true},
        {incoming::CMD_VIDEO_RELAY_ASK, ints({9}), E{"OnVideoChannelReady(9,true)"}, true},
        {incoming::CMD_VIDEO_RELAY_READY, ints({9}), E{"OnVideoChannelStarted(9,true)"}, true},
        {incoming::CMD_VIDEO_RELAY_DATA,
         peerThen(9, [](OutPacket& out) { out.writeBytes("pic", 3); }),
         E{"OnVideoData(9,\"pic\",3)"}, true},
        {CMD_SEAT_RIGHTS, body([](OutPacket& out) { SeatRights{}.write(out); }), E{}, true},
        {CMD_HELP_CALLS, callList({21, 22}, CallWireOrder::ListEntryWithSource),
         E{"OnHelpCalls([21,22])"}, true},
        {CMD_SOS_CALLS, callList({23}, CallWireOrder::ListEntryWithSource), E{"OnSosCalls([23])"},
         true},
        {CMD_NEW_CALL, body([](OutPacket& out) { call(31).write(out, CallWireOrder::NewCall); }),
         E{"OnNewCall(31,1,\"caller\",\"object\")"}, true},
        {CMD_CALL_NOTICE_DONE, ints({31}), E{"OnCallNoticeDone(31)"}, true},
        {CMD_SEARCH_RESULT_A, listOf<SearchEntryA>({SearchEntryA{12, 1, "", "", 0, 0, ""}}),
         E{"OnSearchResultA([12])"}, true},
        {CMD_SEARCH_RESULT_C, listOf<SearchEntryC>({SearchEntryC{13, 0, "", "", "", 0, "", ""}}),
         E{"OnSearchResultC([13])"}, true},
        {CMD_CALL_NOTICE_DONE_2, ints({32}), E{"OnCallNoticeDone(32)"}, true},
        {CMD_PROVIDER_COUNT, ints({5}), E{"OnProviderCount(5)"}, true},
        {CMD_CUSTOMER_COUNT, ints({6}), E{"OnCustomerCount(6)"}, true},
        {CMD_SEARCH_RESULT_D, listOf<SearchEntryD>({SearchEntryD{14, 1, "", "", "", 0, "", {}}}),
         E{"OnSearchResultD([14])"}, true},
        {CMD_CALL_MEMO_SAVED, ints({33}), E{"OnCallMemoSaved(33)"}, true},
        {CMD_SEARCH_RESULT_B,
         listOf<SearchEntryB>({SearchEntryB{15, 1, "", "", "", "", "", "", "", "", "", "", ""}}),
         E{"OnSearchResultB([15])"}, true},
        {CMD_SELLER_RESULT, body([&](OutPacket& out) { seller.write(out.writeInt(55)); }),
         E{"OnSellerResult([66],55)"}, true},
        {CMD_SCOPE_NOTICE, body([](OutPacket& out) { out.writeString("notice"); }),
         E{"OnScopeNotice(\"notice\")"}, true},
        {CMD_FAMILY_CONTACT,
         body([](OutPacket& out) { out.writeInt(1).writeString("mum").writeString("123"); }),
         E{"OnFamilyContact(1,\"mum\",\"123\")"}, true},
        {CMD_CATEGORY_CALLS, callList({41}, CallWireOrder::ListEntry), E{"OnCategoryCalls(0,[41])"},
         true},
        {CMD_CATEGORY_CALLS + 23, callList({42}, CallWireOrder::ListEntry),
         E{"OnCategoryCalls(23,[42])"}, true},
        {CMD_SERVICE_CALLS, callList({43}, CallWireOrder::ListEntry), E{"OnServiceCalls([43])"},
         true},
        {CMD_REMINDER_SCHEDULE, ints({1, 15}), E{"OnReminderSchedule(1,15)"}, true},
        {CMD_SCOPE_CODE, body([](OutPacket& out) { out.writeString("code"); }), E{}, true},
        {CMD_HELP_TOTAL, ints({7}), E{"OnHelpTotal(7)"}, true},
        {CMD_SOS_TOTAL, ints({8}), E{"OnSosTotal(8)"}, true},
        {CMD_TAKEN_CALLS, callList({44}, CallWireOrder::TakenCall), E{"OnTakenCalls([44])"}, true},
        {CMD_CALL_GONE, ints({31}), E{"OnCallGone(31)"}, false},
        {CMD_FAMILY_CONTACT_2,
         body([](OutPacket& out) { out.writeInt(2).writeString("son").writeString("456"); }),
         E{"OnFamilyContact2(2,\"son\",\"456\")"}, true},
        // Codes that are not server events: nothing called, nothing acknowledged.
        {5, ints({1}), E{}, false},
        {7, ints({1}), E{}, false},
        {11, ints({1}), E{}, false},
        {528, ints({1}), E{}, false},
        {786, ints({1}), E{}, false},
        {1543, ints({1}), E{}, false},
        {1801, ints({1}), E{}, false},
        {1804, ints({1}), E{}, false},
        {1832, ints({1}), E{}, false},
        {1860, ints({1}), E{}, false},
        {1864, ints({1}), E{}, false},
        {1866, ints({1}), E{}, false},
        {1871, ints({1}), E{}, false},
        {0xFFFF, ints({1}), E{}, false},
    };
}

bool ackedSeq(const std::vector<SentRequest>& sent, uint16_t seq) {
    return std::any_of(sent.begin(), sent.end(), [seq](const SentRequest& request) {
        return request.command == CMD_ACK && request.seq == seq;
    });
}

TEST(Dispatcher, EveryCodeCallsItsOperationWithItsFields) {
    for (const DispatchCase& c : dispatchCases()) {
        SCOPED_TRACE(c.code);
        ClientHarness h;
        h.deliver(c.code, c.body);
        const std::vector<std::string>& events = h.listener.events;
        ASSERT_GE(events.size(), c.events.size());
        EXPECT_EQ(std::vector<std::string>(events.begin(),
                                           events.begin() + static_cast<long>(c.events.size())),
                  c.events);
        if (c.events.empty()) {
            EXPECT_TRUE(events.empty()) << events.front();
        }
        EXPECT_EQ(ackedSeq(h.takeSent(), h.lastServerSeq()), c.acked);
    }
}

// Whatever part of a body arrives, the handler runs on zeros and empties, never past the
// received bytes, and the datagram is acknowledged as usual.
TEST(Dispatcher, TruncatedBodiesAreHandledAsZeroFields) {
    for (const DispatchCase& c : dispatchCases()) {
        SCOPED_TRACE(c.code);
        ClientHarness h;
        for (std::size_t size = 0; size < c.body.size(); ++size) {
            h.deliver(c.code, Bytes(c.body.begin(), c.body.begin() + static_cast<long>(size)));
            EXPECT_EQ(ackedSeq(h.takeSent(), h.lastServerSeq()), c.acked) << size;
        }
    }
}

TEST(Dispatcher, TruncatedNewCallReadsAsZeros) {
    ClientHarness h;
    h.deliver(CMD_NEW_CALL, ints({31, 5}));
    ASSERT_EQ(h.listener.lastCalls.size(), 1u);
    const CallRecord& r = h.listener.lastCalls[0];
    EXPECT_EQ(r.callId, 31u);
    EXPECT_EQ(r.userId, 5u);
    EXPECT_EQ(r.category, 0u);
    EXPECT_EQ(r.userName, "");
    EXPECT_EQ(r.serviceObject, "");
}

TEST(Dispatcher, OnlineListCallsOnContactOnlineOncePerEntryInOrder) {
    ClientHarness h;
    h.deliver(CMD_ONLINE_CONTACTS,
              listOf<PresenceEntry>({{3, 0, 1, 2, 3, 4}, {1, 2, 5, 6, 7, 8}, {2, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(h.listener.events, (std::vector<std::string>{"OnContactOnline(3,0,1,2,3,4,true)",
                                                           "OnContactOnline(1,2,5,6,7,8,true)",
                                                           "OnContactOnline(2,0,0,0,0,0,true)"}));
}

// Each automatic request goes out before the acknowledgement of the datagram that caused it.
TEST(Dispatcher, AutomaticAnswersPrecedeTheAcknowledgement) {
    struct Case {
        uint16_t code;
        Bytes body;
        uint16_t answer;
        Bytes answerBody; // before the block padding
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {incoming::CMD_FILE_RELAY_ASK, ints({9}), CMD_FILE_RELAY_ANSWER, ints({9, 0}), {}},
        {incoming::CMD_VOICE_RELAY_ASK,
         ints({9}),
         CMD_VOICE_RELAY_ANSWER,
         ints({9}),
         {"OnVoiceChannelReady(9,true)"}},
        {incoming::CMD_VIDEO_RELAY_ASK,
         ints({9}),
         CMD_VIDEO_RELAY_ANSWER,
         ints({9}),
         {"OnVideoChannelReady(9,true)"}},
        {CMD_SEAT_RIGHTS,
         body([](OutPacket& out) { SeatRights{}.write(out); }),
         CMD_GET_OWN_PROFILE,
         {},
         {}},
        {CMD_SCOPE_CODE,
         body([](OutPacket& out) { out.writeString("4401"); }),
         CMD_GET_GROUPS,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ClientHarness h;
        h.login(); // keys the cipher, so that the answer can be read back
        h.deliver(c.code, c.body);
        const std::vector<SentRequest> sent = h.takeSent();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].command, c.answer);
        ASSERT_TRUE(sent[0].deciphered);
        ASSERT_GE(sent[0].body.size(), c.answerBody.size());
        EXPECT_EQ(Bytes(sent[0].body.begin(),
                        sent[0].body.begin() + static_cast<long>(c.answerBody.size())),
                  c.answerBody);
        EXPECT_EQ(sent[1].command, CMD_ACK);
        EXPECT_EQ(sent[1].seq, h.lastServerSeq());
        EXPECT_EQ(h.listener.events, c.events);
    }
}

TEST(Dispatcher, SeatRightsAndScopeCodeAreStored) {
    ClientHarness h;
    SeatRights rights;
    rights.rights[45] = "Y";
    rights.longValue = 12;
    rights.shortValue = 34;
    h.deliver(CMD_SEAT_RIGHTS, body([&](OutPacket& out) { rights.write(out); }));
    EXPECT_TRUE(h.listener.seatRights().granted(45));
    EXPECT_FALSE(h.listener.seatRights().granted(46));
    EXPECT_EQ(h.listener.seatRights().longValue, 12u);
    EXPECT_EQ(h.listener.seatRights().shortValue, 34);
    h.deliver(CMD_SCOPE_CODE, body([](OutPacket& out) { out.writeString("4401"); }));
    EXPECT_EQ(h.listener.own().scopeCode, "4401");
}

TEST(Dispatcher, OwnProfileIsStoredWithItsFlagUnderTheOperatorId) {
    ClientHarness h;
    UserRecord profile;
    profile.nick = "operator";
    profile.typeCode = "S";
    profile.city = "city";
    h.deliver(CMD_OWN_PROFILE, body([&](OutPacket& out) {
                  profile.write(out);
                  out.writeByte(7);
              }));
    EXPECT_EQ(h.listener.own().record.nick, "operator");
    EXPECT_EQ(h.listener.own().record.city, "city");
    EXPECT_EQ(h.listener.own().record.id, testing::kOperatorId);
    EXPECT_EQ(h.listener.own().profileFlag, 7);
}

TEST(Dispatcher, CallGoneIsHandledOnceAndNeverAcknowledged) {
    ClientHarness h;
    h.deliver(CMD_CALL_GONE, ints({31}), 500);
    h.deliver(CMD_CALL_GONE, ints({31}), 500);
    EXPECT_EQ(h.listener.events, std::vector<std::string>{"OnCallGone(31)"});
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(Dispatcher, ServerKeepAliveClearsMissedKeepAlivesWithoutAnswer) {
    ClientHarness h;
    h.login();
    h.client().onTimer(kKeepAliveTimer);
    for (int pass = 0; pass < UdpSession::kMaxSends; ++pass) {
        h.clock.advance(UdpSession::kRetryIntervalSeconds);
        h.client().onTimer(kRetransmitTimer);
    }
    ASSERT_EQ(h.client().udpSession().missedKeepAlives(), 1);
    h.takeSent();
    h.deliver(CMD_KEEP_ALIVE, ints({1}));
    EXPECT_EQ(h.client().udpSession().missedKeepAlives(), 0);
    EXPECT_TRUE(h.takeSent().empty());
}

TEST(Dispatcher, LoggedInElsewhereStopsTheKeepAlive) {
    ClientHarness h;
    h.login();
    ASSERT_TRUE(h.timers.isRunning(kKeepAliveTimer));
    h.deliver(CMD_LOGGED_IN_ELSEWHERE, Bytes{});
    EXPECT_FALSE(h.timers.isRunning(kKeepAliveTimer));
    EXPECT_EQ(h.listener.events, std::vector<std::string>{"OnLoggedInElsewhere()"});
}

// A relayed voice packet that the server retransmitted after newer datagrams went through is
// acknowledged but not played; video keeps every picture.
TEST(Dispatcher, LateRelayedVoiceIsAcknowledgedButNotHandedOn) {
    ClientHarness h;
    const auto data = [](const char* bytes) {
        return peerThen(9, [bytes](OutPacket& out) { out.writeBytes(bytes, 2); });
    };
    h.deliver(incoming::CMD_VOICE_RELAY_DATA, data("v1"), 10);
    h.deliver(incoming::CMD_VOICE_RELAY_DATA, data("v3"), 12);
    h.deliver(incoming::CMD_VOICE_RELAY_DATA, data("v2"), 11);
    EXPECT_EQ(h.listener.events,
              (std::vector<std::string>{"OnVoiceData(9,\"v1\",2)", "OnVoiceData(9,\"v3\",2)"}));
    EXPECT_TRUE(ackedSeq(h.takeSent(), 11));
    h.deliver(incoming::CMD_VIDEO_RELAY_DATA, data("p1"), 9);
    EXPECT_EQ(h.listener.events.back(), "OnVideoData(9,\"p1\",2)");
}

} // namespace
} // namespace talmor

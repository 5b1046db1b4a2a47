#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/commands.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::body;
using testing::Bytes;
using testing::ClientHarness;
using testing::SentRequest;

struct RequestCase {
    const char* name;
    std::function<uint16_t(PlatformClient&)> build;
    uint16_t command;
    Bytes body; // before encipherment and block padding
};

Bytes scope(bool withCode) {
    return body([withCode](OutPacket& out) {
        out.writeString("prov").writeString("city").writeString("dist").writeString("street");
        out.writeString("comm").writeInt(1).writeInt(4401);
        if (withCode) {
            out.writeString("code");
        }
    });
}

Bytes join(const Bytes& a, const Bytes& b) {
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

Bytes w(const std::function<void(OutPacket&)>& write) {
    return body(write);
}

std::vector<RequestCase> requestCases() {
    const uint8_t data[] = {0xDE, 0xAD};
    return {
        {"getContacts", [](PlatformClient& c) { return c.getContacts(); }, CMD_GET_CONTACTS, {}},
        {"sendStatus", [](PlatformClient& c) { return c.sendStatus(2); }, CMD_SET_STATUS,
         w([](OutPacket& o) { o.writeInt(2); })},
        {"getUserInfo", [](PlatformClient& c) { return c.getUserInfo(7); }, CMD_GET_USER_INFO,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"getOwnProfile",
         [](PlatformClient& c) { return c.getOwnProfile(); },
         CMD_GET_OWN_PROFILE,
         {}},
        {"getGroups", [](PlatformClient& c) { return c.getGroups(); }, CMD_GET_GROUPS, {}},
        {"getRights", [](PlatformClient& c) { return c.getRights(); }, CMD_GET_RIGHTS, {}},
        {"getScopeCode", [](PlatformClient& c) { return c.getScopeCode(); }, CMD_GET_SCOPE_CODE,
         w([](OutPacket& o) { o.writeInt(4401); })},
        {"getScopeNotice", [](PlatformClient& c) { return c.getScopeNotice(); },
         CMD_GET_SCOPE_NOTICE, w([](OutPacket& o) { o.writeInt(4401); })},
        {"getReminder", [](PlatformClient& c) { return c.getReminder(); }, CMD_GET_REMINDER, {}},
        {"createGroup", [](PlatformClient& c) { return c.createGroup("g"); }, CMD_CREATE_GROUP,
         w([](OutPacket& o) { o.writeString("g"); })},
        {"renameGroup", [](PlatformClient& c) { return c.renameGroup(3, "h"); }, CMD_RENAME_GROUP,
         w([](OutPacket& o) { o.writeInt(3).writeString("h"); })},
        {"deleteGroup", [](PlatformClient& c) { return c.deleteGroup(3); }, CMD_DELETE_GROUP,
         w([](OutPacket& o) { o.writeInt(3); })},
        {"moveNewContact", [](PlatformClient& c) { return c.moveNewContact(7, 3); },
         CMD_MOVE_NEW_CONTACT, w([](OutPacket& o) { o.writeInt(7).writeInt(3); })},
        {"sendMessage", [](PlatformClient& c) { return c.sendMessage(1, 7, "hi"); },
         CMD_SEND_MESSAGE, w([](OutPacket& o) { o.writeByte(1).writeInt(7).writeString("hi"); })},
        {"moveContact", [](PlatformClient& c) { return c.moveContact(3, 7); }, CMD_MOVE_CONTACT,
         w([](OutPacket& o) { o.writeInt(3).writeInt(7); })},
        {"deleteContact", [](PlatformClient& c) { return c.deleteContact(7); }, CMD_DELETE_CONTACT,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"addContact", [](PlatformClient& c) { return c.addContact(7, 0); }, CMD_ADD_CONTACT,
         w([](OutPacket& o) { o.writeInt(7).writeInt(0); })},
        {"fileOffer", [](PlatformClient& c) { return c.fileOffer(7, 2049, "f.bin"); },
         CMD_FILE_OFFER, w([](OutPacket& o) {
             o.writeInt(7).writeShort(8010).writeInt(2049).writeString("f.bin");
         })},
        {"fileAccept", [](PlatformClient& c) { return c.fileAccept(7, 4000); }, CMD_FILE_ACCEPT,
         w([](OutPacket& o) { o.writeInt(7).writeShort(4000); })},
        {"fileCancel", [](PlatformClient& c) { return c.fileCancel(7); }, CMD_FILE_CANCEL,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"fileRelayAsk", [](PlatformClient& c) { return c.fileRelayAsk(7); }, CMD_FILE_RELAY_ASK,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"fileRelayAnswer", [](PlatformClient& c) { return c.fileRelayAnswer(7, 4096); },
         CMD_FILE_RELAY_ANSWER, w([](OutPacket& o) { o.writeInt(7).writeInt(4096); })},
        {"fileRelayData",
         [data](PlatformClient& c) { return c.fileRelayData(7, data, sizeof data, 6144); },
         CMD_FILE_RELAY_DATA,
         w([&](OutPacket& o) { o.writeInt(7).writeInt(2).writeInt(6144).writeBytes(data, 2); })},
        {"voiceOffer", [](PlatformClient& c) { return c.voiceOffer(7); }, CMD_VOICE_OFFER,
         w([](OutPacket& o) { o.writeInt(7).writeShort(8010); })},
        {"voiceAccept", [](PlatformClient& c) { return c.voiceAccept(7, 4001); }, CMD_VOICE_ACCEPT,
         w([](OutPacket& o) { o.writeInt(7).writeShort(4001); })},
        {"voiceCancel", [](PlatformClient& c) { return c.voiceCancel(7); }, CMD_VOICE_CANCEL,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"voiceRelayAsk", [](PlatformClient& c) { return c.voiceRelayAsk(7); }, CMD_VOICE_RELAY_ASK,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"voiceRelayAnswer", [](PlatformClient& c) { return c.voiceRelayAnswer(7); },
         CMD_VOICE_RELAY_ANSWER, w([](OutPacket& o) { o.writeInt(7); })},
        {"voiceRelayData", [data](PlatformClient& c) { return c.voiceRelayData(7, data, 2); },
         CMD_VOICE_RELAY_DATA,
         w([&](OutPacket& o) { o.writeInt(7).writeInt(2).writeBytes(data, 2); })},
        {"videoOffer", [](PlatformClient& c) { return c.videoOffer(7); }, CMD_VIDEO_OFFER,
         w([](OutPacket& o) { o.writeInt(7).writeShort(8010); })},
        {"videoAccept", [](PlatformClient& c) { return c.videoAccept(7, 4002); }, CMD_VIDEO_ACCEPT,
         w([](OutPacket& o) { o.writeInt(7).writeShort(4002); })},
        {"videoCancel", [](PlatformClient& c) { return c.videoCancel(7); }, CMD_VIDEO_CANCEL,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"videoRelayAsk", [](PlatformClient& c) { return c.videoRelayAsk(7); }, CMD_VIDEO_RELAY_ASK,
         w([](OutPacket& o) { o.writeInt(7); })},
        {"videoRelayAnswer", [](PlatformClient& c) { return c.videoRelayAnswer(7); },
         CMD_VIDEO_RELAY_ANSWER, w([](OutPacket& o) { o.writeInt(7); })},
        {"videoRelayData", [data](PlatformClient& c) { return c.videoRelayData(7, data, 2); },
         CMD_VIDEO_RELAY_DATA,
         w([&](OutPacket& o) { o.writeInt(7).writeInt(2).writeBytes(data, 2); })},
        {"getHelpCalls", [](PlatformClient& c) { return c.getHelpCalls(0); }, CMD_GET_HELP_CALLS,
         join(w([](OutPacket& o) { o.writeInt(0); }), scope(true))},
        {"getSosCalls", [](PlatformClient& c) { return c.getSosCalls(9); }, CMD_GET_SOS_CALLS,
         join(w([](OutPacket& o) { o.writeInt(9); }), scope(true))},
        {"getCategoryCalls 0", [](PlatformClient& c) { return c.getCategoryCalls(0, 5); },
         CMD_GET_CATEGORY_CALLS, join(w([](OutPacket& o) { o.writeInt(5); }), scope(true))},
        {"getCategoryCalls 23", [](PlatformClient& c) { return c.getCategoryCalls(23, 5); }, 1831,
         join(w([](OutPacket& o) { o.writeInt(5); }), scope(true))},
        {"getServiceCalls", [](PlatformClient& c) { return c.getServiceCalls(6); },
         CMD_GET_SERVICE_CALLS, join(w([](OutPacket& o) { o.writeInt(6); }), scope(true))},
        {"getTakenCalls", [](PlatformClient& c) { return c.getTakenCalls(8); }, CMD_GET_TAKEN_CALLS,
         w([](OutPacket& o) { o.writeInt(8); })},
        {"takeCall", [](PlatformClient& c) { return c.takeCall(31); }, CMD_TAKE_CALL,
         w([](OutPacket& o) { o.writeInt(31); })},
        {"giveUpCall", [](PlatformClient& c) { return c.giveUpCall(31); }, CMD_GIVE_UP_CALL,
         w([](OutPacket& o) { o.writeInt(31); })},
        {"misdial", [](PlatformClient& c) { return c.misdial(31); }, CMD_MISDIAL,
         w([](OutPacket& o) { o.writeInt(31); })},
        {"blacklist", [](PlatformClient& c) { return c.blacklist(31, "110"); }, CMD_BLACKLIST,
         w([](OutPacket& o) { o.writeInt(31).writeString("110"); })},
        {"callReport", [](PlatformClient& c) { return c.callReport(31, "done"); }, CMD_CALL_REPORT,
         w([](OutPacket& o) { o.writeInt(31).writeString("done"); })},
        {"serviceNotice2",
         [](PlatformClient& c) {
             return c.serviceNotice2({31, 66, 1, "shop", "fix it"});
         },
         CMD_SERVICE_NOTICE_2, w([](OutPacket& o) {
             o.writeInt(31).writeInt(66).writeInt(1).writeString("shop").writeString("fix it");
         })},
        {"getFamily", [](PlatformClient& c) { return c.getFamily(31, 5); }, CMD_GET_FAMILY,
         w([](OutPacket& o) { o.writeInt(31).writeInt(5); })},
        {"getFamily2", [](PlatformClient& c) { return c.getFamily2(31, 5); }, CMD_GET_FAMILY_2,
         w([](OutPacket& o) { o.writeInt(31).writeInt(5); })},
        {"sosSms", [](PlatformClient& c) { return c.sosSms(31, "139", "come"); }, CMD_SOS_SMS,
         w([](OutPacket& o) { o.writeInt(31).writeString("139").writeString("come"); })},
        {"searchUsers",
         [](PlatformClient& c) {
             return c.searchUsers({1, "e", "n", "m", 2, 3, "a", "b", "c", "d", "f", 40});
         },
         CMD_SEARCH_USERS, w([](OutPacket& o) {
             o.writeInt(1).writeString("e").writeString("n").writeString("m").writeByte(2);
             o.writeByte(3).writeString("a").writeString("b").writeString("c");
             o.writeString("d").writeString("f").writeInt(40);
         })},
        {"searchProviders",
         [](PlatformClient& c) {
             return c.searchProviders({1, "e", "n", "a", "b", "c", "d", "f", "p", 40});
         },
         CMD_SEARCH_PROVIDERS, w([](OutPacket& o) {
             o.writeInt(1).writeString("e").writeString("n").writeString("a").writeString("b");
             o.writeString("c").writeString("d").writeString("f").writeString("p").writeInt(40);
         })},
        {"searchColleagues",
         [](PlatformClient& c) {
             return c.searchColleagues({1, "n", "a", "b", "c", "d", "f", 1, 40});
         },
         CMD_SEARCH_COLLEAGUES, w([](OutPacket& o) {
             o.writeInt(1).writeString("n").writeString("a").writeString("b").writeString("c");
             o.writeString("d").writeString("f").writeInt(1).writeInt(40);
         })},
        {"sellerQuery",
         [](PlatformClient& c) {
             return c.sellerQuery({31, "t", "s", "a", "b", "c", "d", "f"});
         },
         CMD_SELLER_QUERY, w([](OutPacket& o) {
             o.writeInt(31).writeString("t").writeString("s").writeString("a").writeString("b");
             o.writeString("c").writeString("d").writeString("f");
         })},
        {"getCount1", [](PlatformClient& c) { return c.getCount1(); }, CMD_GET_COUNT_1,
         scope(false)},
        {"getCount2", [](PlatformClient& c) { return c.getCount2(); }, CMD_GET_COUNT_2,
         scope(true)},
        // Five empty texts, a zero, two empty texts.
        {"getTotal1", [](PlatformClient& c) { return c.getTotal1(); }, CMD_GET_TOTAL_1,
         Bytes{0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0}},
        {"getTotal2", [](PlatformClient& c) { return c.getTotal2(); }, CMD_GET_TOTAL_2,
         Bytes{0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0}},
    };
}

// Every builder sends its code with its body in wire order, and returns the seq it sent.
TEST(Requests, EachBuilderSendsItsBody) {
    ClientHarness h;
    h.login();
    UserRecord& profile = h.listener.own().record;
    profile.province = "prov";
    profile.city = "city";
    profile.district = "dist";
    profile.street = "street";
    profile.community = "comm";
    profile.scopeKind = 1;
    profile.scopeId = 4401;
    h.listener.own().scopeCode = "code";
    for (const RequestCase& c : requestCases()) {
        SCOPED_TRACE(c.name);
        const uint16_t seq = c.build(h.client());
        const std::vector<SentRequest> sent = h.takeSent();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].command, c.command);
        EXPECT_NE(seq, 0);
        EXPECT_EQ(sent[0].seq, seq);
        ASSERT_TRUE(sent[0].deciphered);
        // The deciphered body ends in the zeros that filled its last block.
        const Bytes& got = sent[0].body;
        ASSERT_GE(got.size(), c.body.size());
        EXPECT_LT(got.size() - c.body.size(), 8u);
        EXPECT_EQ(Bytes(got.begin(), got.begin() + static_cast<long>(c.body.size())), c.body);
        EXPECT_TRUE(std::all_of(got.begin() + static_cast<long>(c.body.size()), got.end(),
                                [](uint8_t b) { return b == 0; }));
    }
}

TEST(Requests, RelayDataThatWouldNotFitIsNotSent) {
    ClientHarness h;
    h.login();
    const std::vector<uint8_t> data(kMaxMediaRelayData + 1, 0x55);
    EXPECT_EQ(h.client().fileRelayData(7, data.data(), kMaxFileRelayData + 1, 0), 0);
    EXPECT_EQ(h.client().voiceRelayData(7, data.data(), kMaxMediaRelayData + 1), 0);
    EXPECT_EQ(h.client().videoRelayData(7, data.data(), kMaxMediaRelayData + 1), 0);
    EXPECT_EQ(h.client().getCategoryCalls(24, 0), 0);
    EXPECT_TRUE(h.takeSent().empty());

    // The largest chunks still go out whole.
    EXPECT_NE(h.client().fileRelayData(7, data.data(), kMaxFileRelayData, 0), 0);
    EXPECT_NE(h.client().voiceRelayData(7, data.data(), kMaxMediaRelayData), 0);
    const std::vector<SentRequest> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_GE(sent[0].body.size(), 12 + kMaxFileRelayData);
    EXPECT_EQ(sent[0].body[12 + kMaxFileRelayData - 1], 0x55);
    EXPECT_GE(sent[1].body.size(), 8 + kMaxMediaRelayData);
    EXPECT_EQ(sent[1].body[8 + kMaxMediaRelayData - 1], 0x55);
}

// The observer of the handling requests hears of each before it leaves (nothing of it is on
// the wire yet), so what it records never lags behind what the server got.
TEST(Requests, TheCallRequestObserverIsToldBeforeTheRequestLeaves) {
    struct Observer : CallRequestObserver {
        explicit Observer(ClientHarness& harness) : h(harness) {}
        void onCallRequest(uint16_t command, uint32_t, const std::string&) override {
            commands.push_back(command);
            sentBefore.push_back(h.takeSent().size());
        }
        ClientHarness& h;
        std::vector<uint16_t> commands;
        std::vector<std::size_t> sentBefore;
    };
    ClientHarness h;
    h.login();
    h.takeSent();
    Observer observer(h);
    h.client().setCallRequestObserver(&observer);
    h.client().takeCall(31);
    EXPECT_EQ(h.takeSent().size(), 1u);
    h.client().callReport(31, "ok");
    EXPECT_EQ(h.takeSent().size(), 1u);
    h.client().setCallRequestObserver(nullptr);
    EXPECT_EQ(observer.commands, (std::vector<uint16_t>{CMD_TAKE_CALL, CMD_CALL_REPORT}));
    EXPECT_EQ(observer.sentBefore, (std::vector<std::size_t>{0, 0}));
}

} // namespace
} // namespace talmor

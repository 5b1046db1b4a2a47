// Searches page by id, the seller query answers one merchant per reply, and counters count
// within the operator's own scope whatever the request's scope block says.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/records.h"
#include "server/scenario.h"
#include "support/serverharness.h"

namespace talmor::server::testing {
namespace {

void writeArea(OutPacket& out, const char* community) {
    out.writeString("").writeString("").writeString("").writeString("").writeString(community);
}

TEST(ServerQueries, SubscriberSearchPagesByIdAndFiltersByArea) {
    ServerHarness h;
    for (uint32_t id = 3000; id < 3030; ++id) {
        Account subscriber;
        subscriber.profile.id = id;
        subscriber.profile.nick = "resident";
        subscriber.profile.community = id % 2 == 0 ? "A" : "B";
        h.directory.add(subscriber);
    }
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const auto search = [&](uint32_t cursor) {
        const uint16_t seq = console.request(CMD_SEARCH_USERS, [cursor](OutPacket& out) {
            out.writeInt(0).writeString("").writeString("resident").writeString("");
            out.writeByte(0).writeByte(0);
            writeArea(out, "A");
            out.writeInt(cursor);
        });
        const auto replies = h.recorder.to(console.endpoint(), CMD_SEARCH_RESULT_A);
        EXPECT_EQ(replies.back().ackSeq(), seq);
        Reader reader(replies.back());
        return readList<SearchEntryA>(reader.in());
    };
    const auto first = search(0);
    ASSERT_EQ(first.size(), 15u); // 3000, 3002 ... 3028 in area A, all on one page
    EXPECT_EQ(first.front().id, 3000u);
    EXPECT_EQ(first.back().id, 3028u);
    EXPECT_TRUE(search(3028).empty());
    EXPECT_EQ(search(3013).size(), 8u);
}

TEST(ServerQueries, SubscriberSearchHonoursTheAgeBandWithTheOtherConditions) {
    ServerHarness h;
    // One subscriber at each age that sits on a band's edge.
    const uint8_t ages[] = {0, 20, 21, 25, 26, 75, 76, 80, 81, 255};
    for (std::size_t i = 0; i < std::size(ages); ++i) {
        Account subscriber;
        subscriber.profile.id = 3000 + static_cast<uint32_t>(i);
        subscriber.profile.nick = "aged";
        subscriber.profile.age = ages[i];
        subscriber.profile.sex = i % 2 == 0 ? 1 : 2;
        subscriber.profile.community = "A";
        h.directory.add(subscriber);
    }
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    const auto agesFound = [&](uint8_t band, uint8_t sex) {
        console.request(CMD_SEARCH_USERS, [&](OutPacket& out) {
            out.writeInt(0).writeString("").writeString("aged").writeString("");
            out.writeByte(sex).writeByte(band);
            writeArea(out, "A");
            out.writeInt(0);
        });
        Reader reader(h.recorder.to(console.endpoint(), CMD_SEARCH_RESULT_A).back());
        std::vector<int> found;
        for (const SearchEntryA& entry : readList<SearchEntryA>(reader.in())) {
            found.push_back(entry.age);
        }
        return found;
    };
    EXPECT_EQ(agesFound(0, 0).size(), std::size(ages));
    EXPECT_EQ(agesFound(1, 0), (std::vector<int>{0, 20}));
    EXPECT_EQ(agesFound(2, 0), (std::vector<int>{21, 25}));
    EXPECT_EQ(agesFound(3, 0), (std::vector<int>{26}));
    EXPECT_EQ(agesFound(13, 0), (std::vector<int>{76, 80}));
    EXPECT_EQ(agesFound(14, 0), (std::vector<int>{81, 255}));
    EXPECT_TRUE(agesFound(15, 0).empty()) << "a band the console does not offer";
    EXPECT_EQ(agesFound(2, 2), (std::vector<int>{25})) << "the band and the sex together";
}

TEST(ServerQueries, SellerQueryAnswersEachMatchingMerchantWithTheWindowKey) {
    ServerHarness h;
    const auto seller = [](uint32_t id, const char* type, const char* city) {
        Seller s;
        s.entry.id = id;
        s.entry.merchantName = "m" + std::to_string(id);
        s.entry.area = {"P", city, "", "", ""};
        s.type = type;
        return s;
    };
    h.directory.addSeller(seller(1, "repair", "C"));
    h.directory.addSeller(seller(2, "repair", "elsewhere"));
    h.directory.addSeller(seller(3, "cleaning", "C"));
    h.directory.addSeller(seller(4, "repair", ""));
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    console.request(CMD_SELLER_QUERY, [](OutPacket& out) {
        out.writeInt(777).writeString("repair").writeString("");
        out.writeString("P").writeString("C").writeString("D").writeString("S").writeString("A");
    });
    std::vector<uint32_t> found;
    for (const Sent& reply : h.recorder.to(console.endpoint(), CMD_SELLER_RESULT)) {
        Reader reader(reply);
        EXPECT_EQ(reader.in().u32(), 777u);
        found.push_back(SellerEntry::read(reader.in()).id);
    }
    EXPECT_EQ(found, (std::vector<uint32_t>{1, 4}));
}

TEST(ServerQueries, CountersAndTotalsCountTheOperatorsOwnScope) {
    ServerHarness h;
    h.calls.add(makeCall(*h.directory.find(2001), 1, 1)); // area A
    h.calls.add(makeCall(*h.directory.find(2001), 1, 1));
    h.calls.add(makeCall(*h.directory.find(2002), 1, 1)); // area B
    FakeConsole console = h.console(1024, 4000);
    console.loginToReady(h.recorder);
    // The request claims the whole country; the operator watches area A.
    const auto emptyScope = [](OutPacket& out) {
        writeArea(out, "");
        out.writeInt(0).writeInt(0).writeString("");
    };
    console.request(CMD_GET_TOTAL_2, emptyScope);
    console.request(CMD_GET_COUNT_2, emptyScope);
    Reader sos(h.recorder.to(console.endpoint(), CMD_SOS_TOTAL).at(0));
    EXPECT_EQ(sos.in().u32(), 2u);
    Reader customers(h.recorder.to(console.endpoint(), CMD_CUSTOMER_COUNT).at(0));
    EXPECT_EQ(customers.in().u32(), 1u); // subscriber 2001 only
}

} // namespace
} // namespace talmor::server::testing

#include <gtest/gtest.h>

#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "support/wire.h"

namespace talmor {
namespace {

using testing::BodyReader;
using testing::Bytes;
using testing::Filler;
using testing::recordBytes;

UserRecord filledUser(Filler& f) {
    UserRecord r;
    r.nick = f.text();
    r.typeCode = f.text();
    r.age = f.u8();
    r.sex = f.u8();
    for (std::string& text : r.profileText) {
        text = f.text();
    }
    r.pictureIndex = f.u32();
    r.province = f.text();
    r.city = f.text();
    r.district = f.text();
    r.street = f.text();
    r.community = f.text();
    r.scopeKind = f.u32();
    r.scopeId = f.u32();
    r.extraText = f.text();
    return r;
}

CallRecord filledCall(Filler& f) {
    CallRecord r;
    r.callId = f.u32();
    r.userId = f.u32();
    r.category = f.u32();
    r.callTime = f.u32();
    r.userName = f.text();
    r.age = f.u8();
    r.sex = f.u8();
    for (std::string* text : {&r.phone, &r.mobile, &r.province, &r.city, &r.district, &r.street,
                              &r.community, &r.address, &r.mapMark}) {
        *text = f.text();
    }
    r.orgFlag = f.u32();
    r.orgId = f.u32();
    r.unused1 = f.u32();
    r.unused2 = f.u32();
    r.source = f.u32();
    r.serviceObject = f.text();
    return r;
}

// Writing, reading back and writing again gives the same bytes, and the reader takes exactly
// the bytes the writer wrote.
template <typename Record, typename... Extra>
void expectRoundTrip(const Record& record, Extra... extra) {
    const Bytes first = recordBytes(record, extra...);
    ASSERT_FALSE(first.empty());
    BodyReader reader(first);
    const Record back = Record::read(reader.in(), extra...);
    EXPECT_EQ(reader.in().unread(), 0u);
    EXPECT_EQ(recordBytes(back, extra...), first);
}

TEST(Records, EveryRecordReadsBackWhatItWrote) {
    Filler f;
    expectRoundTrip(filledUser(f));
    for (CallWireOrder order : {CallWireOrder::ListEntry, CallWireOrder::ListEntryWithSource,
                                CallWireOrder::TakenCall, CallWireOrder::NewCall}) {
        SCOPED_TRACE(static_cast<int>(order));
        expectRoundTrip(filledCall(f), order);
    }
    expectRoundTrip(ContactEntry{f.u32(), f.text(), f.u32(), f.text(), f.text(), f.text(), f.u8()});
    expectRoundTrip(PresenceEntry{f.u32(), f.u32(), f.u32(), f.u16(), f.u16(), f.u32()});
    expectRoundTrip(GroupEntry{f.u32(), f.text()});
    expectRoundTrip(UserSummaryEntry{f.u32(), f.u8(), f.text(), f.text(), f.u8(), f.u8(), f.text(),
                                     f.text(), f.text(), f.u8()});
    expectRoundTrip(SearchEntryA{f.u32(), f.u8(), f.text(), f.text(), f.u8(), f.u8(), f.text()});
    expectRoundTrip(SearchEntryB{f.u32(), f.u8(), f.text(), f.text(), f.text(), f.text(), f.text(),
                                 f.text(), f.text(), f.text(), f.text(), f.text(), f.text()});
    expectRoundTrip(
        SearchEntryC{f.u32(), f.u8(), f.text(), f.text(), f.text(), f.u8(), f.text(), f.text()});
    expectRoundTrip(SearchEntryD{f.u32(),
                                 f.u8(),
                                 f.text(),
                                 f.text(),
                                 f.text(),
                                 f.u8(),
                                 f.text(),
                                 {f.text(), f.text(), f.text(), f.text(), f.text()}});
    expectRoundTrip(SellerEntry{f.u32(),
                                f.text(),
                                {f.text(), f.text(), f.text(), f.text(), f.text()},
                                f.text(),
                                f.text(),
                                f.text()});
    expectRoundTrip(LoginRequest{f.text(), f.u32(), f.u16(), f.u32(), f.u16(), f.u16(), f.text()});
    expectRoundTrip(
        LoginReply{{f.text(), f.text(), f.text(), f.text()}, f.u8(), f.u32(), f.u32(), f.u32()});
    SeatRights rights;
    for (std::string& right : rights.rights) {
        right = f.text();
    }
    rights.longValue = f.u32();
    rights.shortValue = f.u16();
    expectRoundTrip(rights);
    expectRoundTrip(ServerMessage{f.u8(), f.u32(), f.u32(), f.text()});
}

// The orders differ only in a few places; a reader built from the field list of another order
// would swap exactly these fields.
TEST(Records, CallRecordFollowsEachWireOrder) {
    struct Case {
        CallWireOrder order;
        bool hasCategory;
        bool sexFirst;
        bool hasSource;
        bool hasServiceObject;
    };
    const Case cases[] = {
        {CallWireOrder::ListEntry, false, false, false, false},
        {CallWireOrder::ListEntryWithSource, false, false, true, false},
        {CallWireOrder::TakenCall, true, false, true, false},
        {CallWireOrder::NewCall, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.order));
        OutPacket out = makeDatagram(0, 0, 0, 0);
        out.writeInt(11).writeInt(22);
        if (c.hasCategory) {
            out.writeInt(7);
        }
        out.writeString("name");
        out.writeByte(c.sexFirst ? 2 : 80).writeByte(c.sexFirst ? 80 : 2);
        for (const char* text :
             {"phone", "mobile", "prov", "city", "dist", "street", "comm", "addr", "map"}) {
            out.writeString(text);
        }
        out.writeInt(1700000000).writeInt(1).writeInt(33).writeInt(44).writeInt(55);
        if (c.hasSource) {
            out.writeInt(1);
        }
        if (c.hasServiceObject) {
            out.writeString("object");
        }
        BodyReader reader(testing::bodyOf(testing::bytesOf(out)));
        const CallRecord r = CallRecord::read(reader.in(), c.order);
        EXPECT_EQ(reader.in().unread(), 0u);
        EXPECT_EQ(r.callId, 11u);
        EXPECT_EQ(r.userId, 22u);
        EXPECT_EQ(r.category, c.hasCategory ? 7u : 0u);
        EXPECT_EQ(r.userName, "name");
        EXPECT_EQ(r.age, 80);
        EXPECT_EQ(r.sex, 2);
        EXPECT_EQ(r.phone, "phone");
        EXPECT_EQ(r.mapMark, "map");
        EXPECT_EQ(r.callTime, 1700000000u);
        EXPECT_EQ(r.orgFlag, 1u);
        EXPECT_EQ(r.orgId, 33u);
        EXPECT_EQ(r.source, c.hasSource ? 1u : 0u);
        EXPECT_EQ(r.serviceObject, c.hasServiceObject ? "object" : "");
    }
}

TEST(Records, UserRecordFieldsSitInWireOrder) {
    OutPacket out = makeDatagram(0, 0, 0, 0);
    out.writeString("nick").writeString("S").writeByte(40).writeByte(1);
    for (int i = 1; i <= 14; ++i) {
        out.writeString("p" + std::to_string(i));
    }
    out.writeInt(9);
    for (const char* text : {"prov", "city", "dist", "street", "comm"}) {
        out.writeString(text);
    }
    out.writeInt(1).writeInt(4401).writeString("extra");
    BodyReader reader(testing::bodyOf(testing::bytesOf(out)));
    const UserRecord r = UserRecord::read(reader.in());
    EXPECT_EQ(r.nick, "nick");
    EXPECT_EQ(r.typeCode, "S");
    EXPECT_EQ(r.age, 40);
    EXPECT_EQ(r.sex, 1);
    EXPECT_EQ(r.profileText[0], "p1");
    EXPECT_EQ(r.profileText[13], "p14");
    EXPECT_EQ(r.pictureIndex, 9u);
    EXPECT_EQ(r.province, "prov");
    EXPECT_EQ(r.community, "comm");
    EXPECT_EQ(r.scopeKind, 1u);
    EXPECT_EQ(r.scopeId, 4401u);
    EXPECT_EQ(r.extraText, "extra");
}

TEST(Records, SeatRightsCountOnlyTextsAsRights) {
    OutPacket out = makeDatagram(0, 0, 0, 0);
    for (int i = 0; i < 16; ++i) {
        out.writeString("r" + std::to_string(i));
    }
    out.writeInt(0xA1B2C3D4);
    for (int i = 16; i < 19; ++i) {
        out.writeString("r" + std::to_string(i));
    }
    out.writeShort(0x5566);
    for (int i = 19; i < 50; ++i) {
        out.writeString(i == 45 ? "Y" : "r" + std::to_string(i));
    }
    BodyReader reader(testing::bodyOf(testing::bytesOf(out)));
    const SeatRights rights = SeatRights::read(reader.in());
    EXPECT_EQ(rights.rights[15], "r15");
    EXPECT_EQ(rights.rights[16], "r16");
    EXPECT_EQ(rights.rights[18], "r18");
    EXPECT_EQ(rights.rights[19], "r19");
    EXPECT_EQ(rights.rights[49], "r49");
    EXPECT_EQ(rights.longValue, 0xA1B2C3D4u);
    EXPECT_EQ(rights.shortValue, 0x5566);
    EXPECT_TRUE(rights.granted(45));
    EXPECT_FALSE(rights.granted(44));
    EXPECT_FALSE(rights.granted(50));
}

// Every prefix of a new-call record reads without running past it: the fields that were cut
// off read as zero or empty, the ones before the cut keep their values.
TEST(Records, TruncatedRecordYieldsZeroFields) {
    Filler f;
    const CallRecord full = filledCall(f);
    const Bytes bytes = recordBytes(full, CallWireOrder::NewCall);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        BodyReader reader(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size)));
        const CallRecord r = CallRecord::read(reader.in(), CallWireOrder::NewCall);
        EXPECT_EQ(r.callId, size >= 4 ? full.callId : 0u);
        EXPECT_EQ(r.serviceObject, "");
    }
}

TEST(Records, TextWithoutItsNulReadsEmpty) {
    // Length 3 announced, three bytes present, but the last one is not the terminator.
    BodyReader reader(Bytes{0, 0, 0, 1, 0, 3, 'a', 'b', 'c'});
    const GroupEntry e = GroupEntry::read(reader.in());
    EXPECT_EQ(e.id, 1u);
    EXPECT_EQ(e.name, "");
}

TEST(Records, ListCountBeyondEntriesYieldsZeroFilledEntries) {
    OutPacket out = makeDatagram(0, 0, 0, 0);
    out.writeShort(5);
    GroupEntry{7, "first"}.write(out);
    GroupEntry{8, "second"}.write(out);
    BodyReader reader(testing::bodyOf(testing::bytesOf(out)));
    const std::vector<GroupEntry> list = readList<GroupEntry>(reader.in());
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].id, 7u);
    EXPECT_EQ(list[1].name, "second");
    for (std::size_t i = 2; i < list.size(); ++i) {
        EXPECT_EQ(list[i].id, 0u);
        EXPECT_EQ(list[i].name, "");
    }
}

TEST(Records, InflatedListCountStopsSoonAfterTheBytesEnd) {
    BodyReader reader(Bytes{0xFF, 0xFF, 0, 0, 0, 9});
    const std::vector<CallRecord> list = readList<CallRecord>(
        reader.in(), [](InPacket& in) { return CallRecord::read(in, CallWireOrder::ListEntry); });
    ASSERT_EQ(list.size(), 1 + kMaxMissingListEntries);
    EXPECT_EQ(list[0].callId, 9u);

    // A last byte too short for any field stays unread and must not keep the list going.
    BodyReader partial(Bytes{0x83, 0x67, 0x0A});
    EXPECT_EQ(readList<PresenceEntry>(partial.in()).size(), kMaxMissingListEntries);
}

TEST(Records, WrittenListCarriesItsCount) {
    std::vector<PresenceEntry> list(3);
    list[2].id = 42;
    OutPacket out = makeDatagram(0, 0, 0, 0);
    writeList(out, list);
    BodyReader reader(testing::bodyOf(testing::bytesOf(out)));
    const std::vector<PresenceEntry> back = readList<PresenceEntry>(reader.in());
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[2].id, 42u);
}

TEST(Records, ContactRecordStartsOfflineWithTheEntryFields) {
    const ContactRecord r = ContactRecord::fromEntry(ContactEntry{5, "x", 3, "nick", "p8", "S", 2});
    EXPECT_EQ(r.id, 5u);
    EXPECT_EQ(r.nick, "nick");
    EXPECT_EQ(r.profileText[7], "p8");
    EXPECT_EQ(r.typeCode, "S");
    EXPECT_EQ(r.sex, 2);
    EXPECT_EQ(r.status, 1u);
    EXPECT_EQ(r.altAddress, 0u);
}

} // namespace
} // namespace talmor

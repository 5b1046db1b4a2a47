#include "protocol/packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/wire.h"

namespace talmor {
namespace {

using testing::Bytes;

Bytes written(const std::function<void(OutPacket&)>& write) {
    OutPacket packet;
    write(packet);
    return testing::bytesOf(packet);
}

TEST(OutPacket, WritesBigEndianItems) {
    struct Case {
        const char* name;
        std::function<void(OutPacket&)> write;
        Bytes expected;
    };
    const char raw[] = {'\x01', '\0', '\xff'};
    const Case cases[] = {
        {"short 1218", [](OutPacket& p) { p.writeShort(1218); }, {0x04, 0xC2}},
        {"int", [](OutPacket& p) { p.writeInt(0x01020304); }, {0x01, 0x02, 0x03, 0x04}},
        {"int high bit", [](OutPacket& p) { p.writeInt(0xFFFFFFFE); }, {0xFF, 0xFF, 0xFF, 0xFE}},
        {"byte", [](OutPacket& p) { p.writeByte(0xAB); }, {0xAB}},
        {"empty string", [](OutPacket& p) { p.writeString(""); }, {0x00, 0x01, 0x00}},
        {"string counts its NUL",
         [](OutPacket& p) { p.writeString("ab"); },
         {0x00, 0x03, 'a', 'b', 0x00}},
        {"C string", [](OutPacket& p) { p.writeCString("xyz"); }, {0x00, 0x04, 'x', 'y', 'z', 0}},
        {"GBK text unchanged",
         [](OutPacket& p) { p.writeString("\xd5\xc5"); },
         {0x00, 0x03, 0xD5, 0xC5, 0x00}},
        {"raw bytes, no length",
         [&raw](OutPacket& p) { p.writeBytes(raw, sizeof raw); },
         {0x01, 0x00, 0xFF}},
        {"no raw bytes", [&raw](OutPacket& p) { p.writeBytes(raw, 0); }, {}},
        {"chained in order",
         [](OutPacket& p) { p.writeByte(1).writeShort(2).writeInt(3).writeString("c"); },
         {1, 0, 2, 0, 0, 0, 3, 0, 2, 'c', 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(written(c.write), c.expected) << c.name;
    }
}

// An item that does not fit is dropped whole, and later items that do fit still land.
TEST(OutPacket, DropsAWholeItemThatDoesNotFit) {
    struct Case {
        const char* name;
        std::size_t used; // bytes already written
        std::function<void(OutPacket&)> write;
        std::size_t lengthAfter;
    };
    const std::string longest(4093, 'x'); // 2 + 4094 = 4096: fits an empty packet exactly
    const std::string tooLong(4094, 'x'); // 2 + 4095 > 4096
    const Bytes block(4097, 0x5A);
    const Case cases[] = {
        {"string of 4094 characters", 0, [&](OutPacket& p) { p.writeString(tooLong); }, 0},
        {"C string of 4094 characters", 0, [&](OutPacket& p) { p.writeCString(tooLong.c_str()); },
         0},
        {"string of 4093 characters", 0, [&](OutPacket& p) { p.writeString(longest); }, 4096},
        {"empty string with two bytes free", 4094, [](OutPacket& p) { p.writeString(""); }, 4094},
        {"empty string with three bytes free", 4093, [](OutPacket& p) { p.writeString(""); }, 4096},
        {"int with three bytes free", 4093, [](OutPacket& p) { p.writeInt(7); }, 4093},
        {"int with four bytes free", 4092, [](OutPacket& p) { p.writeInt(7); }, 4096},
        {"short with one byte free", 4095, [](OutPacket& p) { p.writeShort(7); }, 4095},
        {"byte in a full packet", 4096, [](OutPacket& p) { p.writeByte(7); }, 4096},
        {"raw bytes larger than the packet", 0,
         [&](OutPacket& p) { p.writeBytes(block.data(), block.size()); }, 0},
        {"raw bytes one too many", 10, [&](OutPacket& p) { p.writeBytes(block.data(), 4087); }, 10},
        {"raw bytes to the last byte", 10, [&](OutPacket& p) { p.writeBytes(block.data(), 4086); },
         4096},
        {"smaller item after a dropped one", 4093,
         [](OutPacket& p) { p.writeInt(1).writeShort(2).writeByte(3); }, 4096},
    };
    for (const Case& c : cases) {
        OutPacket packet;
        const Bytes filler(c.used, 0x11);
        packet.writeBytes(filler.data(), filler.size());
        ASSERT_EQ(packet.length(), c.used);
        c.write(packet);
        EXPECT_EQ(packet.length(), c.lengthAfter) << c.name;
        // Nothing of a dropped item lands past the length either.
        if (c.lengthAfter < kPacketCapacity) {
            EXPECT_EQ(packet.data()[c.lengthAfter], 0) << c.name;
        }
    }
}

TEST(OutPacket, ZeroFillAndHeaderPatchStayInsideThePacket) {
    OutPacket packet;
    packet.writeInt(0xFFFFFFFF);
    EXPECT_TRUE(packet.zeroFillTo(8));
    EXPECT_EQ(testing::bytesOf(packet), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_TRUE(packet.zeroFillTo(2)); // never shrinks
    EXPECT_EQ(packet.length(), 8u);
    EXPECT_FALSE(packet.zeroFillTo(kPacketCapacity + 1));
    EXPECT_EQ(packet.length(), 8u);
    EXPECT_TRUE(packet.zeroFillTo(kPacketCapacity));
    EXPECT_EQ(packet.length(), kPacketCapacity);

    OutPacket patched;
    patched.writeShort(0).writeByte(0);
    patched.putShortAt(2, 0xBEEF); // would end one byte past the written data
    patched.putShortAt(0, 0x04C2);
    EXPECT_EQ(testing::bytesOf(patched), (Bytes{0x04, 0xC2, 0x00}));
}

TEST(Datagram, HeaderFieldsInWireOrder) {
    const Bytes header = testing::bytesOf(makeDatagram(0x0A0B0C0D, 0x11223344, 0x0605, 0xFFEE));
    EXPECT_EQ(header, (Bytes{0x04, 0xC2,             // version 1218
                             0x00, 0x00, 0x00, 0x00, // reserved
                             0x0A, 0x0B, 0x0C, 0x0D, // sender
                             0x11, 0x22, 0x33, 0x44, // session
                             0x06, 0x05,             // command
                             0xFF, 0xEE,             // seq
                             0x00, 0x00}));          // checkWord
    const OutPacket packet = makeDatagram(1, 2, 3, 4);
    EXPECT_EQ(packet.command, 3);
    EXPECT_EQ(packet.seq, 4);
}

TEST(InPacket, ParsesTheHeaderAndStandsAtTheBody) {
    OutPacket out = makeDatagram(0x0A0B0C0D, 0x11223344, 1539, 0x1234);
    out.putShortAt(kCheckWordOffset, 0xABCD);
    out.writeByte(0x77);
    const Bytes bytes = testing::bytesOf(out);
    InPacket in(bytes.data(), bytes.size());
    EXPECT_EQ(in.version(), PROTOCOL_VERSION);
    EXPECT_EQ(in.senderId(), 0x0A0B0C0Du);
    EXPECT_EQ(in.sessionId(), 0x11223344u);
    EXPECT_EQ(in.command(), 1539);
    EXPECT_EQ(in.seq(), 0x1234);
    EXPECT_EQ(in.ackSeq(), 0xABCD);
    EXPECT_EQ(in.length(), bytes.size());
    std::size_t count = 0;
    const uint8_t* rest = in.remaining(count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(rest, bytes.data() + kDatagramHeaderSize);
    EXPECT_EQ(in.u8(), 0x77);
}

// A partial header must not be read at shifted offsets, and leaves nothing to read as body.
TEST(InPacket, ShortDatagramYieldsZeroHeaderFields) {
    const Bytes full(kDatagramHeaderSize, 0xA5); // every field would read as non-zero
    for (std::size_t size : {0u, 1u, 5u, 13u, 19u}) {
        InPacket in(full.data(), size);
        EXPECT_EQ(in.version(), 0) << size;
        EXPECT_EQ(in.senderId(), 0u) << size;
        EXPECT_EQ(in.sessionId(), 0u) << size;
        EXPECT_EQ(in.command(), 0) << size;
        EXPECT_EQ(in.seq(), 0) << size;
        EXPECT_EQ(in.ackSeq(), 0) << size;
        EXPECT_EQ(in.u8(), 0) << size;
        EXPECT_EQ(in.unread(), 0u) << size;
    }
}

// Reads over a body; an item that does not fit yields 0 or empty and does not move the
// cursor, except that a string whose length was read stays after the length.
TEST(InPacket, BoundedReads) {
    struct Case {
        const char* name;
        Bytes body;
        std::function<std::string(InPacket&)> read; // the value as text
        std::string expected;
        std::size_t unreadAfter;
    };
    const auto asInt = [](InPacket& in) { return std::to_string(in.u32()); };
    const auto asShort = [](InPacket& in) { return std::to_string(in.u16()); };
    const auto asByte = [](InPacket& in) { return std::to_string(in.u8()); };
    const auto asString = [](InPacket& in) { return in.text(); };
    const auto asCString = [](InPacket& in) {
        const char* text = nullptr;
        in.readCString(text);
        return std::string(text);
    };
    const Case cases[] = {
        {"int", {0x80, 0, 0, 1}, asInt, "2147483649", 0},
        {"int from three bytes", {1, 2, 3}, asInt, "0", 3},
        {"short", {0x04, 0xC2}, asShort, "1218", 0},
        {"short from one byte", {1}, asShort, "0", 1},
        {"byte from nothing", {}, asByte, "0", 0},
        {"string", {0, 3, 'h', 'i', 0, 9}, asString, "hi", 1},
        {"C string", {0, 3, 'h', 'i', 0}, asCString, "hi", 0},
        {"empty string", {0, 1, 0}, asString, "", 0},
        {"string from one byte", {0}, asString, "", 1},
        {"string longer than the data", {0, 9, 'a', 'b', 0}, asString, "", 3},
        {"C string longer than the data", {0, 9, 'a', 'b', 0}, asCString, "", 3},
        {"string without its NUL", {0, 2, 'a', 'b', 0}, asString, "", 3},
        {"string of length 0", {0, 0, 'a'}, asString, "", 1},
        {"string of length 65535", {0xFF, 0xFF, 'a', 0}, asString, "", 2},
    };
    for (const Case& c : cases) {
        testing::BodyReader reader(c.body);
        EXPECT_EQ(c.read(reader.in()), c.expected) << c.name;
        EXPECT_EQ(reader.in().unread(), c.unreadAfter) << c.name;
    }
}

TEST(InPacket, ReadsBackWhatWasWritten) {
    const std::string text(300, 'q');
    OutPacket out = makeDatagram(1, 2, 3, 4);
    out.writeInt(0xDEADBEEF).writeShort(0xFFFF).writeByte(0).writeString(text).writeString("");
    out.writeCString("end").writeByte(9);
    const Bytes bytes = testing::bytesOf(out);
    InPacket in(bytes.data(), bytes.size());
    uint32_t i = 0;
    uint16_t s = 0;
    uint8_t b = 1;
    std::string first;
    std::string second = "x";
    const char* third = nullptr;
    in.readInt(i).readShort(s).readByte(b).readString(first).readString(second);
    in.readCString(third);
    EXPECT_EQ(i, 0xDEADBEEFu);
    EXPECT_EQ(s, 0xFFFF);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(first, text);
    EXPECT_EQ(second, "");
    EXPECT_STREQ(third, "end");
    // The C string points into the received bytes, not a copy.
    EXPECT_GE(third, reinterpret_cast<const char*>(bytes.data()));
    EXPECT_LT(third, reinterpret_cast<const char*>(bytes.data() + bytes.size()));
    EXPECT_EQ(in.u8(), 9);
    EXPECT_EQ(in.unread(), 0u);
    EXPECT_EQ(in.u32(), 0u);
}

TEST(PeerPacket, PrefixHeaderAndBody) {
    PeerOutPacket out(0x0102, 0xA1B2C3D4);
    out.writeString("hi");
    out.setPrefix();
    const Bytes bytes = testing::bytesOf(out);
    EXPECT_EQ(bytes, (Bytes{0x00, 0x11,             // 17 bytes follow the prefix
                            0x00, 0x01,             // version 1
                            0x00, 0x00, 0x00, 0x00, // reserved
                            0x01, 0x02,             // command
                            0xA1, 0xB2, 0xC3, 0xD4, // sender
                            0x00, 0x03, 'h', 'i', 0x00}));
    EXPECT_EQ(out.command, 0x0102);

    PeerInPacket in(bytes.data() + kPeerPrefixSize, bytes.size() - kPeerPrefixSize);
    EXPECT_EQ(in.version(), PEER_PROTOCOL_VERSION);
    EXPECT_EQ(in.command(), 0x0102);
    EXPECT_EQ(in.senderId(), 0xA1B2C3D4u);
    EXPECT_EQ(in.unread(), 5u);
    EXPECT_EQ(in.text(), "hi");
}

TEST(PeerPacket, PrefixOfAFullPacket) {
    PeerOutPacket out(7, 1);
    const Bytes fill(kPacketCapacity, 0x33);
    out.writeBytes(fill.data(), kPacketCapacity - kPeerPrefixSize - kPeerHeaderSize);
    out.setPrefix();
    ASSERT_EQ(out.length(), kPacketCapacity);
    EXPECT_EQ(out.data()[0], 0x0F);
    EXPECT_EQ(out.data()[1], 0xFE); // 4094
}

TEST(PeerPacket, ShortPacketYieldsZeroHeaderFields) {
    const Bytes bytes(kPeerHeaderSize, 0xA5);
    for (std::size_t size : {0u, 3u, 8u, 11u}) {
        PeerInPacket in(bytes.data(), size);
        EXPECT_EQ(in.version(), 0) << size;
        EXPECT_EQ(in.command(), 0) << size;
        EXPECT_EQ(in.senderId(), 0u) << size;
        EXPECT_EQ(in.unread(), 0u) << size;
    }
}

} // namespace
} // namespace talmor

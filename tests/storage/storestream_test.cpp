#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "storage/storestream.h"

namespace talmor::storage {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(StoreStream, WritesLittleEndianIntegers) {
    StoreWriter stream;
    stream.u8(0xAB).u16(0x1234).u32(0xDEADBEEF);
    EXPECT_EQ(stream.bytes(), (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE}));
}

TEST(StoreStream, WritesTextWithCountIncludingTheNul) {
    StoreWriter stream;
    stream.text("ab").text("");
    EXPECT_EQ(stream.bytes(), (Bytes{3, 0, 'a', 'b', 0, 1, 0, 0}));
}

TEST(StoreStream, TextStopsAtItsFirstNul) {
    StoreWriter stream;
    stream.text(std::string("ab\0cd", 5));
    EXPECT_EQ(stream.bytes(), (Bytes{3, 0, 'a', 'b', 0}));
}

TEST(StoreStream, TextOf5000BytesIsWrittenEmptyAndAFollowingU8Lands) {
    StoreWriter stream;
    stream.u8(7).text(std::string(5000, 'x')).u8(9);
    EXPECT_EQ(stream.bytes(), (Bytes{7, 1, 0, 0, 9}));
}

// Each value that does not fit leaves the reader where it expects the next field.
TEST(StoreStream, NoFieldTakesThePlaceOfOneThatDidNotFit) {
    const std::string big(4090, 'x'); // 2 + 4090 + 1 = 4093 bytes, 3 left
    struct Case {
        const char* what;
        std::function<void(StoreWriter&)> write;
        std::size_t size;
        std::function<void(StoreReader&)> read;
    };
    const std::vector<Case> cases = {
        {"an integer is left out, smaller ones land",
         [](StoreWriter& w) { w.u32(0x01020304).u16(0x0506).u16(1).u8(7).u8(8); },
         kStoreStreamCapacity,
         [](StoreReader& r) {
             EXPECT_EQ(r.u32(), 0u);
             EXPECT_EQ(r.u16(), 0x0506);
             EXPECT_EQ(r.u16(), 0);
             EXPECT_EQ(r.u8(), 7);
             EXPECT_EQ(r.u8(), 0);
         }},
        {"a text is written empty", [](StoreWriter& w) { w.text("ab").u8(7); },
         kStoreStreamCapacity,
         [](StoreReader& r) {
             EXPECT_EQ(r.text(), "");
             EXPECT_EQ(r.u8(), 0);
         }},
        {"without room for the empty text the stream closes",
         [](StoreWriter& w) { w.u8(1).text("ab").u8(7).u8(8); }, 4094,
         [](StoreReader& r) {
             EXPECT_EQ(r.u8(), 1);
             EXPECT_EQ(r.text(), "");
             EXPECT_EQ(r.u8(), 0);
             EXPECT_EQ(r.u8(), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreWriter stream;
        stream.text(big);
        c.write(stream);
        EXPECT_EQ(stream.size(), c.size);
        const Bytes bytes = stream.bytes();
        StoreReader reader(bytes);
        EXPECT_EQ(reader.text(), big);
        c.read(reader);
        EXPECT_EQ(reader.remaining(), 0u);
    }
}

TEST(StoreStream, TextThatExactlyFillsTheBufferLands) {
    StoreWriter stream;
    stream.text(std::string(kStoreStreamCapacity - 3, 'y'));
    EXPECT_EQ(stream.size(), kStoreStreamCapacity);
    StoreWriter tooLong;
    tooLong.text(std::string(kStoreStreamCapacity - 2, 'y'));
    EXPECT_EQ(tooLong.bytes(), (Bytes{1, 0, 0}));
}

TEST(StoreStream, ReadsBackWhatWasWritten) {
    StoreWriter stream;
    stream.u8(1).u16(0xFFFE).u32(0x80000001).text("\xC4\xE3\xBA\xC3").text("").u8(2);
    const Bytes bytes = stream.bytes();
    StoreReader reader(bytes);
    EXPECT_EQ(reader.u8(), 1);
    EXPECT_EQ(reader.u16(), 0xFFFE);
    EXPECT_EQ(reader.u32(), 0x80000001u);
    EXPECT_EQ(reader.text(), "\xC4\xE3\xBA\xC3");
    EXPECT_EQ(reader.text(), "");
    EXPECT_EQ(reader.u8(), 2);
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(StoreStream, IntegerPastTheEndReadsZeroAndDoesNotMove) {
    const Bytes bytes{0x11, 0x22, 0x33};
    StoreReader reader(bytes);
    EXPECT_EQ(reader.u32(), 0u);
    EXPECT_EQ(reader.position(), 0u);
    EXPECT_EQ(reader.u16(), 0x2211);
    EXPECT_EQ(reader.u16(), 0);
    EXPECT_EQ(reader.position(), 2u);
    EXPECT_EQ(reader.u8(), 0x33);
    EXPECT_EQ(reader.u8(), 0);
    EXPECT_EQ(reader.position(), 3u);
}

TEST(StoreStream, TextWhoseCountRunsPastTheEndIsEmptyAndStopsBehindTheCount) {
    const Bytes bytes{10, 0, 'a', 0, 0x44};
    StoreReader reader(bytes);
    EXPECT_EQ(reader.text(), "");
    EXPECT_EQ(reader.position(), 2u);
    EXPECT_EQ(reader.u8(), 'a');
}

TEST(StoreStream, TextWithoutItsNulIsEmptyAndStopsBehindTheCount) {
    const Bytes bytes{2, 0, 'a', 'b', 7};
    StoreReader reader(bytes);
    EXPECT_EQ(reader.text(), "");
    EXPECT_EQ(reader.position(), 2u);
    EXPECT_EQ(reader.u16(), 'a' | ('b' << 8));
}

TEST(StoreStream, TextWithZeroCountOrCutCountIsEmpty) {
    const Bytes zero{0, 0, 5};
    StoreReader reader(zero);
    EXPECT_EQ(reader.text(), "");
    EXPECT_EQ(reader.position(), 2u);
    EXPECT_EQ(reader.u8(), 5);

    const Bytes cut{3};
    StoreReader cutReader(cut);
    EXPECT_EQ(cutReader.text(), "");
    EXPECT_EQ(cutReader.position(), 0u); // the count itself runs past the end
}

TEST(StoreStream, StoredTextWithInnerNulReadsUpToIt) {
    const Bytes bytes{5, 0, 'a', 0, 'b', 'c', 0, 9};
    StoreReader reader(bytes);
    EXPECT_EQ(reader.text(), "a");
    EXPECT_EQ(reader.u8(), 9);
}

TEST(StoreStream, EmptyValueReadsZerosAndEmptyTexts) {
    StoreReader reader(nullptr, 0);
    EXPECT_EQ(reader.u8(), 0);
    EXPECT_EQ(reader.u16(), 0);
    EXPECT_EQ(reader.u32(), 0u);
    EXPECT_EQ(reader.text(), "");
}

} // namespace
} // namespace talmor::storage

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/historystore.h"
#include "storage/userdb.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::FileExists;
using testing::TempFolder;
using Messages = std::vector<MessageRecord>;
using Bytes = std::vector<uint8_t>;

MessageRecord message(uint8_t kind, uint32_t peer, const std::string& text, uint32_t time = 1000) {
    MessageRecord m;
    m.kind = kind;
    m.flags = 1;
    m.peerId = peer;
    m.time = time;
    m.text = text;
    if (kind == 0) {
        m.font = {"\xCB\xCE\xCC\xE5", 10, 5, 0x00FF8040}; // 宋体
    }
    return m;
}

TEST(HistoryStore, EncodesKindZeroWithItsFont) {
    const StoreWriter stream = EncodeMessage(message(0, 0x01020304, "hi", 0x0A0B0C0D));
    EXPECT_EQ(stream.bytes(),
              (Bytes{0, 1, 4, 3,    2,    1,    0x0D, 0x0C, 0x0B, 0x0A, 3,    0,    'h',  'i',
                     0, 5, 0, 0xCB, 0xCE, 0xCC, 0xE5, 0,    10,   0x40, 0x80, 0xFF, 0x00, 5}));
}

TEST(HistoryStore, EncodesOtherKindsWithoutFont) {
    MessageRecord m = message(1, 7, "ok");
    m.font = {"face", 9, 1, 2};
    EXPECT_EQ(EncodeMessage(m).bytes(),
              (Bytes{1, 1, 7, 0, 0, 0, 0xE8, 3, 0, 0, 3, 0, 'o', 'k', 0}));
}

TEST(HistoryStore, ShortValueDecodesWithZerosAndEmptyTexts) {
    const Bytes bytes{0, 3, 9, 0};
    const MessageRecord m = DecodeMessage(bytes.data(), bytes.size());
    EXPECT_EQ(m.kind, 0);
    EXPECT_EQ(m.flags, 3);
    EXPECT_EQ(m.peerId, 0u); // only 2 bytes were left: reads 0 and stays
    EXPECT_EQ(m.time, 0u);
    EXPECT_EQ(m.text, "");
    EXPECT_EQ(m.font, MessageFont{});
}

TEST(HistoryStore, MessagesOfOnePeerLoadInTheOrderAppended) {
    TempFolder user;
    const MessageRecord first = message(0, 42, "first", 1);
    const MessageRecord second = message(1, 42, "second", 2);
    ASSERT_TRUE(AppendHistory(user.path(), first));
    ASSERT_TRUE(AppendHistory(user.path(), message(0, 43, "other peer")));
    ASSERT_TRUE(AppendHistory(user.path(), second));
    EXPECT_TRUE(FileExists(user.file("HistroyMessage.db")));

    Messages list;
    ASSERT_TRUE(LoadHistory(user.path(), 42, list, 0));
    EXPECT_EQ(list, (Messages{first, second}));
}

TEST(HistoryStore, KindsTwoToFiveAreFiledUnderKeyZero) {
    TempFolder user;
    for (uint8_t kind = 2; kind <= 5; ++kind) {
        ASSERT_TRUE(AppendHistory(user.path(), message(kind, 77, "kind " + std::to_string(kind))));
    }
    ASSERT_TRUE(AppendHistory(user.path(), message(6, 77, "kind 6")));
    Messages peer;
    ASSERT_TRUE(LoadHistory(user.path(), 77, peer, 0));
    ASSERT_EQ(peer.size(), 1u);
    EXPECT_EQ(peer[0].text, "kind 6");

    Messages zero;
    ASSERT_TRUE(LoadHistory(user.path(), 0, zero, 0));
    ASSERT_EQ(zero.size(), 4u);
    EXPECT_EQ(zero[1], message(3, 77, "kind 3")); // the peer id stays in the record
}

TEST(HistoryStore, KindThreeAloneIsNotFoundUnderThePeer) {
    TempFolder user;
    ASSERT_TRUE(AppendHistory(user.path(), message(3, 55, "system")));
    Messages list;
    EXPECT_FALSE(LoadHistory(user.path(), 55, list, 0));
    EXPECT_TRUE(list.empty());
    UserDB db;
    ASSERT_TRUE(db.open(user.file("HistroyMessage.db")));
    Bytes value;
    EXPECT_TRUE(db.read(0, value));
    EXPECT_FALSE(db.read(55, value));
}

TEST(HistoryStore, LoadReadsAtMostNAndAppendsToTheList) {
    TempFolder user;
    for (uint32_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(AppendHistory(user.path(), message(0, 9, std::to_string(i), i)));
    }
    Messages list{message(1, 1, "already there")};
    ASSERT_TRUE(LoadHistory(user.path(), 9, list, 3));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].text, "0");
    EXPECT_EQ(list[3].text, "2");

    Messages all;
    ASSERT_TRUE(LoadHistory(user.path(), 9, all, 0));
    EXPECT_EQ(all.size(), 5u);
    Messages more;
    ASSERT_TRUE(LoadHistory(user.path(), 9, more, 100));
    EXPECT_EQ(more.size(), 5u);
}

TEST(HistoryStore, LoadOfAKeyWithoutRecordsIsFalse) {
    TempFolder user;
    Messages list;
    EXPECT_FALSE(LoadHistory(user.path(), 1, list, 0));
    ASSERT_TRUE(AppendHistory(user.path(), message(0, 2, "x")));
    EXPECT_FALSE(LoadHistory(user.path(), 1, list, 0));
}

TEST(HistoryStore, DeleteRemovesTheEntryAtThatIndex) {
    TempFolder user;
    for (const char* text : {"a", "b", "c", "d"}) {
        ASSERT_TRUE(AppendHistory(user.path(), message(0, 12, text)));
    }
    ASSERT_TRUE(DeleteHistory(user.path(), 12, 2)); // the third entry
    Messages list;
    ASSERT_TRUE(LoadHistory(user.path(), 12, list, 0));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].text, "a");
    EXPECT_EQ(list[1].text, "b");
    EXPECT_EQ(list[2].text, "d");
    EXPECT_FALSE(DeleteHistory(user.path(), 12, 3));
    EXPECT_FALSE(DeleteHistory(user.path(), 13, 0));
}

TEST(HistoryStore, AFolderThatDoesNotExistFailsEveryOperation) {
    TempFolder user;
    const std::string missing = user.file("no/such/");
    Messages list;
    EXPECT_FALSE(AppendHistory(missing, message(0, 1, "x")));
    EXPECT_FALSE(LoadHistory(missing, 1, list, 0));
    EXPECT_FALSE(DeleteHistory(missing, 1, 0));
}

TEST(HistoryStore, ATextFileInPlaceOfTheDatabaseFailsWithoutHarm) {
    TempFolder user;
    testing::WriteFile(user.file("HistroyMessage.db"), std::string(5000, 'h'));
    Messages list;
    EXPECT_FALSE(AppendHistory(user.path(), message(0, 1, "x")));
    EXPECT_FALSE(LoadHistory(user.path(), 1, list, 0));
    EXPECT_FALSE(DeleteHistory(user.path(), 1, 0));
    EXPECT_EQ(testing::ReadFile(user.file("HistroyMessage.db")), std::string(5000, 'h'));
}

TEST(HistoryStore, AMessageTooLongForTheStreamLoadsEmptyWithItsOtherFieldsInPlace) {
    TempFolder user;
    MessageRecord big = message(0, 3, std::string(5000, 'z'));
    ASSERT_TRUE(AppendHistory(user.path(), big));
    Messages list;
    ASSERT_TRUE(LoadHistory(user.path(), 3, list, 0));
    ASSERT_EQ(list.size(), 1u);
    // The text that does not fit is stored empty; no field behind it moves into its place.
    EXPECT_EQ(list[0].text, "");
    EXPECT_EQ(list[0].font.face, big.font.face);
    EXPECT_EQ(list[0].font.size, big.font.size);
    EXPECT_EQ(list[0].font.colour, big.font.colour);
    EXPECT_EQ(list[0].peerId, big.peerId);
    EXPECT_EQ(list[0].time, big.time);
}

} // namespace
} // namespace talmor::storage

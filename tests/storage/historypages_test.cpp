// The history as the chat window's strip uses it: pages of the latest entries, deletion of the
// entry shown, and search.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/datafiles.h"
#include "storage/historystore.h"
#include "storage/userdb.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::TempFolder;
using Entries = std::vector<HistoryEntry>;

MessageRecord Text(uint32_t peer, const std::string& text) {
    MessageRecord m;
    m.peerId = peer;
    m.text = text;
    return m;
}

std::vector<std::string> Texts(const Entries& entries) {
    std::vector<std::string> texts;
    for (const HistoryEntry& entry : entries) {
        texts.push_back(entry.message.text);
    }
    return texts;
}

// 150 entries "m0" ... "m149" with peer 7, every third one also one with peer 8.
void Fill(const std::string& folder) {
    for (int i = 0; i < 150; ++i) {
        ASSERT_TRUE(AppendHistory(folder, Text(7, "m" + std::to_string(i))));
        if (i % 3 == 0) {
            ASSERT_TRUE(AppendHistory(folder, Text(8, "other" + std::to_string(i))));
        }
    }
}

TEST(HistoryPages, LatestPageThenOlderPagesInStoredOrder) {
    TempFolder user;
    Fill(user.path());
    Entries latest;
    ASSERT_TRUE(LoadLatestHistory(user.path(), 7, 0, 100, latest));
    ASSERT_EQ(latest.size(), 100u);
    EXPECT_EQ(latest.front().message.text, "m50");
    EXPECT_EQ(latest.back().message.text, "m149");

    Entries older;
    ASSERT_TRUE(LoadLatestHistory(user.path(), 7, latest.front().seq, 100, older));
    ASSERT_EQ(older.size(), 50u);
    EXPECT_EQ(older.front().message.text, "m0");
    EXPECT_EQ(older.back().message.text, "m49");

    Entries all;
    ASSERT_TRUE(LoadLatestHistory(user.path(), 7, 0, 0, all));
    EXPECT_EQ(all.size(), 150u);
}

TEST(HistoryPages, DeletingByNumberRemovesTheChosenEntryAfterLaterAppendsAndDeletes) {
    TempFolder user;
    Fill(user.path());
    Entries shown;
    ASSERT_TRUE(LoadLatestHistory(user.path(), 7, 0, 100, shown));
    // Meanwhile a new message and the deletion of an older one by its position.
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "new")));
    ASSERT_TRUE(DeleteHistory(user.path(), 7, 0));

    ASSERT_TRUE(DeleteHistoryEntry(user.path(), 7, shown[2].seq)); // "m52"
    EXPECT_FALSE(DeleteHistoryEntry(user.path(), 7, shown[2].seq));
    EXPECT_FALSE(DeleteHistoryEntry(user.path(), 8, shown[3].seq)); // not peer 8's entry

    Entries after;
    ASSERT_TRUE(LoadLatestHistory(user.path(), 7, 0, 0, after));
    const std::vector<std::string> texts = Texts(after);
    EXPECT_EQ(texts.size(), 149u);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "m52"), 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "m0"), 0);
    EXPECT_EQ(texts.back(), "new");
}

TEST(HistorySearch, FindsSubstringsOfOnePeerOrOfAll) {
    TempFolder user;
    Fill(user.path());
    // 你好世界 and 世界和平 in GBK.
    const std::string hello = "\xC4\xE3\xBA\xC3\xCA\xC0\xBD\xE7";
    const std::string peace = "\xCA\xC0\xBD\xE7\xBA\xCD\xC6\xBD";
    const std::string world = "\xCA\xC0\xBD\xE7"; // 世界
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, hello)));
    ASSERT_TRUE(AppendHistory(user.path(), Text(8, peace)));

    struct Case {
        std::string text;
        bool allPeers;
        std::vector<std::string> found;
    };
    const std::vector<Case> cases = {
        {world, false, {hello}},
        {world, true, {hello, peace}},
        {"\xCA\xC0", true, {hello, peace}}, // 世 alone: shorter than the index's words
        {"m14",
         false,
         {"m14", "m140", "m141", "m142", "m143", "m144", "m145", "m146", "m147", "m148", "m149"}},
        {"*", false, {}},
        {"other12", true, {"other12", "other120", "other123", "other126", "other129"}},
        {"other12", false, {}},
        {"", true, {}},
    };
    for (const Case& c : cases) {
        Entries found;
        ASSERT_TRUE(SearchHistory(user.path(), c.text, c.allPeers, 7, found)) << c.text;
        EXPECT_EQ(Texts(found), c.found) << c.text;
    }
    // A short word is found too (by a scan): "m1" is in m1, m10 ... m19, m100 ... m149.
    Entries shortWord;
    ASSERT_TRUE(SearchHistory(user.path(), "m1", false, 7, shortWord));
    EXPECT_EQ(shortWord.size(), 1u + 10u + 50u);
}

TEST(HistorySearch, AMatchNeverStartsInsideADoubleByteCharacter) {
    TempFolder user;
    // Two characters D5 F5 and C5 C1: the bytes F5 C5 form a character only when read from the
    // middle of the first one.
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "\xD5\xF5\xC5\xC1")));
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "a\xF5\xC5")));
    Entries found;
    ASSERT_TRUE(SearchHistory(user.path(), "\xF5\xC5", false, 7, found));
    EXPECT_EQ(Texts(found), std::vector<std::string>{"a\xF5\xC5"});
}

// An append leaves its text to the next search, which takes in every entry since the last one:
// found once each, in order, whatever was deleted in between (also the newest one indexed).
TEST(HistorySearch, ASearchTakesInWhatWasAppendedSinceTheLastOne) {
    TempFolder user;
    const auto search = [&] {
        Entries found;
        EXPECT_TRUE(SearchHistory(user.path(), "apple", false, 7, found));
        return found;
    };
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "apple one")));
    ASSERT_TRUE(AppendHistory(user.path(), Text(8, "apple of another peer")));
    EXPECT_EQ(Texts(search()), (std::vector<std::string>{"apple one"}));
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "apple two")));
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "apple three")));
    const Entries three = search();
    ASSERT_EQ(Texts(three), (std::vector<std::string>{"apple one", "apple two", "apple three"}));
    ASSERT_TRUE(DeleteHistoryEntry(user.path(), 7, three.back().seq));
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "apple four")));
    ASSERT_TRUE(AppendHistory(user.path(), Text(7, "pear")));
    EXPECT_EQ(Texts(search()), (std::vector<std::string>{"apple one", "apple two", "apple four"}));
    EXPECT_EQ(Texts(search()), (std::vector<std::string>{"apple one", "apple two", "apple four"}));
}

TEST(HistorySearch, DeletedEntriesAreNotFoundAndOldFilesAreIndexedOnFirstUse) {
    TempFolder user;
    const std::string path = JoinPath(user.path(), kHistoryFile);
    {
        // A history written before the index existed.
        UserDB db;
        ASSERT_TRUE(db.open(path));
        for (const char* text : {"alpha beta", "gamma", "beta gamma"}) {
            const StoreWriter stream = EncodeMessage(Text(7, text));
            ASSERT_TRUE(db.append(7, stream.data(), stream.size()));
        }
    }
    Entries found;
    ASSERT_TRUE(SearchHistory(user.path(), "beta", false, 7, found));
    ASSERT_EQ(Texts(found), (std::vector<std::string>{"alpha beta", "beta gamma"}));

    ASSERT_TRUE(DeleteHistoryEntry(user.path(), 7, found[0].seq));
    ASSERT_TRUE(DeleteHistory(user.path(), 7, 1)); // "beta gamma" by its position
    Entries after;
    ASSERT_TRUE(SearchHistory(user.path(), "gamma", false, 7, after));
    EXPECT_EQ(Texts(after), std::vector<std::string>{"gamma"});
}

} // namespace
} // namespace talmor::storage

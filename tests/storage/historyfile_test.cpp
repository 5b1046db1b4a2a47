// The history kept open for the console's appends: it shares the file with the strip's pages,
// deletions and searches, and never writes into a file that is no longer the one at its path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/datafiles.h"
#include "storage/historyfile.h"
#include "storage/historystore.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::TempFolder;

MessageRecord Text(uint32_t peer, const std::string& text) {
    MessageRecord m;
    m.peerId = peer;
    m.text = text;
    return m;
}

std::vector<std::string> Stored(const std::string& folder, uint32_t peer) {
    std::vector<MessageRecord> list;
    LoadHistory(folder, peer, list, 0);
    std::vector<std::string> texts;
    for (const MessageRecord& m : list) {
        texts.push_back(m.text);
    }
    return texts;
}

TEST(HistoryFile, AppendsMeetTheOtherHandlesOfTheFile) {
    TempFolder user;
    HistoryFile history;
    ASSERT_TRUE(history.append(user.path(), Text(7, "apple one")));
    ASSERT_TRUE(history.append(user.path(), Text(7, "pear")));
    std::vector<HistoryEntry> found;
    ASSERT_TRUE(SearchHistory(user.path(), "apple", false, 7, found));
    ASSERT_EQ(found.size(), 1u);
    ASSERT_TRUE(DeleteHistoryEntry(user.path(), 7, found[0].seq));
    // Written after a search indexed the file and a deletion changed it through other handles.
    ASSERT_TRUE(history.append(user.path(), Text(7, "apple two")));
    EXPECT_EQ(Stored(user.path(), 7), (std::vector<std::string>{"pear", "apple two"}));
    found.clear();
    ASSERT_TRUE(SearchHistory(user.path(), "apple", false, 7, found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].message.text, "apple two");
}

// What happened to the file at the path between two appends, and what the second append does.
TEST(HistoryFile, AFileRemovedOrReplacedIsOpenedAgainNotWrittenAsAGhost) {
    struct Case {
        const char* what;
        void (*change)(const std::string& file);
        bool secondStored;
    };
    const Case cases[] = {
        {"removed", [](const std::string& file) { std::filesystem::remove(file); }, true},
        {"replaced by a new history",
         [](const std::string& file) {
             std::filesystem::remove(file);
             ASSERT_TRUE(AppendHistory(std::filesystem::path(file).parent_path().string() + "/",
                                       Text(7, "other")));
         },
         true},
        {"replaced by a folder",
         [](const std::string& file) {
             std::filesystem::remove(file);
             std::filesystem::create_directory(file);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder user;
        const std::string file = JoinPath(user.path(), kHistoryFile);
        HistoryFile history;
        ASSERT_TRUE(history.append(user.path(), Text(7, "first")));
        c.change(file);
        EXPECT_EQ(history.append(user.path(), Text(7, "second")), c.secondStored);
        if (c.secondStored) {
            const std::vector<std::string> texts = Stored(user.path(), 7);
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back(), "second");
        } else {
            // Once the history can be written again, so can the file kept open.
            std::filesystem::remove(file);
            EXPECT_TRUE(history.append(user.path(), Text(7, "third")));
            EXPECT_EQ(Stored(user.path(), 7), std::vector<std::string>{"third"});
        }
    }
}

TEST(HistoryFile, FollowsTheOperatorsFolder) {
    TempFolder first;
    TempFolder second;
    HistoryFile history;
    ASSERT_TRUE(history.append(first.path(), Text(7, "to the first")));
    ASSERT_TRUE(history.append(second.path(), Text(7, "to the second")));
    EXPECT_EQ(Stored(first.path(), 7), std::vector<std::string>{"to the first"});
    EXPECT_EQ(Stored(second.path(), 7), std::vector<std::string>{"to the second"});
}

} // namespace
} // namespace talmor::storage

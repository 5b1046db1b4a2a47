// The checkpointer that syncs and folds a log on its own thread, as the chat history and the
// handling journal use it: what the writers committed reaches the database file without any of
// them asking, a large log is left to it while it runs, and a failure is reported.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "storage/datafiles.h"
#include "storage/historystore.h"
#include "storage/logcheckpointer.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using namespace std::chrono_literals;

MessageRecord Numbered(int n) {
    MessageRecord m;
    m.peerId = 7;
    m.time = static_cast<uint32_t>(n);
    m.text = "message " + std::to_string(n) + std::string(400, '.');
    return m;
}

long long LogBytes(const std::string& database) {
    struct stat log {};
    return ::stat((database + "-wal").c_str(), &log) == 0 ? log.st_size : 0;
}

// The entries of peer 7 that a copy of the database file alone (without its log) holds.
std::size_t EntriesInTheFileItself(const std::string& path) {
    testing::TempFolder copy;
    testing::WriteFile(JoinPath(copy.path(), kHistoryFile), testing::ReadFile(path));
    std::vector<HistoryEntry> entries;
    LoadLatestHistory(copy.path(), 7, 0, 0, entries);
    return entries.size();
}

TEST(LogCheckpointer, FoldsWhatWritersCommittedWithoutBeingAsked) {
    testing::TempFolder user;
    const std::string path = JoinPath(user.path(), kHistoryFile);
    ASSERT_TRUE(AppendHistory(user.path(), Numbered(0)));
    LogCheckpointer log(path, 20ms);
    EXPECT_TRUE(LogCheckpointer::Running(path));
    for (int n = 1; n < 50; ++n) {
        ASSERT_TRUE(AppendHistory(user.path(), Numbered(n)));
    }
    // Polled, not timed: the thread folds within its interval on an idle machine.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (EntriesInTheFileItself(path) < 50 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(EntriesInTheFileItself(path), 50u);
    EXPECT_FALSE(log.failing());
}

// Without a checkpointer, the handle that wrote folds a log grown beyond its bound when it
// closes (a disk sync on the caller's thread); while one runs, the log is left to it, and it
// folds everything when it stops.
TEST(LogCheckpointer, ALargeLogIsLeftToTheCheckpointerWhileItRuns) {
    testing::TempFolder user;
    const std::string path = JoinPath(user.path(), kHistoryFile);
    const auto fill = [&](int from) {
        for (int n = from; n < from + 400; ++n) {
            ASSERT_TRUE(AppendHistory(user.path(), Numbered(n)));
        }
    };
    fill(0);
    EXPECT_LT(LogBytes(path), 256 * 1024) << "folded at a close";
    {
        LogCheckpointer log(path, std::chrono::hours(1));
        fill(400);
        EXPECT_GT(LogBytes(path), 256 * 1024) << "left to the checkpointer";
        EXPECT_FALSE(LogCheckpointer::Running(user.file("other.db")));
    }
    EXPECT_FALSE(LogCheckpointer::Running(path));
    EXPECT_EQ(LogBytes(path), 0);
    EXPECT_EQ(EntriesInTheFileItself(path), 800u);
}

TEST(LogCheckpointer, AFailedCheckpointIsReportedAndARecoveryToo) {
    testing::TempFolder user;
    const std::string folder = user.file("later/");
    LogCheckpointer log(JoinPath(folder, kHistoryFile), std::chrono::hours(1));
    EXPECT_FALSE(log.foldNow()) << "no folder, no file";
    EXPECT_TRUE(log.failing());
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_TRUE(AppendHistory(folder, Numbered(1)));
    EXPECT_TRUE(log.foldNow());
    EXPECT_FALSE(log.failing());
}

} // namespace
} // namespace talmor::storage

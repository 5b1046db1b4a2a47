// A process killed (SIGKILL) in the middle of a stream of history or journal appends leaves a
// database that opens, passes SQLite's integrity check and holds every append that had returned.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "storage/calljournal.h"
#include "storage/historyfile.h"
#include "storage/historystore.h"
#include "storage/userdb.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

constexpr uint32_t kPeer = 4242;
constexpr uint32_t kFailed = 0xFFFFFFFF;

MessageRecord numbered(uint32_t n) {
    MessageRecord m;
    m.kind = 0;
    m.flags = 1;
    m.peerId = kPeer;
    m.time = n;
    m.text = "message " + std::to_string(n) + std::string(n % 200, '.');
    m.font = {"face", 9, 1, n};
    return m;
}

// The child: appends numbered messages for ever, as the console does (the file kept open, its
// checkpointer syncing the log beside), and reports each number once its append has returned.
[[noreturn]] void appendForEver(const std::string& folder, uint32_t first, int report) {
    HistoryFile history;
    for (uint32_t n = first;; ++n) {
        const uint32_t said = history.append(folder, numbered(n)) ? n : kFailed;
        if (::write(report, &said, sizeof said) != static_cast<ssize_t>(sizeof said)) {
            ::_exit(2);
        }
    }
}

// Kills and reaps the child when a failed assertion leaves the test early.
class ChildGuard {
public:
    explicit ChildGuard(pid_t pid) : pid_(pid) {}
    ~ChildGuard() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildGuard(const ChildGuard&) = delete;
    ChildGuard& operator=(const ChildGuard&) = delete;
    pid_t release() { return std::exchange(pid_, -1); }

private:
    pid_t pid_;
};

std::string integrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

TEST(HistoryCrash, SigkillMidStreamKeepsEveryReturnedAppend) {
    testing::TempFolder user;
    std::mt19937 random(20261210);
    uint32_t next = 0;
    std::vector<uint32_t> reported; // over all rounds
    for (int round = 0; round < 6; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            appendForEver(user.path(), next, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        ChildGuard guard(child);

        // Let the child get well into its stream, then kill it at a varying moment.
        const std::size_t wanted = 40 + random() % 80;
        std::size_t thisRound = 0;
        uint32_t n = 0;
        while (thisRound < wanted && ::read(pipeEnds[0], &n, sizeof n) == sizeof n) {
            ASSERT_NE(n, kFailed) << "an append failed in the child";
            reported.push_back(n);
            ++thisRound;
        }
        ASSERT_EQ(thisRound, wanted) << "the child stopped early";
        const auto spinUntil = random() % 3000;
        for (volatile unsigned spin = 0; spin < spinUntil * 100; ++spin) {
        }
        ASSERT_EQ(::kill(guard.release(), SIGKILL), 0);
        // Numbers written before the kill still count: their appends had returned.
        while (::read(pipeEnds[0], &n, sizeof n) == sizeof n) {
            ASSERT_NE(n, kFailed);
            reported.push_back(n);
        }
        ::close(pipeEnds[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        // The parent opens the database the child left.
        ASSERT_EQ(integrityCheck(user.file("HistroyMessage.db")), "ok") << "round " << round;
        std::vector<MessageRecord> stored;
        ASSERT_TRUE(LoadHistory(user.path(), kPeer, stored, 0));
        // Every reported append is there, in order; at most one more (the append in flight when
        // the child died may have committed without being reported).
        ASSERT_GE(stored.size(), reported.size());
        ASSERT_LE(stored.size(), reported.size() + 1);
        for (std::size_t i = 0; i < reported.size(); ++i) {
            ASSERT_EQ(stored[i], numbered(reported[i])) << "round " << round << " entry " << i;
        }
        if (stored.size() > reported.size()) {
            ASSERT_EQ(stored.back(), numbered(reported.back() + 1));
            reported.push_back(reported.back() + 1);
        }
        next = reported.back() + 1;
    }
    // And the database goes on working after the crashes.
    ASSERT_TRUE(AppendHistory(user.path(), numbered(next)));
    std::vector<MessageRecord> stored;
    ASSERT_TRUE(LoadHistory(user.path(), kPeer, stored, 0));
    EXPECT_EQ(stored.size(), reported.size() + 1);
}

JournalEntry journalNumbered(uint32_t n) {
    return JournalEntry{1'765'000'000'000 + n,    n, 2001, "caller", 1, JournalStep::Taken,
                        std::string(n % 300, 'r')};
}

TEST(JournalCrash, SigkillMidStreamKeepsEveryReturnedAppend) {
    testing::TempFolder user;
    const std::string path = user.file(kCallJournalFile);
    std::vector<uint32_t> reported;
    uint32_t next = 0;
    for (int round = 0; round < 4; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            CallJournal journal;
            const bool opened = journal.open(path);
            for (uint32_t n = next;; ++n) {
                // Flushed now and then, as the console does, so the log is folded in mid-stream.
                const bool stored = opened && journal.append(journalNumbered(n)) &&
                                    (n % 50 != 0 || journal.flush());
                const uint32_t said = stored ? n : kFailed;
                if (::write(pipeEnds[1], &said, sizeof said) != static_cast<ssize_t>(sizeof said)) {
                    ::_exit(2);
                }
            }
        }
        ::close(pipeEnds[1]);
        ChildGuard guard(child);
        std::size_t thisRound = 0;
        uint32_t n = 0;
        while (thisRound < 200 + 150 * static_cast<std::size_t>(round) &&
               ::read(pipeEnds[0], &n, sizeof n) == sizeof n) {
            ASSERT_NE(n, kFailed) << "an append failed in the child";
            reported.push_back(n);
            ++thisRound;
        }
        ASSERT_EQ(::kill(guard.release(), SIGKILL), 0);
        while (::read(pipeEnds[0], &n, sizeof n) == sizeof n) {
            ASSERT_NE(n, kFailed);
            reported.push_back(n);
        }
        ::close(pipeEnds[0]);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);

        ASSERT_EQ(integrityCheck(path), "ok") << "round " << round;
        CallJournal journal;
        ASSERT_TRUE(journal.open(path));
        std::vector<JournalEntry> stored;
        ASSERT_TRUE(journal.query({}, stored));
        ASSERT_GE(stored.size(), reported.size());
        ASSERT_LE(stored.size(), reported.size() + 1);
        for (std::size_t i = 0; i < reported.size(); ++i) {
            ASSERT_EQ(stored[i], journalNumbered(reported[i])) << "round " << round;
        }
        if (stored.size() > reported.size()) {
            reported.push_back(reported.back() + 1);
        }
        next = reported.back() + 1;
    }
}

} // namespace
} // namespace talmor::storage

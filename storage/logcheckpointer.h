#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace talmor::storage {

// Folds the write-ahead log of one database file into the file, about once an interval, on a
// thread of its own with a connection of its own.
//
// Why a thread: the writers of such a file (the handling journal, the chat history) commit into
// the log without a disk sync, so a commit costs a write to the operating system and survives a
// crash of the process at once. What makes the entries survive a crash of the machine, and keeps
// the file whole through one, are the syncs of the checkpoint: the log before it is copied, the
// file after. A sync takes milliseconds on an idle disk and a hundred on a busy one; on the
// console's one event loop that is a stall in the middle of an SOS storm. Here the thread shares
// nothing with the writers but the file, under SQLite's own locks: a passive checkpoint never
// takes the writers' lock, so they never wait for it.
//
// While a checkpointer runs for a file, the data files leave its log to it (Running). It folds
// what is left when it stops.
class LogCheckpointer {
public:
    explicit LogCheckpointer(std::string path,
                             std::chrono::milliseconds interval = std::chrono::seconds(1));
    ~LogCheckpointer();
    LogCheckpointer(const LogCheckpointer&) = delete;
    LogCheckpointer& operator=(const LogCheckpointer&) = delete;

    const std::string& path() const { return path_; }
    // Whether the last checkpoint failed (the disk full, the file gone or damaged). A
    // checkpoint that meets another one at work does not count.
    bool failing() const { return failing_.load(); }
    // Runs a checkpoint now and waits for it: what was committed before the call is then in the
    // file itself. For tests and tools, which may wait; false when it failed.
    bool foldNow();

    // Whether a checkpointer runs for the database at `path` in this process.
    static bool Running(const std::string& path);

private:
    void run();

    const std::string path_;
    const std::chrono::milliseconds interval_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    bool stop_ = false;
    // Rounds asked for by foldNow, and the last of them a completed round served.
    uint64_t requested_ = 0;
    uint64_t completed_ = 0;
    std::atomic<bool> failing_{false};
    std::thread thread_;
};

} // namespace talmor::storage

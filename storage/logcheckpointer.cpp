#include "storage/logcheckpointer.h"

#include <set>

#include <sqlite3.h>

#include "storage/owndatabase.h"

namespace talmor::storage {

namespace {

// The thread may wait for a writer's moment of recovery; the writers never wait for it.
constexpr int kBusyTimeoutMs = 1000;

std::mutex gRunningMutex;

// Never destroyed: a checkpointer that lives in a static of its own may stop at the exit of the
// process after statics made later than it were gone.
std::multiset<std::string>& RunningPaths() {
    static auto* paths = new std::multiset<std::string>;
    return *paths;
}

// One passive checkpoint on `db` (opened when it is not), which syncs the log before it copies
// it and the file after. False when it failed; `db` is then closed, to be opened anew.
bool Checkpoint(const std::string& path, sqlite3*& db) {
    if (db == nullptr) {
        db = OpenOwnDatabase(path);
        if (db == nullptr) {
            return false;
        }
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // The checkpoint syncs by this connection's level: never skip them.
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    }
    const int result =
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (result == SQLITE_OK || result == SQLITE_BUSY) {
        return true; // busy: another checkpoint is at work on the same log
    }
    sqlite3_close_v2(db);
    db = nullptr;
    return false;
}

} // namespace

LogCheckpointer::LogCheckpointer(std::string path, std::chrono::milliseconds interval)
    : path_(std::move(path)), interval_(interval) {
    {
        const std::lock_guard<std::mutex> lock(gRunningMutex);
        RunningPaths().insert(path_);
    }
    thread_ = std::thread([this] { run(); });
}

LogCheckpointer::~LogCheckpointer() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    const std::lock_guard<std::mutex> lock(gRunningMutex);
    RunningPaths().erase(RunningPaths().find(path_));
}

bool LogCheckpointer::foldNow() {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t mine = ++requested_;
    wake_.notify_one();
    done_.wait(lock, [&] { return completed_ >= mine; });
    return !failing_;
}

bool LogCheckpointer::Running(const std::string& path) {
    const std::lock_guard<std::mutex> lock(gRunningMutex);
    return RunningPaths().count(path) > 0;
}

void LogCheckpointer::run() {
    sqlite3* db = nullptr;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, interval_, [this] { return stop_ || requested_ > completed_; });
        // A round that starts now serves every request made so far.
        const uint64_t serving = requested_;
        const bool last = stop_;
        lock.unlock();
        failing_ = !Checkpoint(path_, db);
        lock.lock();
        completed_ = serving;
        done_.notify_all();
        if (last) {
            break;
        }
    }
    // The last connection to close folds in what a writer added since and removes the log.
    sqlite3_close_v2(db);
}

} // namespace talmor::storage

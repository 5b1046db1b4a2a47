// History store speed, each figure beside the same operation done as plain SQLite in the same
// run: a durable append of one message, and loading one peer's 100 entries out of a history of
// 100,000 messages.
//
// The files go to a fresh folder, removed at the end, under $TALMOR_STORAGE_BENCH_FOLDER, else
// under /var/tmp (not /tmp, which is often a RAM file system where a disk sync costs nothing).
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "storage/datafiles.h"
#include "storage/historyfile.h"
#include "storage/historystore.h"
#include "storage/userdb.h"
#include "support/tempfolder.h"

namespace {

using namespace talmor::storage;
using talmor::MessageRecord;

constexpr uint32_t kHistorySize = 100000;
constexpr uint32_t kPeers = 1000; // 100 messages each
constexpr std::size_t kLoadCount = 100;

std::string benchBase() {
    const char* base = std::getenv("TALMOR_STORAGE_BENCH_FOLDER");
    return base != nullptr && *base != '\0' ? base : "/var/tmp";
}

testing::TempFolder& folder() {
    static testing::TempFolder instance(benchBase());
    return instance;
}

MessageRecord chatMessage(uint32_t peer, uint32_t n) {
    MessageRecord m;
    m.kind = 0;
    m.flags = 1;
    m.peerId = peer;
    m.time = 1700000000 + n;
    // About 40 bytes of GBK text, as a short chat line is.
    m.text = "\xC4\xE3\xBA\xC3\xA3\xAC\xCE\xD2\xCF\xD6\xD4\xDA\xD3\xD0\xCA\xC2 message " +
             std::to_string(n);
    m.font = {"\xCB\xCE\xCC\xE5", 10, 0, 0x00000000};
    return m;
}

sqlite3* openPlain(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE IF NOT EXISTS messages(id INTEGER PRIMARY KEY,"
                     " peer INTEGER NOT NULL, body BLOB NOT NULL);"
                     "CREATE INDEX IF NOT EXISTS messages_by_peer ON messages(peer);",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "plain SQLite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
    return db;
}

// ---- durable append ----

// As the console appends: the history kept open, its checkpointer syncing the log beside.
void BM_AppendHistory(benchmark::State& state) {
    const std::string user = folder().file("append/");
    std::filesystem::create_directories(user);
    HistoryFile history;
    uint32_t n = 0;
    for (auto _ : state) {
        if (!history.append(user, chatMessage(1 + n % kPeers, n))) {
            state.SkipWithError("append failed");
            break;
        }
        ++n;
    }
}

// The same message bytes inserted on a connection that stays open, with the same journal (WAL)
// and the same durability (synchronous=FULL).
void BM_PlainSqliteInsert(benchmark::State& state) {
    sqlite3* db = openPlain(folder().file("plain-insert.db"));
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO messages(peer, body) VALUES(?1, ?2)", -1, &insert, nullptr);
    uint32_t n = 0;
    for (auto _ : state) {
        const StoreWriter stream = EncodeMessage(chatMessage(1 + n % kPeers, n));
        sqlite3_bind_int64(insert, 1, 1 + n % kPeers);
        sqlite3_bind_blob(insert, 2, stream.data(), static_cast<int>(stream.size()), SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            state.SkipWithError("insert failed");
            break;
        }
        sqlite3_reset(insert);
        ++n;
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

// The plain insert again, but opening and closing the connection around each insert as the data
// files do (no file stays open): what that lifecycle costs by itself.
void BM_PlainSqliteInsertOpenClose(benchmark::State& state) {
    const std::string path = folder().file("plain-insert-open-close.db");
    sqlite3_close(openPlain(path));
    uint32_t n = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO messages(peer, body) VALUES(?1, ?2)", -1, &insert,
                           nullptr);
        const StoreWriter stream = EncodeMessage(chatMessage(1 + n % kPeers, n));
        sqlite3_bind_int64(insert, 1, 1 + n % kPeers);
        sqlite3_bind_blob(insert, 2, stream.data(), static_cast<int>(stream.size()), SQLITE_STATIC);
        const bool done = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_finalize(insert);
        sqlite3_close(db);
        if (!done) {
            state.SkipWithError("insert failed");
            break;
        }
        ++n;
    }
}

// ---- loading 100 entries of one peer out of 100,000 ----

// The same 100,000 messages, in the same shuffled order, into both databases.
std::vector<uint32_t> shuffledPeers() {
    std::vector<uint32_t> peers;
    peers.reserve(kHistorySize);
    for (uint32_t i = 0; i < kHistorySize; ++i) {
        peers.push_back(1 + i % kPeers);
    }
    std::shuffle(peers.begin(), peers.end(), std::mt19937(1218));
    return peers;
}

const std::string& bigHistoryFolder() {
    static const std::string user = [] {
        const std::string path = folder().file("load/");
        std::filesystem::create_directories(path);
        UserDB db;
        const std::vector<uint32_t> peers = shuffledPeers();
        if (!db.open(JoinPath(path, kHistoryFile), UserDB::Sync::ByCheckpoint) || !db.begin()) {
            std::abort();
        }
        for (uint32_t i = 0; i < kHistorySize; ++i) {
            const MessageRecord m = chatMessage(peers[i], i);
            const StoreWriter stream = EncodeMessage(m);
            db.append(HistoryKey(m), stream.data(), stream.size());
        }
        if (!db.commit()) {
            std::abort();
        }
        return path;
    }();
    return user;
}

const std::string& bigPlainDatabase() {
    static const std::string path = [] {
        const std::string file = folder().file("plain-select.db");
        sqlite3* db = openPlain(file);
        const std::vector<uint32_t> peers = shuffledPeers();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO messages(peer, body) VALUES(?1, ?2)", -1, &insert,
                           nullptr);
        for (uint32_t i = 0; i < kHistorySize; ++i) {
            const StoreWriter stream = EncodeMessage(chatMessage(peers[i], i));
            sqlite3_bind_int64(insert, 1, peers[i]);
            sqlite3_bind_blob(insert, 2, stream.data(), static_cast<int>(stream.size()),
                              SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

void BM_LoadHistory100(benchmark::State& state) {
    const std::string& user = bigHistoryFolder();
    uint32_t n = 0;
    for (auto _ : state) {
        std::vector<MessageRecord> list;
        if (!LoadHistory(user, 1 + n++ % kPeers, list, kLoadCount) || list.size() != kLoadCount) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(list.data());
    }
}

// The same 100 rows selected on a connection that stays open, decoded the same way.
void BM_PlainSqliteSelect100(benchmark::State& state) {
    sqlite3* db = openPlain(bigPlainDatabase());
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT body FROM messages WHERE peer=?1 ORDER BY id LIMIT ?2", -1,
                       &select, nullptr);
    uint32_t n = 0;
    for (auto _ : state) {
        std::vector<MessageRecord> list;
        sqlite3_bind_int64(select, 1, 1 + n++ % kPeers);
        sqlite3_bind_int64(select, 2, kLoadCount);
        while (sqlite3_step(select) == SQLITE_ROW) {
            list.push_back(
                DecodeMessage(static_cast<const uint8_t*>(sqlite3_column_blob(select, 0)),
                              static_cast<std::size_t>(sqlite3_column_bytes(select, 0))));
        }
        sqlite3_reset(select);
        if (list.size() != kLoadCount) {
            state.SkipWithError("select failed");
            break;
        }
        benchmark::DoNotOptimize(list.data());
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

BENCHMARK(BM_AppendHistory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSqliteInsert)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSqliteInsertOpenClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadHistory100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSqliteSelect100)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's mean time per operation for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                microseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> microseconds;
};

void printLine(const SummaryReporter& r, const char* what, const char* name, const char* reference,
               double goal) {
    const auto a = r.microseconds.find(name);
    const auto b = r.microseconds.find(reference);
    if (a == r.microseconds.end() || b == r.microseconds.end()) {
        return;
    }
    std::printf("%-36s %8.1f us   %-32s %8.1f us   ratio %5.2f", what, a->second, reference,
                b->second, a->second / b->second);
    if (goal > 0) {
        std::printf("   goal < %.0f us: %s", goal, a->second < goal ? "met" : "MISSED");
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nsame-run summary (files under %s)\n", folder().path().c_str());
    printLine(reporter, "durable append of 1 message", "BM_AppendHistory", "BM_PlainSqliteInsert",
              100);
    printLine(reporter, "durable append of 1 message", "BM_AppendHistory",
              "BM_PlainSqliteInsertOpenClose", 0);
    printLine(reporter, "load 100 of a 100,000 history", "BM_LoadHistory100",
              "BM_PlainSqliteSelect100", 5000);
    benchmark::Shutdown();
    return 0;
}

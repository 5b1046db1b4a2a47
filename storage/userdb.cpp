#include "storage/userdb.h"

#include <limits>

#include <sys/stat.h>

#include <sqlite3.h>

#include "storage/logcheckpointer.h"
#include "storage/owndatabase.h"
#include "storage/sqlitestatement.h"

namespace talmor::storage {

namespace {

// Stored in the header of every database we create; anything else is a foreign file.
constexpr int kApplicationId = 0x544C4D44; // "TLMD"

constexpr int kBusyTimeoutMs = 2000;

// The write-ahead log is folded into the database file (and emptied) when a handle that wrote
// closes and the log has grown beyond this size.
constexpr off_t kCheckpointLogBytes = 128 * 1024;

} // namespace

UserDB::~UserDB() {
    close();
}

// How a handle works, for speed: every operation of the data files opens and closes its file,
// so a handle lives for one operation only. A plain WAL connection would then fold
// the log into the database file at each close, costing four or five disk syncs per append.
// Instead:
// - the connection takes the file in exclusive locking mode: it keeps the WAL index in its own
//   memory (no -shm file) and rebuilds it from the log at open, which is cheap while the log is
//   small;
// - closing does not fold the log in (SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE), except when the log has
//   grown beyond kCheckpointLogBytes: then a TRUNCATE checkpoint copies it into the database
//   file, syncs that and empties the log.
// An append thus costs one sync of the log (synchronous=FULL) and, on the first sync of a
// connection, one of the folder; a committed record is in the log on disk, and SQLite's recovery
// at the next open finds it whatever happened to the process in between.
// A Sync::ByCheckpoint file differs in two points: it is not held exclusively (its checkpointer
// has a connection of its own, and the log's index lives in the shared -shm file), and a commit
// is not synced; when its checkpointer runs, closing leaves the log to it whatever its size.
bool UserDB::open(const std::string& path, Sync sync) {
    close();
    sqlite3* db = OpenOwnDatabase(path);
    if (db == nullptr) {
        return false;
    }
    db_ = db;
    path_ = path;
    wrote_ = false;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // The locking mode must be set before the file is first read. A file synced by its
    // checkpointer shares the log's index with the checkpointer's connection, and never folds
    // the log in at a commit.
    const char* settings = sync == Sync::EachCommit
                               ? "PRAGMA locking_mode=EXCLUSIVE; PRAGMA synchronous=FULL"
                               : "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0";
    if (!execute(settings) || !initialise()) {
        close();
        return false;
    }
    return true;
}

void UserDB::close() {
    if (db_ == nullptr) {
        return;
    }
    struct stat log {};
    if (wrote_ && ::stat((path_ + "-wal").c_str(), &log) == 0 &&
        log.st_size > kCheckpointLogBytes && !LogCheckpointer::Running(path_)) {
        sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    wrote_ = false;
    textIndex_ = -1;
}

bool UserDB::execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Checks that the file is one of ours; makes a new (empty) file one of ours.
bool UserDB::initialise() {
    int applicationId = 0;
    if (!queryInt("PRAGMA application_id", applicationId)) {
        return false; // not a database, or a damaged header
    }
    if (applicationId == kApplicationId) {
        return true;
    }
    int objects = 0;
    if (applicationId != 0 || !queryInt("SELECT count(*) FROM sqlite_schema", objects) ||
        objects != 0) {
        return false; // somebody else's database
    }
    // The journal mode is kept in the file; it cannot change inside a transaction.
    {
        Statement wal(db_, "PRAGMA journal_mode=WAL");
        if (!wal || sqlite3_step(wal.get()) != SQLITE_ROW ||
            sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(wal.get(), 0)),
                            "wal") != 0) {
            return false;
        }
    }
    // Records keep their order per key through the rowid, which only grows: a new row gets a
    // rowid above every row present.
    if (!execute("BEGIN IMMEDIATE")) {
        return false;
    }
    const bool made = execute("CREATE TABLE IF NOT EXISTS records("
                              "seq INTEGER PRIMARY KEY, key INTEGER NOT NULL, value BLOB NOT NULL);"
                              "CREATE INDEX IF NOT EXISTS records_by_key ON records(key);") &&
                      execute(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
    if (!made) {
        execute("ROLLBACK");
        return false;
    }
    wrote_ = true;
    return execute("COMMIT");
}

bool UserDB::queryInt(const char* sql, int& value) {
    Statement query(db_, sql);
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW) {
        return false;
    }
    value = sqlite3_column_int(query.get(), 0);
    return true;
}

bool UserDB::read(uint32_t key, std::vector<uint8_t>& value) {
    if (db_ == nullptr) {
        return false;
    }
    Statement select(db_, "SELECT value FROM records WHERE key=?1 ORDER BY seq LIMIT 1");
    if (!select || !select.bind(1, key) || sqlite3_step(select.get()) != SQLITE_ROW) {
        return false;
    }
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(select.get(), 0));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(select.get(), 0));
    value.assign(data, data + size);
    return true;
}

bool UserDB::replace(uint32_t key, const void* data, std::size_t size) {
    // A savepoint works on its own and inside begin/commit alike.
    if (db_ == nullptr || !execute("SAVEPOINT replace_record")) {
        return false;
    }
    Statement remove(db_, "DELETE FROM records WHERE key=?1");
    Statement insert(db_, "INSERT INTO records(key, value) VALUES(?1, ?2)");
    const bool done = remove && insert && remove.bind(1, key) && remove.run() &&
                      insert.bind(1, key) && insert.bindBlob(2, data, size) && insert.run();
    if (!done) {
        execute("ROLLBACK TO replace_record");
        execute("RELEASE replace_record");
        return false;
    }
    wrote_ = true;
    return execute("RELEASE replace_record");
}

bool UserDB::append(uint32_t key, const void* data, std::size_t size) {
    if (db_ == nullptr) {
        return false;
    }
    Statement insert(db_, "INSERT INTO records(key, value) VALUES(?1, ?2)");
    wrote_ = true;
    if (!insert || !insert.bind(1, key) || !insert.bindBlob(2, data, size) || !insert.run()) {
        return false;
    }
    lastSeq_ = sqlite3_last_insert_rowid(db_);
    return true;
}

bool UserDB::walk(uint32_t key, const Visitor& visit) {
    if (db_ == nullptr) {
        return false;
    }
    Statement select(db_, "SELECT value FROM records WHERE key=?1 ORDER BY seq");
    if (!select || !select.bind(1, key)) {
        return false;
    }
    for (;;) {
        const int rc = sqlite3_step(select.get());
        if (rc == SQLITE_DONE) {
            return true;
        }
        if (rc != SQLITE_ROW) {
            return false;
        }
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(select.get(), 0));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(select.get(), 0));
        if (!visit(data, size)) {
            return true;
        }
    }
}

bool UserDB::begin() {
    return db_ != nullptr && execute("BEGIN IMMEDIATE");
}

bool UserDB::commit() {
    return db_ != nullptr && execute("COMMIT");
}

bool UserDB::deleteAt(uint32_t key, std::size_t index) {
    if (db_ == nullptr ||
        index > static_cast<std::size_t>(std::numeric_limits<sqlite3_int64>::max())) {
        return false;
    }
    wrote_ = true;
    sqlite3_int64 seq = 0;
    {
        Statement select(db_,
                         "SELECT seq FROM records WHERE key=?1 ORDER BY seq LIMIT 1 OFFSET ?2");
        if (!select || !select.bind(1, key) ||
            sqlite3_bind_int64(select.get(), 2, static_cast<sqlite3_int64>(index)) != SQLITE_OK ||
            sqlite3_step(select.get()) != SQLITE_ROW) {
            return false;
        }
        seq = sqlite3_column_int64(select.get(), 0);
    }
    return deleteSeq(key, seq);
}

} // namespace talmor::storage

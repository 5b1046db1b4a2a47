#include "storage/calljournal.h"

#include <sqlite3.h>

#include "storage/logcheckpointer.h"
#include "storage/owndatabase.h"
#include "storage/sqlitestatement.h"

namespace talmor::storage {

namespace {

// Stored in the header of every journal; any other file is refused.
constexpr int kJournalApplicationId = 0x544C4D4A; // "TLMJ"

// The schema of a new journal. Updates and deletions are refused by the file itself, so the
// journal stays append-only whatever code reaches it.
// Every append is a transaction of its own that adds one frame per changed page to the log:
// small pages, no index and no AUTOINCREMENT bookkeeping keep that to one small frame, and the
// rowid still only grows, as nothing is ever deleted. The journal window's filters scan the
// table, which takes milliseconds for a year of calls.
constexpr const char* kSchema =
    "PRAGMA page_size=1024;"
    "PRAGMA journal_mode=WAL;"
    "CREATE TABLE journal(time_ms INTEGER NOT NULL, call_id INTEGER NOT NULL,"
    " caller_id INTEGER NOT NULL, caller_name BLOB NOT NULL, category INTEGER NOT NULL,"
    " step INTEGER NOT NULL, detail BLOB NOT NULL);"
    "CREATE TRIGGER journal_no_update BEFORE UPDATE ON journal"
    " BEGIN SELECT RAISE(ABORT, 'append-only'); END;"
    "CREATE TRIGGER journal_no_delete BEFORE DELETE ON journal"
    " BEGIN SELECT RAISE(ABORT, 'append-only'); END;"
    "PRAGMA application_id=1414286666;";
static_assert(kJournalApplicationId == 1414286666, "the schema names the same id");

bool AllDigits(const std::string& text) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace

bool JournalEntry::operator==(const JournalEntry& other) const {
    return timeMs == other.timeMs && callId == other.callId && callerId == other.callerId &&
           callerName == other.callerName && category == other.category && step == other.step &&
           detail == other.detail;
}

CallJournal::~CallJournal() {
    close();
}

bool CallJournal::open(const std::string& path) {
    close();
    sqlite3* db = OpenOwnDatabase(path);
    if (db == nullptr) {
        return false;
    }
    // Held by another process, the journal fails at once instead of holding the console.
    sqlite3_busy_timeout(db, 0);
    // The log is written at every commit (so a killed process loses nothing) and never synced
    // here: the checkpointer syncs and folds it in on its own thread, through a connection of its
    // own, which is why the file is not held exclusively.
    const bool ready = sqlite3_exec(db, "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0",
                                    nullptr, nullptr, nullptr) == SQLITE_OK;
    int applicationId = -1;
    int objects = -1;
    {
        Statement id(db, "PRAGMA application_id");
        if (ready && id && sqlite3_step(id.get()) == SQLITE_ROW) {
            applicationId = static_cast<int>(id.integer(0));
        }
        Statement count(db, "SELECT count(*) FROM sqlite_schema");
        if (applicationId == 0 && count && sqlite3_step(count.get()) == SQLITE_ROW) {
            objects = static_cast<int>(count.integer(0));
        }
    }
    bool ours = applicationId == kJournalApplicationId;
    if (applicationId == 0 && objects == 0) {
        ours = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!ours) {
        sqlite3_close_v2(db);
        return false;
    }
    db_ = db;
    log_ = std::make_unique<LogCheckpointer>(path);
    return true;
}

void CallJournal::close() {
    sqlite3_finalize(insert_);
    insert_ = nullptr;
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    // Folds in what is left, then stops.
    log_.reset();
}

bool CallJournal::append(const JournalEntry& entry) {
    return append(&entry, 1);
}

bool CallJournal::append(const JournalEntry* entries, std::size_t count) {
    if (db_ == nullptr) {
        return false;
    }
    if (count == 1) {
        return insert(entries[0]);
    }
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!insert(entries[i])) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool CallJournal::insert(const JournalEntry& entry) {
    if (insert_ == nullptr &&
        sqlite3_prepare_v3(db_,
                           "INSERT INTO journal(time_ms, call_id, caller_id, caller_name,"
                           " category, step, detail) VALUES(?, ?, ?, ?, ?, ?, ?)",
                           -1, SQLITE_PREPARE_PERSISTENT, &insert_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        return false;
    }
    sqlite3_reset(insert_);
    const auto text = [this](int index, const std::string& bytes) {
        return sqlite3_bind_blob64(insert_, index, bytes.data(),
                                   static_cast<sqlite3_uint64>(bytes.size()),
                                   SQLITE_STATIC) == SQLITE_OK;
    };
    const auto number = [this](int index, int64_t value) {
        return sqlite3_bind_int64(insert_, index, static_cast<sqlite3_int64>(value)) == SQLITE_OK;
    };
    const bool done = number(1, entry.timeMs) && number(2, entry.callId) &&
                      number(3, entry.callerId) && text(4, entry.callerName) &&
                      number(5, entry.category) && number(6, static_cast<int64_t>(entry.step)) &&
                      text(7, entry.detail) && sqlite3_step(insert_) == SQLITE_DONE;
    // The texts are bound without a copy: unbind them before `entry` goes.
    sqlite3_reset(insert_);
    sqlite3_clear_bindings(insert_);
    return done;
}

bool CallJournal::flush() {
    return db_ != nullptr && log_ != nullptr && log_->foldNow();
}

bool CallJournal::syncing() const {
    return db_ != nullptr && log_ != nullptr && !log_->failing();
}

bool CallJournal::query(const JournalFilter& filter, std::vector<JournalEntry>& entries) const {
    if (db_ == nullptr) {
        return false;
    }
    std::string sql = "SELECT time_ms, call_id, caller_id, caller_name, category, step, detail"
                      " FROM journal WHERE 1";
    const bool callerById = AllDigits(filter.caller);
    if (filter.callId) {
        sql += " AND call_id = ?1";
    }
    if (!filter.caller.empty()) {
        sql += callerById ? " AND caller_id = ?2" : " AND instr(caller_name, ?2) > 0";
    }
    if (filter.category) {
        sql += " AND category = ?3";
    }
    if (filter.fromMs) {
        sql += " AND time_ms >= ?4";
    }
    if (filter.toMs) {
        sql += " AND time_ms < ?5";
    }
    sql += " ORDER BY rowid";
    Statement select(db_, sql);
    if (!select) {
        return false;
    }
    bool bound = true;
    if (filter.callId) {
        bound = bound && select.bind(1, int64_t{*filter.callId});
    }
    if (!filter.caller.empty()) {
        bound = bound && (callerById ? select.bind(2, std::stoll(filter.caller))
                                     : select.bind(2, filter.caller));
    }
    if (filter.category) {
        bound = bound && select.bind(3, int64_t{*filter.category});
    }
    if (filter.fromMs) {
        bound = bound && select.bind(4, *filter.fromMs);
    }
    if (filter.toMs) {
        bound = bound && select.bind(5, *filter.toMs);
    }
    if (!bound) {
        return false;
    }
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(select.get())) == SQLITE_ROW) {
        JournalEntry entry;
        entry.timeMs = select.integer(0);
        entry.callId = static_cast<uint32_t>(select.integer(1));
        entry.callerId = static_cast<uint32_t>(select.integer(2));
        entry.callerName = select.blob(3);
        entry.category = static_cast<int32_t>(select.integer(4));
        const int64_t step = select.integer(5);
        if (step < kFirstJournalStep || step > kLastJournalStep) {
            continue; // a step of a newer console: shown by none of ours
        }
        entry.step = static_cast<JournalStep>(step);
        entry.detail = select.blob(6);
        entries.push_back(std::move(entry));
    }
    return result == SQLITE_DONE;
}

} // namespace talmor::storage

// The parts of UserDB that name records by sequence number, and the optional text index.
#include "storage/userdb.h"

#include <limits>

#include <sqlite3.h>

#include "storage/sqlitestatement.h"

namespace talmor::storage {

namespace {

// A GLOB pattern matching any text that contains `text`: its own wildcard characters are
// escaped as one-character sets.
std::string ContainsPattern(const std::string& text) {
    std::string pattern = "*";
    for (char c : text) {
        if (c == '*' || c == '?' || c == '[') {
            pattern += '[';
            pattern += c;
            pattern += ']';
        } else {
            pattern += c;
        }
    }
    return pattern + "*";
}

std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char byte : utf8) {
        count += (byte & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

} // namespace

bool UserDB::walkStatement(sqlite3_stmt* statement, const SeqVisitor& visit) {
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE) {
            return true;
        }
        if (rc != SQLITE_ROW) {
            return false;
        }
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement, 2));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 2));
        if (!visit(sqlite3_column_int64(statement, 0),
                   static_cast<uint32_t>(sqlite3_column_int64(statement, 1)), data, size)) {
            return true;
        }
    }
}

bool UserDB::walkLatest(uint32_t key, int64_t beforeSeq, std::size_t count,
                        const SeqVisitor& visit) {
    if (db_ == nullptr) {
        return false;
    }
    Statement select(db_, "SELECT seq, key, value FROM (SELECT seq, key, value FROM records "
                          "WHERE key=?1 AND seq<?2 ORDER BY seq DESC LIMIT ?3) ORDER BY seq");
    const int64_t bound = beforeSeq > 0 ? beforeSeq : std::numeric_limits<int64_t>::max();
    const int64_t limit =
        count == 0 || count > static_cast<std::size_t>(std::numeric_limits<int64_t>::max())
            ? -1
            : static_cast<int64_t>(count);
    return select.bind(1, key) && select.bind(2, bound) && select.bind(3, limit) &&
           walkStatement(select.get(), visit);
}

bool UserDB::walkAll(const SeqVisitor& visit, int64_t afterSeq) {
    if (db_ == nullptr) {
        return false;
    }
    Statement select(db_, "SELECT seq, key, value FROM records WHERE seq>?1 ORDER BY seq");
    return select.bind(1, afterSeq) && walkStatement(select.get(), visit);
}

bool UserDB::deleteSeq(uint32_t key, int64_t seq) {
    if (db_ == nullptr || !execute("SAVEPOINT delete_record")) {
        return false;
    }
    wrote_ = true;
    Statement remove(db_, "DELETE FROM records WHERE key=?1 AND seq=?2");
    bool done =
        remove.bind(1, key) && remove.bind(2, seq) && remove.run() && sqlite3_changes(db_) == 1;
    if (done && hasTextIndex()) {
        Statement unindex(db_, "DELETE FROM record_text WHERE rowid=?1");
        done = unindex.bind(1, seq) && unindex.run();
    }
    if (!done) {
        execute("ROLLBACK TO delete_record");
    }
    execute("RELEASE delete_record");
    return done;
}

bool UserDB::hasTextIndex() {
    if (textIndex_ < 0) {
        int count = 0;
        textIndex_ = queryInt("SELECT count(*) FROM sqlite_schema WHERE name='record_text'", count)
                         ? (count > 0 ? 1 : 0)
                         : 0;
    }
    return textIndex_ == 1;
}

bool UserDB::createTextIndex(bool& created) {
    created = false;
    if (db_ == nullptr) {
        return false;
    }
    if (hasTextIndex()) {
        return true;
    }
    if (!execute("CREATE VIRTUAL TABLE record_text USING fts5(text, tokenize='trigram')")) {
        return false;
    }
    wrote_ = true;
    textIndex_ = 1;
    created = true;
    return true;
}

bool UserDB::indexText(int64_t seq, const std::string& text) {
    if (db_ == nullptr || !hasTextIndex()) {
        return false;
    }
    wrote_ = true;
    Statement insert(db_, "INSERT OR REPLACE INTO record_text(rowid, text) VALUES(?1, ?2)");
    return insert.bind(1, seq) && insert.bindText(2, text) && insert.run();
}

bool UserDB::lastIndexedSeq(int64_t& seq) {
    if (db_ == nullptr || !hasTextIndex()) {
        return false;
    }
    Statement last(db_, "SELECT rowid FROM record_text ORDER BY rowid DESC LIMIT 1");
    if (!last) {
        return false;
    }
    const int rc = sqlite3_step(last.get());
    seq = rc == SQLITE_ROW ? last.integer(0) : 0;
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

bool UserDB::searchText(const std::string& text, bool allKeys, uint32_t key,
                        const SeqVisitor& visit) {
    if (db_ == nullptr || !hasTextIndex()) {
        return false;
    }
    // The index serves words of three characters or more; shorter ones (which the trigram
    // index of this SQLite misses when they are not ASCII) are looked for in every text.
    const bool indexed = CharacterCount(text) >= 3;
    // The index is asked first; the key only filters what it found.
    std::string sql = "SELECT seq, key, value FROM records WHERE seq IN (SELECT rowid FROM "
                      "record_text WHERE ";
    sql += indexed ? "text GLOB ?1)" : "instr(text, ?1) > 0)";
    sql += allKeys ? " ORDER BY seq" : " AND +key=?2 ORDER BY seq";
    Statement select(db_, sql.c_str());
    const std::string pattern = indexed ? ContainsPattern(text) : text;
    return select.bindText(1, pattern) && (allKeys || select.bind(2, key)) &&
           walkStatement(select.get(), visit);
}

} // namespace talmor::storage

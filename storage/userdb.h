#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace talmor::storage {

// The key/value database of the per-user data files. One SQLite 3 file per database, WAL journal;
// by default synchronous=FULL and exclusive locking while a handle is open (see userdb.cpp for
// why): a second handle on the same file, in this process or another, waits up to 2 s for the
// first to close and then fails to open. Sync::ByCheckpoint files are shared instead. Records are
// keyed by a u32; a key holds any number of records in the order they were added (the history) or,
// written with replace, one record (the options).
//
// A handle is opened, used and closed within one operation of the data files: nothing stays
// open between operations. Every operation reports failure as false; none throws, and a foreign
// or corrupt file never crashes the process.
class UserDB {
public:
    // Visitor of walk: one record's bytes; return false to stop the walk.
    using Visitor = std::function<bool(const uint8_t* data, std::size_t size)>;

    UserDB() = default;
    ~UserDB();
    UserDB(const UserDB&) = delete;
    UserDB& operator=(const UserDB&) = delete;

    // How the commits of a file reach the disk. Every handle on a file must use the same.
    enum class Sync {
        // Each commit is synced before it returns, so it survives a crash of the machine; the
        // file is held exclusively while the handle is open.
        EachCommit,
        // A commit is written to the log before it returns, without a sync: it survives a crash
        // of the process, and the file stays whole through a crash of the machine. The log is
        // synced and folded in by the file's LogCheckpointer when one runs in this process, else
        // when a handle that wrote closes with a log beyond a size. For a file written at the
        // pace of the event loop (the chat history): its syncs then never hold the caller.
        ByCheckpoint,
    };

    // Opens the database file at `path`, creating it when it is missing. False when the file
    // cannot be opened or created, or when it is not one of our databases (a foreign SQLite
    // database, a file of other content, a corrupt header); the handle then stays closed.
    bool open(const std::string& path, Sync sync = Sync::EachCommit);
    // Closes the handle (a no-op when closed).
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // The first record of `key` into `value`. False when the key has no record.
    bool read(uint32_t key, std::vector<uint8_t>& value);
    // Replaces every record of `key` by one record holding the given bytes.
    bool replace(uint32_t key, const void* data, std::size_t size);
    // Stores the bytes as the last record of `key`. Once it returned true the record is on disk
    // and survives a crash of the process or of the machine.
    bool append(uint32_t key, const void* data, std::size_t size);
    // Calls `visit` with each record of `key`, first to last, until it returns false. True when
    // the records could be walked (also when the key has none).
    bool walk(uint32_t key, const Visitor& visit);
    // Groups the writes between begin and commit into one transaction, written with one disk
    // sync (bulk imports). Closing the handle without commit rolls them back.
    bool begin();
    bool commit();
    // Deletes the record at position `index` (0 = first) among the records of `key`. False when
    // the key has no record at that position.
    bool deleteAt(uint32_t key, std::size_t index);

    // Records named by their sequence number, which only grows: a record appended later has a
    // higher one. They let a window that shows a slice of a key's records delete exactly the
    // record it shows, whatever was appended or deleted since it loaded.
    using SeqVisitor =
        std::function<bool(int64_t seq, uint32_t key, const uint8_t* data, std::size_t size)>;
    // The sequence number of the last record appended through this handle.
    int64_t lastSeq() const { return lastSeq_; }
    // The last `count` records (0: all) of `key` whose sequence number is below `beforeSeq` (0:
    // no bound), first to last.
    bool walkLatest(uint32_t key, int64_t beforeSeq, std::size_t count, const SeqVisitor& visit);
    // Every record of every key whose sequence number is above `afterSeq`, in sequence order.
    bool walkAll(const SeqVisitor& visit, int64_t afterSeq = 0);
    // Deletes the record `seq` of `key`; false when there is none.
    bool deleteSeq(uint32_t key, int64_t seq);

    // An optional full-text index of the records (trigram, so any substring of three or more
    // characters is found through the index; shorter ones by a scan of the index). The caller
    // gives each record's searchable text in UTF-8; deleting a record drops its text.
    // Creates the index when the file has none: true when it was created now (the caller then
    // indexes the records already there).
    bool createTextIndex(bool& created);
    bool indexText(int64_t seq, const std::string& text);
    // The highest sequence number whose text the index holds, 0 when it holds none.
    bool lastIndexedSeq(int64_t& seq);
    // The records of `key` (every key when `allKeys`) whose indexed text contains `text`, in
    // sequence order.
    bool searchText(const std::string& text, bool allKeys, uint32_t key, const SeqVisitor& visit);

private:
    bool initialise();
    bool execute(const char* sql);
    bool queryInt(const char* sql, int& value);
    bool hasTextIndex();
    bool walkStatement(sqlite3_stmt* statement, const SeqVisitor& visit);

    sqlite3* db_ = nullptr;
    std::string path_;
    bool wrote_ = false; // this handle changed the file: maybe fold the log in at close
    int64_t lastSeq_ = 0;
    int textIndex_ = -1; // whether the file has the text index: -1 not asked yet
};

} // namespace talmor::storage

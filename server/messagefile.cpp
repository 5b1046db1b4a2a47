// Kept messages in an SQLite file: one row per message, its rowid the order of keeping.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "server/messagestore.h"

namespace talmor::server {

namespace {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() { return statement_; }
    bool valid() const { return statement_ != nullptr; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

class MessageFile : public MessageStore {
public:
    explicit MessageFile(sqlite3* db) : db_(db) {}
    ~MessageFile() override { sqlite3_close(db_); }
    MessageFile(const MessageFile&) = delete;
    MessageFile& operator=(const MessageFile&) = delete;

    uint64_t keep(uint32_t recipient, const ServerMessage& message) override {
        Statement insert(db_, "INSERT INTO kept_messages (recipient, sender, kind, sent, body) "
                              "VALUES (?, ?, ?, ?, ?)");
        if (!insert.valid()) {
            return 0;
        }
        sqlite3_bind_int64(insert.get(), 1, recipient);
        sqlite3_bind_int64(insert.get(), 2, message.senderId);
        sqlite3_bind_int(insert.get(), 3, message.kind);
        sqlite3_bind_int64(insert.get(), 4, message.sendTime);
        // The body is GBK bytes: kept as they are, never as text.
        sqlite3_bind_blob(insert.get(), 5, message.body.data(),
                          static_cast<int>(message.body.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            return 0;
        }
        const auto id = static_cast<uint64_t>(sqlite3_last_insert_rowid(db_));
        Statement trim(db_, "DELETE FROM kept_messages WHERE recipient = ?1 AND id NOT IN "
                            "(SELECT id FROM kept_messages WHERE recipient = ?1 "
                            "ORDER BY id DESC LIMIT ?2)");
        if (trim.valid()) {
            sqlite3_bind_int64(trim.get(), 1, recipient);
            sqlite3_bind_int64(trim.get(), 2, static_cast<sqlite3_int64>(kKeptPerRecipient));
            sqlite3_step(trim.get());
        }
        return id;
    }

    std::vector<KeptMessage> waitingFor(uint32_t recipient) const override {
        std::vector<KeptMessage> waiting;
        Statement select(db_, "SELECT id, sender, kind, sent, body FROM kept_messages "
                              "WHERE recipient = ? ORDER BY id");
        if (!select.valid()) {
            return waiting;
        }
        sqlite3_bind_int64(select.get(), 1, recipient);
        while (sqlite3_step(select.get()) == SQLITE_ROW) {
            KeptMessage kept;
            kept.id = static_cast<uint64_t>(sqlite3_column_int64(select.get(), 0));
            kept.recipient = recipient;
            kept.message.senderId = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 1));
            kept.message.kind = static_cast<uint8_t>(sqlite3_column_int(select.get(), 2));
            kept.message.sendTime = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 3));
            const auto* body = static_cast<const char*>(sqlite3_column_blob(select.get(), 4));
            kept.message.body.assign(
                body != nullptr ? body : "",
                static_cast<std::size_t>(sqlite3_column_bytes(select.get(), 4)));
            waiting.push_back(std::move(kept));
        }
        return waiting;
    }

    void forget(uint64_t id) override {
        Statement remove(db_, "DELETE FROM kept_messages WHERE id = ?");
        if (remove.valid()) {
            sqlite3_bind_int64(remove.get(), 1, static_cast<sqlite3_int64>(id));
            sqlite3_step(remove.get());
        }
    }

private:
    sqlite3* db_;
};

} // namespace

std::unique_ptr<MessageStore> openMessageFile(const std::string& path, std::string& error) {
    // The file holds other people's chat: made for its owner alone before SQLite opens it
    // (its journal files take the same mode), and never through a link.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    ::close(fd);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = db != nullptr ? sqlite3_errmsg(db) : "cannot open";
        sqlite3_close(db);
        return nullptr;
    }
    char* message = nullptr;
    const char* schema = "PRAGMA journal_mode=WAL;"
                         "CREATE TABLE IF NOT EXISTS kept_messages ("
                         "id INTEGER PRIMARY KEY AUTOINCREMENT, recipient INTEGER NOT NULL, "
                         "sender INTEGER NOT NULL, kind INTEGER NOT NULL, sent INTEGER NOT NULL, "
                         "body BLOB NOT NULL);";
    if (sqlite3_exec(db, schema, nullptr, nullptr, &message) != SQLITE_OK) {
        error = message != nullptr ? message : "cannot create the table";
        sqlite3_free(message);
        sqlite3_close(db);
        return nullptr;
    }
    return std::make_unique<MessageFile>(db);
}

} // namespace talmor::server

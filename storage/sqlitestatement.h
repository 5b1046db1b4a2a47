#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace talmor::storage {

// One prepared statement, finalised when it goes out of scope. A statement that did not
// prepare is false, and binding or running it fails.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    Statement(sqlite3* db, const std::string& sql) : Statement(db, sql.c_str()) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }

    bool bind(int index, int64_t value);
    // A copy of `bytes`, as a blob.
    bool bind(int index, const std::string& bytes);
    // The bytes themselves, which must outlast the statement's steps; a zero-length value is
    // stored as an empty blob, never as NULL.
    bool bindBlob(int index, const void* data, std::size_t size);
    // `text` as UTF-8 text; it must outlast the statement's steps.
    bool bindText(int index, const std::string& text);

    std::string blob(int column) const;
    int64_t integer(int column) const;
    // Steps a statement that returns no row.
    bool run();

private:
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace talmor::storage

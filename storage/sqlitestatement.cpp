#include "storage/sqlitestatement.h"

#include <sqlite3.h>

namespace talmor::storage {

Statement::Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

bool Statement::bind(int index, int64_t value) {
    return stmt_ != nullptr &&
           sqlite3_bind_int64(stmt_, index, static_cast<sqlite3_int64>(value)) == SQLITE_OK;
}

bool Statement::bind(int index, const std::string& bytes) {
    return stmt_ != nullptr && sqlite3_bind_blob64(stmt_, index, bytes.data(),
                                                   static_cast<sqlite3_uint64>(bytes.size()),
                                                   SQLITE_TRANSIENT) == SQLITE_OK;
}

bool Statement::bindBlob(int index, const void* data, std::size_t size) {
    static const uint8_t empty = 0;
    return stmt_ != nullptr &&
           sqlite3_bind_blob64(stmt_, index, size == 0 ? &empty : data,
                               static_cast<sqlite3_uint64>(size), SQLITE_STATIC) == SQLITE_OK;
}

bool Statement::bindText(int index, const std::string& text) {
    return stmt_ != nullptr && sqlite3_bind_text64(stmt_, index, text.data(), text.size(),
                                                   SQLITE_STATIC, SQLITE_UTF8) == SQLITE_OK;
}

std::string Statement::blob(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data == nullptr
               ? std::string()
               : std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

bool Statement::run() {
    return stmt_ != nullptr && sqlite3_step(stmt_) == SQLITE_DONE;
}

} // namespace talmor::storage

#include "storage/owndatabase.h"

#include <fcntl.h>
#include <unistd.h>

#include <sqlite3.h>

namespace talmor::storage {

sqlite3* OpenOwnDatabase(const std::string& path) {
    const int created = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (created >= 0) {
        ::close(created);
    }
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    return db;
}

} // namespace talmor::storage

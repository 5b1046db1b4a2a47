#pragma once

#include <string>

struct sqlite3;

namespace talmor::storage {

// Opens (creating when missing) one of the operator's database files: created with mode 0600,
// since SQLite would make it readable by everyone and gives its log the file's mode, and set so
// that a file that is not ours runs nothing of its own (triggers, views) and cannot be damaged
// by a write. None when the file cannot be opened.
sqlite3* OpenOwnDatabase(const std::string& path);

} // namespace talmor::storage

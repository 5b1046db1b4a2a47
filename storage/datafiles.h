#pragma once

#include <string>

namespace talmor::storage {

// File names of the data files, exactly as written (including "HistroyMessage.db").
inline constexpr const char* kAccountListFile = "HistoryUser.dat"; // in applicationFolder
inline constexpr const char* kQuickReplyFile = "QuickReply.dat";   // the others in userFolder
inline constexpr const char* kAutoReplyFile = "AutoReply.dat";
inline constexpr const char* kSmsReplyFile = "SmsReply.dat";
inline constexpr const char* kHistoryFile = "HistroyMessage.db";
inline constexpr const char* kOptionFile = "UserOption.db";

// folder + name, with one '/' between them. The data folders end with '/'; one without it
// gets it here. An empty folder leaves the name as it is (relative to the working folder).
std::string JoinPath(const std::string& folder, const std::string& name);

// Replaces the whole file at `path` by `contents` so that a crash at any moment leaves either the
// old file or the new one: the bytes go to path + ".tmp", are flushed to disk, and the temporary
// file is renamed over the old one. The new file is the operator's alone (mode 0600). False, with
// the old file untouched, when the temporary file cannot be created or written.
bool ReplaceFileContents(const std::string& path, const std::string& contents);

} // namespace talmor::storage

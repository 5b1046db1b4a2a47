#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace talmor::storage {

// The account list HistoryUser.dat in applicationFolder: one account number per
// line, written "%lu\n", most recently logged-in first.

// The account numbers in file order; an absent or unreadable file gives an empty list. Each line
// is read as a decimal number of up to 10 digits (leading blanks skipped, anything after the
// digits ignored); a line without digits, or whose number exceeds 32 bits, is not an account and
// is skipped.
std::vector<uint32_t> LoadAccounts(const std::string& applicationFolder);
// Puts `account` at the front of the list (moving it there when listed, adding it otherwise; the
// others keep their order) and rewrites the whole file. False, with nothing written, when the
// file cannot be created.
bool RememberAccount(const std::string& applicationFolder, uint32_t account);

// Text list files in userFolder: one entry per line, written "%s\n", no escaping,
// the texts' bytes as held (GBK).
//
// Loading appends to `list`: the file is read in pieces of at most 127 bytes (a 128-byte line
// buffer); a piece whose last byte is a line feed loses it, and every piece is one entry,
// including the empty piece of an empty line. A line of more than 127 bytes thus comes back as
// several entries. An absent or unreadable file adds nothing. Loading returns false only when the
// file could not be opened.
//
// Saving replaces the whole file (atomically: a crash leaves the old or the new list). A file
// that cannot be created is skipped silently; the result says whether it was written. Saving
// never writes a line that loading would not give back as the same one entry: a list with an
// entry that holds a line feed, or is longer than kMaxTextListEntry bytes, is refused whole and
// the file is left as it was.
constexpr std::size_t kMaxTextListEntry = 126; // with its line feed, 127 bytes: one piece

// Whether `entry` comes back from the file as itself (written up to its first NUL byte).
bool TextListEntryFits(const std::string& entry);

bool LoadTextList(const std::string& path, std::vector<std::string>& list);
bool SaveTextList(const std::string& path, const std::vector<std::string>& list);

bool LoadQuickReplies(const std::string& userFolder, std::vector<std::string>& list);
bool SaveQuickReplies(const std::string& userFolder, const std::vector<std::string>& list);
bool LoadAutoReplies(const std::string& userFolder, std::vector<std::string>& list);
bool SaveAutoReplies(const std::string& userFolder, const std::vector<std::string>& list);
bool LoadSmsReplies(const std::string& userFolder, std::vector<std::string>& list);
bool SaveSmsReplies(const std::string& userFolder, const std::vector<std::string>& list);

} // namespace talmor::storage

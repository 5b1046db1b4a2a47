#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/messagerecord.h"
#include "storage/storestream.h"

namespace talmor::storage {

// A history entry is the chat's own `MessageRecord`; the history keeps the font of kind 0 only.

// The key a message is filed under in HistroyMessage.db: its peer id, except 0 for kinds 2 to 5.
uint32_t HistoryKey(const MessageRecord& message);

// Store-stream form of a history entry: u8 kind, u8 flags, u32 peerId, u32 time,
// text; then, for kind 0 only, text face, u8 size, u32 colour, u8 effects.
StoreWriter EncodeMessage(const MessageRecord& message);
// Decodes any bytes, missing fields reading as 0 and empty.
MessageRecord DecodeMessage(const uint8_t* data, std::size_t size);

class UserDB;

// The history store on userFolder + "HistroyMessage.db" (UserDB::Sync::ByCheckpoint). Each call
// opens the database (creating it when missing) and closes it again; HistoryFile keeps it open
// for the console's stream of appends.

// Opens the history file at `path` (creating it when missing) with its text index.
bool OpenHistoryFile(UserDB& db, const std::string& path);
// Stores the message under its key after the records already there, on an open history.
bool AppendTo(UserDB& db, const MessageRecord& message);

// Stores the message under its key after the records already there; once it returned true the
// message survives a crash of the process, and a crash of the machine once the log was synced
// (by the file's LogCheckpointer within a second while one runs).
bool AppendHistory(const std::string& userFolder, const MessageRecord& message);
// Appends the records of key `peerId` to `list`, first to last, at most `maxCount` of them
// (0 = all). False when the key has no record or the file cannot be opened.
bool LoadHistory(const std::string& userFolder, uint32_t peerId, std::vector<MessageRecord>& list,
                 std::size_t maxCount);
// Deletes the record at position `index` (0 = first) among those of key `peerId`. False when the
// key has fewer records or the file cannot be opened.
bool DeleteHistory(const std::string& userFolder, uint32_t peerId, std::size_t index);

// A history entry with the sequence number that names it in the store: later entries have
// higher numbers.
struct HistoryEntry {
    int64_t seq = 0;
    MessageRecord message;
};

// The last `count` entries (0: all) of `peerId` stored before entry `beforeSeq` (0: the newest
// ones), first to last, appended to `list`. False when the file cannot be opened.
bool LoadLatestHistory(const std::string& userFolder, uint32_t peerId, int64_t beforeSeq,
                       std::size_t count, std::vector<HistoryEntry>& list);
// Deletes the entry `seq` of `peerId`; false when it is not there or the file cannot be opened.
bool DeleteHistoryEntry(const std::string& userFolder, uint32_t peerId, int64_t seq);
// The entries whose text contains `text` (GBK, matched character by character, so a match
// never starts in the middle of a double-byte character), of `peerId` or, with `allPeers`, of
// every peer, first to last. An empty `text` finds nothing. False when the file cannot be
// opened.
bool SearchHistory(const std::string& userFolder, const std::string& text, bool allPeers,
                   uint32_t peerId, std::vector<HistoryEntry>& list);
// Whether `text` (GBK) contains `part` starting at a character boundary.
bool GbkContains(const std::string& text, const std::string& part);

} // namespace talmor::storage

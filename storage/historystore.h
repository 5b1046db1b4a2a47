#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/storestream.h"

namespace talmor::storage {

// The font of a kind-0 message.
struct MessageFont {
    std::string face;
    uint8_t size = 0;    // points
    uint8_t effects = 0; // bit 0 bold, bit 1 italic, bit 2 underline
    uint32_t colour = 0; // red in the lowest byte, then green, then blue
    bool operator==(const MessageFont& other) const;
};

// One history entry: the fields of the chat `MessageRecord` that the history
// keeps. The console copies its record into this one and back.
struct MessageRecord {
    uint8_t kind = 0;  // 0 ordinary, 1 automatic reply, 2 to 5 further kinds
    uint8_t flags = 0; // bit 0 received, bit 1 through the server
    uint32_t peerId = 0;
    uint32_t time = 0; // seconds since 1970-01-01 UTC
    std::string text;  // GBK bytes
    MessageFont font;  // kept only for kind 0
    bool operator==(const MessageRecord& other) const;
};

// The key a message is filed under in HistroyMessage.db: its peer id, except 0 for kinds 2 to 5.
uint32_t HistoryKey(const MessageRecord& message);

// Store-stream form of a history entry: u8 kind, u8 flags, u32 peerId, u32 time,
// text; then, for kind 0 only, text face, u8 size, u32 colour, u8 effects.
StoreWriter EncodeMessage(const MessageRecord& message);
// Decodes any bytes, missing fields reading as 0 and empty.
MessageRecord DecodeMessage(const uint8_t* data, std::size_t size);

// The history store on userFolder + "HistroyMessage.db". Each call opens the
// database (creating it when missing) and closes it again.

// Stores the message under its key after the records already there; once it returned true the
// message is on disk.
bool AppendHistory(const std::string& userFolder, const MessageRecord& message);
// Appends the records of key `peerId` to `list`, first to last, at most `maxCount` of them
// (0 = all). False when the key has no record or the file cannot be opened.
bool LoadHistory(const std::string& userFolder, uint32_t peerId, std::vector<MessageRecord>& list,
                 std::size_t maxCount);
// Deletes the record at position `index` (0 = first) among those of key `peerId`. False when the
// key has fewer records or the file cannot be opened.
bool DeleteHistory(const std::string& userFolder, uint32_t peerId, std::size_t index);

} // namespace talmor::storage

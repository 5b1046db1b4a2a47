#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/records.h"

namespace talmor {

// The body of a chat message as it travels through the server or a peer session: fields
// separated by the byte 0xFF, numbers as unsigned decimal text. A formatted message (kind 0)
// carries text, face, size, colour and effects; any other kind carries the text alone.

constexpr std::size_t kMaxMessageBody = 1024; // including the terminating NUL
constexpr char kMessageFieldSeparator = '\xFF';

// At most kMaxMessageBody - 1 bytes. The first field that would not fit is left out, and the
// fields after it too, so that a reader never takes one field for another.
std::string encodeMessageBody(const MessageRecord& message);

// Sets the text, and for kind 0 the font, of `message` from `body`. Missing fields read as
// empty or 0, and so does a number that is not unsigned decimal or does not fit its field.
void parseMessageBody(const std::string& body, MessageRecord& message);

// A received message: flags 1, plus 2 when the server delivered it.
MessageRecord buildReceivedMessage(uint8_t kind, uint32_t senderId, uint32_t sendTime,
                                   const std::string& body, bool viaServer);

} // namespace talmor

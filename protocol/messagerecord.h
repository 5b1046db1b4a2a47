#pragma once

#include <cstdint>
#include <string>

namespace talmor {

// A chat message as the console shows, sends and keeps it: the same record travels from the
// wire to the chat window and into the history, so no field is copied by hand on the way.

// The font of a formatted chat message. `colour` holds red in the lowest byte, then green,
// then blue; `effects` bit 0 bold, bit 1 italic, bit 2 underline.
struct MessageFont {
    std::string face;
    uint8_t size = 0; // points
    uint8_t effects = 0;
    uint32_t colour = 0;
    bool operator==(const MessageFont& other) const {
        return face == other.face && size == other.size && effects == other.effects &&
               colour == other.colour;
    }
};

constexpr uint8_t kMessageKindFormatted = 0;
constexpr uint8_t kMessageKindAutoReply = 1;
constexpr uint8_t kMessageFromPeer = 0x01;  // flags bit 0: received, not the operator's own
constexpr uint8_t kMessageViaServer = 0x02; // flags bit 1: went through the server

// One chat message. Only formatted messages (kind 0) carry a font.
struct MessageRecord {
    uint8_t kind = kMessageKindFormatted;
    uint8_t flags = 0;
    uint32_t peerId = 0; // the other party: the sender of a received message
    uint32_t time = 0;   // calendar seconds when it was written
    std::string text;
    MessageFont font;
    bool operator==(const MessageRecord& other) const {
        return kind == other.kind && flags == other.flags && peerId == other.peerId &&
               time == other.time && text == other.text && font == other.font;
    }
};

} // namespace talmor

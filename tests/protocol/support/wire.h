#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/packet.h"

namespace talmor::testing {

using Bytes = std::vector<uint8_t>;

// A server datagram with its header written: no sender, the given session, command and seq,
// and `ackSeq` in the place where a console request carries its checkWord.
OutPacket serverDatagram(uint32_t sessionId, uint16_t command, uint16_t seq, uint16_t ackSeq = 0);

Bytes bytesOf(const OutPacket& packet);
// The bytes after the 20-byte header.
Bytes bodyOf(const Bytes& datagram);

// Writes a record of the wire into a fresh packet and returns only the body bytes.
template <typename Record, typename... Extra>
Bytes recordBytes(const Record& record, Extra... extra) {
    OutPacket packet = makeDatagram(0, 0, 0, 0);
    record.write(packet, extra...);
    return bodyOf(bytesOf(packet));
}

// A reader over a body given without its header.
class BodyReader {
public:
    explicit BodyReader(const Bytes& body);
    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;
    InPacket& in() { return in_; }

private:
    Bytes datagram_;
    InPacket in_;
};

// "t<n>" texts and increasing numbers, so every field of a record differs from the others.
class Filler {
public:
    std::string text() { return "t" + std::to_string(next_++); }
    uint32_t u32() { return 0x01020300u + next_++; }
    uint16_t u16() { return static_cast<uint16_t>(0x0100 + next_++); }
    uint8_t u8() { return static_cast<uint8_t>(next_++); }

private:
    unsigned next_ = 1;
};

} // namespace talmor::testing

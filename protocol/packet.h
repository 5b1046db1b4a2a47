#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace talmor {

constexpr std::size_t kPacketCapacity = 4096;
constexpr std::size_t kDatagramHeaderSize = 20;
constexpr std::size_t kPeerPrefixSize = 2;
constexpr std::size_t kPeerHeaderSize = 12; // after the stream length prefix
constexpr uint16_t PROTOCOL_VERSION = 1218;
constexpr uint16_t PEER_PROTOCOL_VERSION = 1;

// Offsets of the datagram header fields that are patched after the header is written.
constexpr std::size_t kSeqOffset = 16;
constexpr std::size_t kCheckWordOffset = 18;

// Typed big-endian packet writer over a fixed 4096-byte area. A write that does not fit is
// dropped whole: no partial item ever lands, and the caller is not told.
class OutPacket {
public:
    OutPacket() = default;
    virtual ~OutPacket() = default;
    OutPacket(const OutPacket&) = default;
    OutPacket& operator=(const OutPacket&) = default;

    uint8_t* data() { return buffer_.data(); }
    const uint8_t* data() const { return buffer_.data(); }
    std::size_t length() const { return cursor_; }

    OutPacket& writeString(const std::string& text);
    OutPacket& writeCString(const char* text);
    OutPacket& writeInt(uint32_t value);
    OutPacket& writeShort(uint16_t value);
    OutPacket& writeByte(uint8_t value);
    OutPacket& writeBytes(const void* bytes, std::size_t size);

    // Overwrites a short already written (header patching); does nothing outside the data.
    void putShortAt(std::size_t offset, uint16_t value);
    // Appends zero bytes up to `newLength` (the cipher's block padding); false when it would
    // not fit.
    bool zeroFillTo(std::size_t newLength);

    // Bookkeeping of datagram requests, used by UdpSession and never sent.
    int tries = 0;
    int64_t expiry = 0;
    uint16_t command = 0;
    uint16_t seq = 0;

protected:
    bool fits(std::size_t size) const { return size <= kPacketCapacity - cursor_; }

    std::array<uint8_t, kPacketCapacity> buffer_{};
    std::size_t cursor_ = 0;
};

// A datagram packet with its 20-byte header written.
OutPacket makeDatagram(uint32_t senderId, uint32_t sessionId, uint16_t command, uint16_t seq);

// A peer stream packet: two prefix bytes reserved, then the 12-byte peer header.
class PeerOutPacket : public OutPacket {
public:
    PeerOutPacket(uint16_t peerCommand, uint32_t senderId);
    // Sets the stream prefix to the length that follows it, just before sending.
    void setPrefix();
};

// Bounded reader over received bytes; never reads past them. A read that does not fit yields
// 0 (integers) or the empty string and leaves the cursor where the item would start (a string
// whose length field was read stays after that field).
class InPacket {
public:
    // Parses the 20-byte datagram header; a shorter buffer yields zero header fields and an
    // empty body.
    InPacket(const uint8_t* bytes, std::size_t size);
    virtual ~InPacket() = default;
    InPacket(const InPacket&) = default;
    InPacket& operator=(const InPacket&) = default;

    const uint8_t* data() const { return bytes_; }
    std::size_t length() const { return size_; }

    InPacket& readString(std::string& out);
    InPacket& readCString(const char*& out); // points into the packet's bytes
    InPacket& readInt(uint32_t& out);
    InPacket& readShort(uint16_t& out);
    InPacket& readByte(uint8_t& out);

    // Value forms of the reads above, for handlers that fill records field by field.
    uint32_t u32();
    uint16_t u16();
    uint8_t u8();
    std::string text();

    uint16_t command() const { return command_; }
    // Yields the unread bytes: the pointer to the cursor and their count.
    const uint8_t* remaining(std::size_t& count) const;
    std::size_t unread() const { return size_ - cursor_; }

    uint16_t version() const { return version_; }
    uint32_t senderId() const { return senderId_; }
    uint32_t sessionId() const { return sessionId_; }
    uint16_t seq() const { return seq_; }
    uint16_t ackSeq() const { return ackSeq_; }

protected:
    struct PeerLayout {};
    InPacket(const uint8_t* bytes, std::size_t size, PeerLayout);

    const uint8_t* bytes_;
    std::size_t size_;
    std::size_t cursor_ = 0;
    uint16_t version_ = 0;
    uint32_t senderId_ = 0;
    uint32_t sessionId_ = 0;
    uint16_t command_ = 0;
    uint16_t seq_ = 0;
    uint16_t ackSeq_ = 0;
};

// A peer stream packet, constructed over the bytes after the 2-byte prefix; fewer than 12
// bytes yield zero header fields and an empty body.
class PeerInPacket : public InPacket {
public:
    PeerInPacket(const uint8_t* bytes, std::size_t size);
};

} // namespace talmor

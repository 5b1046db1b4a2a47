#include "protocol/packet.h"

#include <cstring>

namespace talmor {

namespace {
const char kEmpty[] = "";
}

OutPacket& OutPacket::writeString(const std::string& text) {
    return writeCString(text.c_str());
}

OutPacket& OutPacket::writeCString(const char* text) {
    const std::size_t count = std::strlen(text) + 1;
    if (count > 0xFFFF || !fits(2 + count)) {
        return *this;
    }
    writeShort(static_cast<uint16_t>(count));
    std::memcpy(buffer_.data() + cursor_, text, count);
    cursor_ += count;
    return *this;
}

OutPacket& OutPacket::writeInt(uint32_t value) {
    if (fits(4)) {
        buffer_[cursor_++] = static_cast<uint8_t>(value >> 24);
        buffer_[cursor_++] = static_cast<uint8_t>(value >> 16);
        buffer_[cursor_++] = static_cast<uint8_t>(value >> 8);
        buffer_[cursor_++] = static_cast<uint8_t>(value);
    }
    return *this;
}

OutPacket& OutPacket::writeShort(uint16_t value) {
    if (fits(2)) {
        buffer_[cursor_++] = static_cast<uint8_t>(value >> 8);
        buffer_[cursor_++] = static_cast<uint8_t>(value);
    }
    return *this;
}

OutPacket& OutPacket::writeByte(uint8_t value) {
    if (fits(1)) {
        buffer_[cursor_++] = value;
    }
    return *this;
}

OutPacket& OutPacket::writeBytes(const void* bytes, std::size_t size) {
    if (fits(size) && size > 0) {
        std::memcpy(buffer_.data() + cursor_, bytes, size);
        cursor_ += size;
    }
    return *this;
}

void OutPacket::putShortAt(std::size_t offset, uint16_t value) {
    if (offset + 2 <= cursor_) {
        buffer_[offset] = static_cast<uint8_t>(value >> 8);
        buffer_[offset + 1] = static_cast<uint8_t>(value);
    }
}

bool OutPacket::zeroFillTo(std::size_t newLength) {
    if (newLength > kPacketCapacity) {
        return false;
    }
    if (newLength > cursor_) {
        std::memset(buffer_.data() + cursor_, 0, newLength - cursor_);
        cursor_ = newLength;
    }
    return true;
}

OutPacket makeDatagram(uint32_t senderId, uint32_t sessionId, uint16_t command, uint16_t seq) {
    OutPacket packet;
    packet.writeShort(PROTOCOL_VERSION)
        .writeInt(0)
        .writeInt(senderId)
        .writeInt(sessionId)
        .writeShort(command)
        .writeShort(seq)
        .writeShort(0);
    packet.command = command;
    packet.seq = seq;
    return packet;
}

PeerOutPacket::PeerOutPacket(uint16_t peerCommand, uint32_t senderId) {
    cursor_ = kPeerPrefixSize;
    writeShort(PEER_PROTOCOL_VERSION).writeInt(0).writeShort(peerCommand).writeInt(senderId);
    command = peerCommand;
}

void PeerOutPacket::setPrefix() {
    const auto follows = static_cast<uint16_t>(cursor_ - kPeerPrefixSize);
    buffer_[0] = static_cast<uint8_t>(follows >> 8);
    buffer_[1] = static_cast<uint8_t>(follows);
}

InPacket::InPacket(const uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {
    if (size < kDatagramHeaderSize) {
        // Field by field, the reads that still fit would take later fields from earlier
        // offsets; a partial header yields zero fields and no body.
        cursor_ = size;
        return;
    }
    uint32_t reserved = 0;
    readShort(version_)
        .readInt(reserved)
        .readInt(senderId_)
        .readInt(sessionId_)
        .readShort(command_)
        .readShort(seq_)
        .readShort(ackSeq_);
}

InPacket::InPacket(const uint8_t* bytes, std::size_t size, PeerLayout)
    : bytes_(bytes), size_(size) {}

InPacket& InPacket::readString(std::string& out) {
    const char* text = kEmpty;
    readCString(text);
    out.assign(text);
    return *this;
}

InPacket& InPacket::readCString(const char*& out) {
    out = kEmpty;
    if (unread() < 2) {
        return *this;
    }
    uint16_t count = 0;
    readShort(count);
    if (count == 0 || count > unread() || bytes_[cursor_ + count - 1] != 0) {
        return *this;
    }
    out = reinterpret_cast<const char*>(bytes_ + cursor_);
    cursor_ += count;
    return *this;
}

InPacket& InPacket::readInt(uint32_t& out) {
    out = 0;
    if (unread() >= 4) {
        const uint8_t* p = bytes_ + cursor_;
        out = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
        cursor_ += 4;
    }
    return *this;
}

InPacket& InPacket::readShort(uint16_t& out) {
    out = 0;
    if (unread() >= 2) {
        out = static_cast<uint16_t>((bytes_[cursor_] << 8) | bytes_[cursor_ + 1]);
        cursor_ += 2;
    }
    return *this;
}

InPacket& InPacket::readByte(uint8_t& out) {
    out = 0;
    if (unread() >= 1) {
        out = bytes_[cursor_++];
    }
    return *this;
}

uint32_t InPacket::u32() {
    uint32_t value = 0;
    readInt(value);
    return value;
}

uint16_t InPacket::u16() {
    uint16_t value = 0;
    readShort(value);
    return value;
}

uint8_t InPacket::u8() {
    uint8_t value = 0;
    readByte(value);
    return value;
}

std::string InPacket::text() {
    std::string value;
    readString(value);
    return value;
}

const uint8_t* InPacket::remaining(std::size_t& count) const {
    count = unread();
    return bytes_ + cursor_;
}

PeerInPacket::PeerInPacket(const uint8_t* bytes, std::size_t size)
    : InPacket(bytes, size, PeerLayout{}) {
    if (size < kPeerHeaderSize) {
        cursor_ = size;
        return;
    }
    uint32_t reserved = 0;
    readShort(version_).readInt(reserved).readShort(command_).readInt(senderId_);
}

} // namespace talmor

#include "storage/storestream.h"

#include <cstring>

namespace talmor::storage {

StoreWriter& StoreWriter::u8(uint8_t value) {
    if (fits(1)) {
        buffer_[size_++] = value;
    }
    return *this;
}

StoreWriter& StoreWriter::u16(uint16_t value) {
    if (fits(2)) {
        buffer_[size_++] = static_cast<uint8_t>(value);
        buffer_[size_++] = static_cast<uint8_t>(value >> 8);
    }
    return *this;
}

StoreWriter& StoreWriter::u32(uint32_t value) {
    if (fits(4)) {
        for (int shift = 0; shift < 32; shift += 8) {
            buffer_[size_++] = static_cast<uint8_t>(value >> shift);
        }
    }
    return *this;
}

StoreWriter& StoreWriter::text(const std::string& value) {
    std::size_t length = std::strlen(value.c_str()); // up to the first NUL
    // The count, the bytes and the NUL together; a text that long never fits in 4096 bytes, so
    // the u16 count cannot overflow once the check has passed.
    if (length >= kStoreStreamCapacity || !fits(2 + length + 1)) {
        length = 0;
    }
    if (!fits(2 + length + 1)) {
        closed_ = true;
        return *this;
    }
    u16(static_cast<uint16_t>(length + 1));
    std::memcpy(buffer_.data() + size_, value.data(), length);
    size_ += length;
    buffer_[size_++] = 0;
    return *this;
}

uint8_t StoreReader::u8() {
    if (remaining() < 1) {
        return 0;
    }
    return data_[position_++];
}

uint16_t StoreReader::u16() {
    if (remaining() < 2) {
        return 0;
    }
    const uint16_t value = static_cast<uint16_t>(
        data_[position_] | (static_cast<unsigned>(data_[position_ + 1]) << 8));
    position_ += 2;
    return value;
}

uint32_t StoreReader::u32() {
    if (remaining() < 4) {
        return 0;
    }
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | data_[position_ + static_cast<std::size_t>(i)];
    }
    position_ += 4;
    return value;
}

std::string StoreReader::text() {
    const std::size_t count = u16();
    if (count == 0 || count > remaining() || data_[position_ + count - 1] != 0) {
        return {};
    }
    const char* begin = reinterpret_cast<const char*>(data_ + position_);
    position_ += count;
    return std::string(begin); // the last counted byte is a NUL, so this stays inside
}

} // namespace talmor::storage

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace talmor::storage {

// Size of a store stream's buffer.
constexpr std::size_t kStoreStreamCapacity = 4096;

// Writer of a store stream: the value encoding of the two database files.
// Integers are little-endian; a text is a u16 byte count that includes the terminating NUL, then
// the bytes and the NUL. An integer that does not fit into what is left of the 4096 bytes is not
// written, and later, smaller values that still fit are written: the reader skips it the same
// way, because it reads an integer past the end as 0 without moving. A text that does not fit is
// written as the empty text instead, so that the reader never takes the fields after it for its
// count; when not even the empty text fits, the stream is closed and nothing after it is
// written (the reader then finds every later field missing, as 0 or empty).
// Texts are C strings: a std::string is written up to its first NUL byte.
class StoreWriter {
public:
    StoreWriter& u8(uint8_t value);
    StoreWriter& u16(uint16_t value);
    StoreWriter& u32(uint32_t value);
    StoreWriter& text(const std::string& value);

    const uint8_t* data() const { return buffer_.data(); }
    std::size_t size() const { return size_; }
    std::vector<uint8_t> bytes() const { return {buffer_.begin(), buffer_.begin() + size_}; }

private:
    bool fits(std::size_t count) const { return !closed_ && count <= kStoreStreamCapacity - size_; }

    std::array<uint8_t, kStoreStreamCapacity> buffer_{};
    std::size_t size_ = 0;
    bool closed_ = false;
};

// Bounded reader of a stored value. A u8, u16 or u32 that would run past the end reads
// as 0 and does not move the read position. A text whose count runs past the end, or whose last
// counted byte is not NUL, reads as the empty text; the read position then stays just behind the
// count. A text is cut at its first NUL, as a C string would be. The reader only refers to the
// bytes it is given; they must outlive it.
class StoreReader {
public:
    StoreReader(const void* data, std::size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit StoreReader(const std::vector<uint8_t>& bytes)
        : StoreReader(bytes.data(), bytes.size()) {}
    StoreReader(std::vector<uint8_t>&&) = delete; // would refer to a temporary

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    std::string text();

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return size_ - position_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

} // namespace talmor::storage

#pragma once

#include <cstddef>
#include <cstdint>

struct bcg729EncoderChannelContextStruct_struct;
struct bcg729DecoderChannelContextStruct_struct;

namespace talmor::voice {

// The talk's speech coder: 60 ms of samples (960 bytes) become one 60-byte packet of six
// standard 80-bit G.729 frames in time order, and back. Any other length is refused, so a
// short or long packet never reaches the decoder.
class G729Coder {
public:
    G729Coder();
    ~G729Coder();
    G729Coder(const G729Coder&) = delete;
    G729Coder& operator=(const G729Coder&) = delete;

    // `samples`: 960 bytes of 16-bit little-endian samples; `packet`: room for 60 bytes.
    bool encode(const uint8_t* samples, std::size_t length, uint8_t* packet);
    // `packet`: 60 bytes; `samples`: room for 960 bytes.
    bool decode(const uint8_t* packet, std::size_t length, uint8_t* samples);

private:
    bcg729EncoderChannelContextStruct_struct* encoder_;
    bcg729DecoderChannelContextStruct_struct* decoder_;
};

} // namespace talmor::voice

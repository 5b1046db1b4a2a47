#include "media/voice/g729coder.h"

// The library's headers declare C functions without saying so.
extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include <cstring>

#include "media/voice/audioformat.h"

namespace talmor::voice {

G729Coder::G729Coder()
    // Without voice activity detection every frame is a full 10-byte frame, as a packet
    // of six frames needs.
    : encoder_(initBcg729EncoderChannel(0)), decoder_(initBcg729DecoderChannel()) {}

G729Coder::~G729Coder() {
    closeBcg729EncoderChannel(encoder_);
    closeBcg729DecoderChannel(decoder_);
}

bool G729Coder::encode(const uint8_t* samples, std::size_t length, uint8_t* packet) {
    if (length != kBlockBytes || encoder_ == nullptr) {
        return false;
    }
    int16_t frame[kFrameSamples];
    for (std::size_t i = 0; i < kPacketBytes / kFrameBytes; ++i) {
        std::memcpy(frame, samples + i * sizeof(frame), sizeof(frame));
        uint8_t produced = 0;
        bcg729Encoder(encoder_, frame, packet + i * kFrameBytes, &produced);
        if (produced != kFrameBytes) {
            return false;
        }
    }
    return true;
}

bool G729Coder::decode(const uint8_t* packet, std::size_t length, uint8_t* samples) {
    if (length != kPacketBytes || decoder_ == nullptr) {
        return false;
    }
    int16_t frame[kFrameSamples];
    for (std::size_t i = 0; i < kPacketBytes / kFrameBytes; ++i) {
        bcg729Decoder(decoder_, packet + i * kFrameBytes, kFrameBytes, 0, 0, 0, frame);
        std::memcpy(samples + i * sizeof(frame), frame, sizeof(frame));
    }
    return true;
}

} // namespace talmor::voice

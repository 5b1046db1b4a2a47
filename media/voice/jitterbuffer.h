#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "media/voice/audioformat.h"

namespace talmor::voice {

// The received speech waiting for the playback device. It holds at most 200 ms: a block that
// would make it hold more is dropped, so a burst (a stalled link catching up, packets the
// relay retransmitted) never makes the talk lag behind by more than that. The device pulls
// samples at its own pace. When a packet is late the speech does not stop dead: the last coded
// frame's worth of sound goes on, fading out over one packet, and only then comes silence.
class JitterBuffer {
public:
    static constexpr std::size_t kCapacityBytes = BytesForMs(200);
    // How long a gap is bridged before it falls silent: one packet.
    static constexpr std::size_t kConcealSamples = kBlockBytes / kBytesPerSample;

    // False when the block was dropped because the buffer is full.
    bool push(const uint8_t* samples, std::size_t length);
    // Fills `length` bytes: waiting samples first, then the fading bridge, then silence.
    // Returns the bytes of received speech.
    std::size_t pull(uint8_t* out, std::size_t length);
    void clear();

    std::size_t queuedBytes() const { return queued_; }
    uint64_t accepted() const { return accepted_; }
    uint64_t dropped() const { return dropped_; }
    uint64_t played() const { return played_; }
    // Samples made up to bridge late packets.
    uint64_t concealed() const { return concealed_; }

private:
    void remember(const uint8_t* played, std::size_t length);
    std::size_t conceal(uint8_t* out, std::size_t length);

    std::deque<std::vector<uint8_t>> blocks_;
    std::size_t frontOffset_ = 0; // bytes of the front block already pulled
    std::size_t queued_ = 0;
    uint64_t accepted_ = 0;
    uint64_t dropped_ = 0;
    uint64_t played_ = 0;
    uint64_t concealed_ = 0;
    // The last frame of speech played, oldest sample first, and how far the bridge has gone.
    std::array<int16_t, kFrameSamples> lastFrame_{};
    std::size_t bridged_ = kConcealSamples; // nothing to bridge before the first speech
};

} // namespace talmor::voice

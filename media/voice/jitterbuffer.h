#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "media/voice/audioformat.h"

namespace talmor::voice {

// The received speech waiting for the playback device. It holds at most 200 ms: a block that
// would make it hold more is dropped, so a burst (a stalled link catching up, packets the
// relay retransmitted) never makes the talk lag behind by more than that. The device pulls
// samples at its own pace and gets silence while nothing waits.
class JitterBuffer {
public:
    static constexpr std::size_t kCapacityBytes = BytesForMs(200);

    // False when the block was dropped because the buffer is full.
    bool push(const uint8_t* samples, std::size_t length);
    // Fills `length` bytes: waiting samples first, then silence. Returns the bytes of speech.
    std::size_t pull(uint8_t* out, std::size_t length);
    void clear();

    std::size_t queuedBytes() const { return queued_; }
    uint64_t accepted() const { return accepted_; }
    uint64_t dropped() const { return dropped_; }
    uint64_t played() const { return played_; }

private:
    std::deque<std::vector<uint8_t>> blocks_;
    std::size_t frontOffset_ = 0; // bytes of the front block already pulled
    std::size_t queued_ = 0;
    uint64_t accepted_ = 0;
    uint64_t dropped_ = 0;
    uint64_t played_ = 0;
};

} // namespace talmor::voice

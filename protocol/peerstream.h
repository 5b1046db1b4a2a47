#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "protocol/packet.h"

namespace talmor {

// The receive side of a peer stream: a 4096-byte area that collects the bytes of the
// connection and cuts them into packets by their 2-byte length prefix.
class PeerStreamReader {
public:
    enum class Outcome {
        Waiting,    // every whole packet was handed on; the rest waits for more bytes
        Stopped,    // the receiver asked to stop (its session closed)
        Impossible, // a prefix announced a packet larger than the area: it can never arrive
    };

    // Where the next received bytes go, and how many fit.
    uint8_t* freeSpace() { return area_.data() + count_; }
    std::size_t freeSize() const { return area_.size() - count_; }
    // `size` bytes were written at freeSpace().
    void added(std::size_t size) { count_ += size; }
    std::size_t buffered() const { return count_; }

    // Hands every whole packet of 12 bytes or more to `receive` (shorter ones are skipped),
    // then keeps the unconsumed bytes at the front. `receive` returns false to stop.
    Outcome deframe(const std::function<bool(PeerInPacket&)>& receive);

private:
    std::array<uint8_t, kPacketCapacity> area_{};
    std::size_t count_ = 0;
};

} // namespace talmor

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talmor {

// The packet that carries one compressed picture, the same on the direct and the relayed path:
// u8 counter, one reserved byte, u16 compressed length n least significant byte first, n bytes.
constexpr std::size_t kVideoHeaderBytes = 4;
// The largest packet each transport carries: a direct peer packet holds 4082 bytes of data, a
// relayed request 4064.
constexpr std::size_t kMaxDirectVideoPacket = 4082;
constexpr std::size_t kMaxRelayedVideoPacket = 4064;

// Builds the packet for `counter` and `n` compressed bytes into `out`; false, with `out` empty,
// when the packet would exceed `limit`.
bool BuildVideoPacket(uint8_t counter, const uint8_t* picture, std::size_t n, std::size_t limit,
                      std::vector<uint8_t>& out);

struct VideoPacketView {
    uint8_t counter = 0;
    const uint8_t* picture = nullptr;
    std::size_t size = 0;
};

// Reads a received packet: false when it is shorter than its header, longer than `limit`, or
// its length field disagrees with the bytes that follow.
bool ParseVideoPacket(const uint8_t* data, std::size_t length, std::size_t limit,
                      VideoPacketView& out);

// Tells a picture worth drawing from one that arrives after a newer one was drawn: relayed
// pictures are retransmitted by the datagram layer and may come seconds late.
class PictureOrder {
public:
    // Pictures further ahead than this are taken for stale ones from a previous lap of the
    // counter.
    static constexpr int kAheadWindow = 64;
    // This many refused pictures in a row mean the sender's counter moved on (it restarted, or
    // more than the window was lost): the next one is taken.
    static constexpr int kResyncAfter = 8;

    // True when the picture with `counter` is newer than the last one accepted.
    bool accept(uint8_t counter);
    void reset();

private:
    bool any_ = false;
    uint8_t last_ = 0;
    int refused_ = 0;
};

} // namespace talmor

#include "media/video/codec/videopacket.h"

#include <cstring>

namespace talmor {

bool BuildVideoPacket(uint8_t counter, const uint8_t* picture, std::size_t n, std::size_t limit,
                      std::vector<uint8_t>& out) {
    out.clear();
    if (n > 0xFFFF || kVideoHeaderBytes + n > limit || (n > 0 && picture == nullptr)) {
        return false;
    }
    out.resize(kVideoHeaderBytes + n);
    out[0] = counter;
    out[1] = 0;
    out[2] = static_cast<uint8_t>(n & 0xFF);
    out[3] = static_cast<uint8_t>(n >> 8);
    if (n > 0) {
        std::memcpy(out.data() + kVideoHeaderBytes, picture, n);
    }
    return true;
}

bool ParseVideoPacket(const uint8_t* data, std::size_t length, std::size_t limit,
                      VideoPacketView& out) {
    if (data == nullptr || length < kVideoHeaderBytes || length > limit) {
        return false;
    }
    const std::size_t n = data[2] | (std::size_t{data[3]} << 8);
    if (n != length - kVideoHeaderBytes) {
        return false;
    }
    out.counter = data[0];
    out.picture = data + kVideoHeaderBytes;
    out.size = n;
    return true;
}

bool PictureOrder::accept(uint8_t counter) {
    const int ahead = static_cast<uint8_t>(counter - last_);
    if (!any_ || (ahead >= 1 && ahead <= kAheadWindow) || refused_ + 1 >= kResyncAfter) {
        any_ = true;
        last_ = counter;
        refused_ = 0;
        return true;
    }
    ++refused_;
    return false;
}

void PictureOrder::reset() {
    any_ = false;
    last_ = 0;
    refused_ = 0;
}

} // namespace talmor

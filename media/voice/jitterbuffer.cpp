#include "media/voice/jitterbuffer.h"

#include <algorithm>
#include <cstring>

namespace talmor::voice {

bool JitterBuffer::push(const uint8_t* samples, std::size_t length) {
    if (length == 0) {
        return true;
    }
    if (queued_ + length > kCapacityBytes) {
        ++dropped_;
        return false;
    }
    blocks_.emplace_back(samples, samples + length);
    queued_ += length;
    ++accepted_;
    return true;
}

std::size_t JitterBuffer::pull(uint8_t* out, std::size_t length) {
    std::size_t filled = 0;
    while (filled < length && !blocks_.empty()) {
        const std::vector<uint8_t>& front = blocks_.front();
        const std::size_t take = std::min(length - filled, front.size() - frontOffset_);
        std::memcpy(out + filled, front.data() + frontOffset_, take);
        filled += take;
        frontOffset_ += take;
        queued_ -= take;
        if (frontOffset_ == front.size()) {
            blocks_.pop_front();
            frontOffset_ = 0;
            ++played_;
        }
    }
    std::memset(out + filled, 0, length - filled);
    return filled;
}

void JitterBuffer::clear() {
    blocks_.clear();
    frontOffset_ = 0;
    queued_ = 0;
}

} // namespace talmor::voice

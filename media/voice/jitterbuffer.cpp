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
    if (filled > 0) {
        remember(out, filled);
    }
    const std::size_t bridged = conceal(out + filled, length - filled);
    std::memset(out + filled + bridged, 0, length - filled - bridged);
    return filled;
}

void JitterBuffer::remember(const uint8_t* played, std::size_t length) {
    const std::size_t samples = length / kBytesPerSample;
    const std::size_t keep = std::min(samples, lastFrame_.size());
    // Slide the frame along by what was played, then copy in its newest samples.
    std::move(lastFrame_.begin() + static_cast<std::ptrdiff_t>(keep), lastFrame_.end(),
              lastFrame_.begin());
    std::memcpy(lastFrame_.data() + (lastFrame_.size() - keep),
                played + (samples - keep) * kBytesPerSample, keep * kBytesPerSample);
    bridged_ = 0;
}

std::size_t JitterBuffer::conceal(uint8_t* out, std::size_t length) {
    const std::size_t samples = std::min(length / kBytesPerSample, kConcealSamples - bridged_);
    for (std::size_t i = 0; i < samples; ++i, ++bridged_) {
        // The last frame repeated (it continues a voiced sound's period), fading to nothing.
        const double gain = 1.0 - static_cast<double>(bridged_ + 1) / kConcealSamples;
        const auto value = static_cast<int16_t>(lastFrame_[bridged_ % lastFrame_.size()] * gain);
        std::memcpy(out + i * kBytesPerSample, &value, kBytesPerSample);
    }
    concealed_ += samples;
    return samples * kBytesPerSample;
}

void JitterBuffer::clear() {
    blocks_.clear();
    frontOffset_ = 0;
    queued_ = 0;
    bridged_ = kConcealSamples;
}

} // namespace talmor::voice

#pragma once

#include <cstddef>

namespace talmor::voice {

// The one sound format of a talk: 8000 samples a second, one channel, 16-bit little-endian
// samples, moved in blocks of 60 ms.
constexpr int kSampleRate = 8000;
constexpr std::size_t kBytesPerSample = 2;
constexpr std::size_t kBlockBytes = 960;  // 480 samples, 60 ms
constexpr std::size_t kPacketBytes = 60;  // six coded frames of 10 ms
constexpr std::size_t kFrameSamples = 80; // one coded frame
constexpr std::size_t kFrameBytes = 10;

constexpr std::size_t BytesForMs(int ms) {
    return static_cast<std::size_t>(ms) * kSampleRate / 1000 * kBytesPerSample;
}

} // namespace talmor::voice

// The speech coder's cost per 60 ms packet (encode and decode) through the console's coder,
// beside the same six frames coded by bcg729 called bare in the same run. core_percent is the
// share of one core that a two-way talk costs a console (one packet coded and one decoded
// every 60 ms).
#include <benchmark/benchmark.h>

extern "C" {
#include <bcg729/decoder.h>
#include <bcg729/encoder.h>
}

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "media/voice/audioformat.h"
#include "media/voice/g729coder.h"

namespace talmor::voice {
namespace {

// Two seconds of a voice-like signal: a few harmonics under a slow swell.
std::vector<uint8_t> Speech() {
    std::vector<uint8_t> bytes(kBlockBytes * 33);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double swell = 0.5 + 0.5 * std::sin(2 * M_PI * 3 * t);
        const double value =
            swell * (4000 * std::sin(2 * M_PI * 220 * t) + 2000 * std::sin(2 * M_PI * 660 * t) +
                     1000 * std::sin(2 * M_PI * 1540 * t));
        const auto sample = static_cast<int16_t>(value);
        std::memcpy(bytes.data() + 2 * i, &sample, 2);
    }
    return bytes;
}

void ReportShare(benchmark::State& state) {
    // Seconds of work per 60 ms of talk, as a percentage of one core.
    state.counters["core_percent"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.060 / 100,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void VoiceCoderPacket(benchmark::State& state) {
    const std::vector<uint8_t> speech = Speech();
    G729Coder coder;
    uint8_t packet[kPacketBytes];
    uint8_t samples[kBlockBytes];
    std::size_t at = 0;
    for (auto _ : state) {
        coder.encode(speech.data() + at, kBlockBytes, packet);
        coder.decode(packet, kPacketBytes, samples);
        benchmark::DoNotOptimize(samples);
        at = (at + kBlockBytes) % speech.size();
    }
    ReportShare(state);
}
BENCHMARK(VoiceCoderPacket);

void Bcg729BarePacket(benchmark::State& state) {
    const std::vector<uint8_t> speech = Speech();
    bcg729EncoderChannelContextStruct* encoder = initBcg729EncoderChannel(0);
    bcg729DecoderChannelContextStruct* decoder = initBcg729DecoderChannel();
    int16_t in[kFrameSamples];
    int16_t out[kFrameSamples];
    uint8_t frame[kFrameBytes];
    std::size_t at = 0;
    for (auto _ : state) {
        for (std::size_t f = 0; f < kPacketBytes / kFrameBytes; ++f) {
            std::memcpy(in, speech.data() + at + f * sizeof(in), sizeof(in));
            uint8_t length = 0;
            bcg729Encoder(encoder, in, frame, &length);
            bcg729Decoder(decoder, frame, length, 0, 0, 0, out);
            benchmark::DoNotOptimize(out);
        }
        at = (at + kBlockBytes) % speech.size();
    }
    ReportShare(state);
    closeBcg729EncoderChannel(encoder);
    closeBcg729DecoderChannel(decoder);
}
BENCHMARK(Bcg729BarePacket);

} // namespace
} // namespace talmor::voice

BENCHMARK_MAIN();

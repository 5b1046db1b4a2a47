#include "support/testaudio.h"

#include <cmath>
#include <cstring>

#include "media/voice/audioformat.h"

namespace talmor::voice::testing {

QByteArray TestOutput::drain(std::size_t bytes) {
    QByteArray out(static_cast<qsizetype>(bytes), '\0');
    if (source_ != nullptr) {
        source_->pull(reinterpret_cast<uint8_t*>(out.data()), bytes);
    }
    return out;
}

std::unique_ptr<AudioInput> TestAudioBackend::makeInput(const QString& device) {
    inputNames.push_back(device);
    auto made = std::make_unique<TestInput>(inputOpens);
    input = made.get();
    return made;
}

std::unique_ptr<AudioOutput> TestAudioBackend::makeOutput(const QString& device) {
    outputNames.push_back(device);
    auto made = std::make_unique<TestOutput>(outputOpens);
    output = made.get();
    return made;
}

QByteArray Tone(double hz, int ms, double amplitude, int phase) {
    const int count = kSampleRate * ms / 1000;
    QByteArray out(count * 2, '\0');
    for (int i = 0; i < count; ++i) {
        const auto sample = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * M_PI * hz * (i + phase) / kSampleRate)));
        std::memcpy(out.data() + 2 * i, &sample, 2);
    }
    return out;
}

namespace {
std::vector<double> Samples(const QByteArray& bytes) {
    std::vector<double> samples(static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        int16_t s = 0;
        std::memcpy(&s, bytes.constData() + 2 * i, 2);
        samples[i] = s;
    }
    return samples;
}
} // namespace

double DominantFrequency(const QByteArray& bytes) {
    const std::vector<double> samples = Samples(bytes);
    double best = 0;
    double bestPower = -1;
    for (int hz = 100; hz < 4000; hz += 10) {
        // Goertzel: the energy of one frequency.
        const double coefficient = 2 * std::cos(2 * M_PI * hz / kSampleRate);
        double s1 = 0;
        double s2 = 0;
        for (double x : samples) {
            const double s0 = x + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

double Level(const QByteArray& bytes) {
    const std::vector<double> samples = Samples(bytes);
    double sum = 0;
    for (double x : samples) {
        sum += x * x;
    }
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

} // namespace talmor::voice::testing

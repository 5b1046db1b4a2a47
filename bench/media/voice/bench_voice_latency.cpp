// The one-way delay of a direct voice talk: a click played into console A's microphone (a
// source remapped from the monitor of a null sink of a private PulseAudio) until it comes out of
// console B's loudspeaker (the null sink "b"), beside the same click through the same devices
// looped in one process without the talk (capture, the jitter buffer, playback). Both are timed by
// the same clock at the same two points, so what the instrument itself adds is the same in both;
// the difference is what the talk adds: coding, the peer session, decoding and the jitter buffer.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "media/voice/audioformat.h"
#include "media/voice/jitterbuffer.h"
#include "media/voice/qtaudio.h"
#include "protocol/trace.h"
#include "support/eventloop.h"
#include "support/privatesound.h"
#include "support/qtapp.h"
#include "support/talkpair.h"

namespace {

using namespace talmor;
using namespace talmor::voice;
using talmor::voice::testing::PrivateSound;
using talmor::voice::testing::TalkPair;

constexpr int kClicks = 12;
constexpr int kClickMs = 40;
constexpr int kSpacingMs = 600;
constexpr int kThreshold = 2000;

// Silence, and a 1 kHz burst when asked; notes the moment the burst left for the device.
class ClickSource : public QIODevice {
public:
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 + QIODevice::bytesAvailable(); }
    void click() { pending_ = true; }
    std::optional<qint64> takeEmitted() {
        auto out = emitted_;
        emitted_.reset();
        return out;
    }
    QElapsedTimer clock;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 samples = maxSize / 2;
        for (qint64 i = 0; i < samples; ++i) {
            int16_t value = 0;
            if (pending_ && left_ == 0) {
                pending_ = false;
                left_ = kSampleRate * kClickMs / 1000;
                phase_ = 0;
                emitted_ = clock.nsecsElapsed() + i * 1000000000LL / kSampleRate;
            }
            if (left_ > 0) {
                value = static_cast<int16_t>(12000 *
                                             std::sin(2 * M_PI * 1000 * phase_++ / kSampleRate));
                --left_;
            }
            std::memcpy(data + 2 * i, &value, 2);
        }
        return samples * 2;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool pending_ = false;
    int left_ = 0;
    int phase_ = 0;
    std::optional<qint64> emitted_;
};

// Listens to a sink's monitor and notes when the first loud sample after each click arrived.
class ClickListener {
public:
    ClickListener(const QAudioDevice& device, QElapsedTimer& clock) : clock_(clock) {
        source_ = std::make_unique<QAudioSource>(device, TalkFormat());
        source_->setBufferSize(960);
        io_ = source_->start();
        QObject::connect(io_, &QIODevice::readyRead, [this] { read(); });
    }
    void arm() {
        armed_ = true;
        heard_.reset();
    }
    std::optional<qint64> heard() const { return heard_; }

private:
    void read() {
        const QByteArray bytes = io_->readAll();
        const qint64 now = clock_.nsecsElapsed();
        const qsizetype samples = bytes.size() / 2;
        for (qsizetype i = 0; armed_ && i < samples; ++i) {
            int16_t value = 0;
            std::memcpy(&value, bytes.constData() + 2 * i, 2);
            if (std::abs(value) > kThreshold) {
                // The sample was captured as long before now as the samples after it last.
                heard_ = now - (samples - i) * 1000000000LL / kSampleRate;
                armed_ = false;
            }
        }
    }
    QElapsedTimer& clock_;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* io_ = nullptr;
    bool armed_ = false;
    std::optional<qint64> heard_;
};

// Clicks into "micA" and times each until the listener hears it; the median in milliseconds.
std::optional<double> Measure(ClickSource& clicks, ClickListener& listener) {
    std::vector<double> delays;
    for (int i = 0; i < kClicks; ++i) {
        e2e::waitFor([] { return false; }, kSpacingMs);
        listener.arm();
        clicks.takeEmitted();
        clicks.click();
        std::optional<qint64> emitted;
        const bool heard = e2e::waitFor(
            [&] {
                if (!emitted) {
                    emitted = clicks.takeEmitted();
                }
                return emitted && listener.heard();
            },
            3000);
        if (heard) {
            delays.push_back(double(*listener.heard() - *emitted) / 1e6);
        }
    }
    if (delays.size() < kClicks / 2) {
        return std::nullopt;
    }
    std::sort(delays.begin(), delays.end());
    return delays[delays.size() / 2];
}

int Fail(const char* what) {
    std::fprintf(stderr, "bench_voice_latency: %s\n", what);
    return 1;
}

} // namespace

int main() {
    talmor::testing::EnsureApplication();
    setTraceSink([](const std::string&) {});
    if (const auto missing = PrivateSound::unavailable()) {
        std::printf("bench_voice_latency skipped: %s\n", qPrintable(*missing));
        return 0;
    }
    PrivateSound sound;
    if (const auto error = sound.start()) {
        return Fail(qPrintable(*error));
    }
    int result = 0;
    {
        if (!sound.addSink(QStringLiteral("micA")) || !sound.addSink(QStringLiteral("micB")) ||
            !sound.addListenable(QStringLiteral("b"))) {
            sound.stop();
            return Fail("no null sinks for the microphones");
        }
        std::optional<QAudioDevice> micA;
        std::optional<QAudioDevice> bMonitor;
        // The device lists follow the server's announcements, which come a moment later.
        e2e::waitFor(
            [&] {
                micA = FindDevice(QMediaDevices::audioOutputs(), {}, QStringLiteral("micA"));
                bMonitor = FindDevice(QMediaDevices::audioInputs(), {}, QStringLiteral("b_in"));
                return micA && bMonitor;
            },
            10000);
        if (!micA || !bMonitor) {
            sound.stop();
            return Fail("the devices of the private sound server are not listed");
        }
        ClickSource clicks;
        clicks.clock.start();
        clicks.open(QIODevice::ReadOnly);
        QAudioSink player(*micA, TalkFormat());
        player.setBufferSize(960);
        player.start(&clicks);
        ClickListener listener(*bMonitor, clicks.clock);

        // The devices alone: what micA plays captured and played into "b" by the console's own
        // device classes, joined by a jitter buffer.
        std::optional<double> alone;
        {
            QtAudioBackend backend;
            JitterBuffer jitter;
            auto input = backend.makeInput(QStringLiteral("micA_in"));
            auto output = backend.makeOutput(QStringLiteral("b"));
            QObject::connect(input.get(), &AudioInput::blockReady, [&](const QByteArray& block) {
                jitter.push(reinterpret_cast<const uint8_t*>(block.constData()),
                            static_cast<std::size_t>(block.size()));
            });
            if (output->start(jitter) && input->start()) {
                alone = Measure(clicks, listener);
            }
        }

        // The direct talk: A hears micA, B plays into "b".
        std::optional<double> talk;
        {
            TalkPair pair;
            std::optional<QString> error = pair.startServer(QStringLiteral(TALMOR_CONTACTS_SEED));
            if (!error) {
                error = pair.start(TalkPair::kA, QStringLiteral("micA_in"), QStringLiteral("a"));
            }
            if (!error) {
                error = pair.start(TalkPair::kB, QStringLiteral("micB_in"), QStringLiteral("b"));
            }
            if (!error) {
                error = pair.waitBothOnline();
            }
            if (!error) {
                error = pair.talk();
            }
            if (error) {
                std::fprintf(stderr, "bench_voice_latency: %s\n", qPrintable(*error));
            } else {
                talk = Measure(clicks, listener);
            }
        }
        player.stop();

        if (!alone || !talk) {
            result = Fail("a click was not heard");
        } else {
            std::printf("one-way delay of the sound devices alone (capture -> jitter buffer -> "
                        "playback): %.1f ms (median of %d clicks)\n",
                        *alone, kClicks);
            std::printf("one-way delay of a direct talk (A's microphone -> B's loudspeaker): "
                        "%.1f ms\n",
                        *talk);
            std::printf("added by the talk: %.1f ms (goal: under 150 ms)\n", *talk - *alone);
        }
    }
    sound.stop();
    return result;
}

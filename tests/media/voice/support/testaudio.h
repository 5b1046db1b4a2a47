#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "media/voice/audiodevices.h"
#include "media/voice/jitterbuffer.h"
#include "media/voice/reblocker.h"

namespace talmor::voice::testing {

// A capture device the test speaks into: whatever it feeds is cut into 60 ms blocks.
class TestInput : public AudioInput {
public:
    explicit TestInput(bool opens)
        : opens_(opens), reblocker_([this](const QByteArray& b) { emit blockReady(b); }) {}
    bool start() override { return running = opens_; }
    void stop() override { running = false; }
    void setVolume(double v) override { volume_ = v; }
    double volume() const override { return volume_; }
    // A device that is not capturing delivers nothing.
    void feed(const QByteArray& samples) {
        if (running) {
            reblocker_.push(samples.constData(), samples.size());
        }
    }

    bool running = false;

private:
    bool opens_;
    Reblocker reblocker_;
    double volume_ = 0.5;
};

// A playback device the test drains by hand.
class TestOutput : public AudioOutput {
public:
    explicit TestOutput(bool opens) : opens_(opens) {}
    bool start(JitterBuffer& source) override {
        source_ = opens_ ? &source : nullptr;
        return opens_;
    }
    void stop() override { source_ = nullptr; }
    void setVolume(double v) override { volume_ = v; }
    double volume() const override { return volume_; }
    bool running() const { return source_ != nullptr; }
    // What the device plays next: `bytes` of samples, silence where nothing waits.
    QByteArray drain(std::size_t bytes);

private:
    bool opens_;
    JitterBuffer* source_ = nullptr;
    double volume_ = 0.75;
};

// Makes test devices and remembers the last of each (they live as long as their talk).
class TestAudioBackend : public AudioBackend {
public:
    std::unique_ptr<AudioInput> makeInput(const QString& device) override;
    std::unique_ptr<AudioOutput> makeOutput(const QString& device) override;

    bool inputOpens = true;
    bool outputOpens = true;
    std::vector<QString> inputNames;
    std::vector<QString> outputNames;
    TestInput* input = nullptr;
    TestOutput* output = nullptr;
};

// `ms` of a sine tone at `hz`, 8000 Hz 16-bit little-endian samples, starting at `phase` samples.
QByteArray Tone(double hz, int ms, double amplitude = 8000, int phase = 0);
// The frequency (in steps of 10 Hz from 100 to 3900 Hz) with the most energy in `samples`.
double DominantFrequency(const QByteArray& samples);
// Root mean square of the samples.
double Level(const QByteArray& samples);

} // namespace talmor::voice::testing

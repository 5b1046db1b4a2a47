#pragma once

#include <QString>

#include <optional>

namespace talmor::voice::testing {

// A PulseAudio of the test program's own, in a fresh runtime folder: two null sinks, "a" and
// "b" (one output per console), and two sine sources, "toneA" at 1000 Hz and "toneB" at 600 Hz
// (one microphone per console). Qt Multimedia finds it through XDG_RUNTIME_DIR, which is set
// before the first device is opened.
class PrivateSound {
public:
    static constexpr int kToneA = 1000;
    static constexpr int kToneB = 600;

    // Why the sound server is missing from this machine, or nothing when it is there.
    static std::optional<QString> unavailable();
    // Starts the server and loads the devices; an error text when that failed.
    std::optional<QString> start();
    // One more null sink, with a source "<name>_in" that captures what is played into it (a
    // microphone the test speaks into; Qt lists no monitor sources).
    bool addSink(const QString& name) const;
    // A source "<sink>_in" that captures what an existing sink plays.
    bool addListenable(const QString& sink) const;
    // Stops the server and removes its folder.
    void stop();

    // What `pactl` prints for `arguments`, or nothing when it fails.
    std::optional<QString> pactl(const QStringList& arguments) const;
    // Records the monitor of `sink` for `ms` milliseconds (8000 Hz, mono, 16-bit) while the
    // event loop runs.
    QByteArray recordMonitor(const QString& sink, int ms) const;
    // The playback and capture streams open on the server now (call it while no recording
    // runs: the recorder is a stream too).
    int openStreams() const;

private:
    QString folder_;
};

} // namespace talmor::voice::testing

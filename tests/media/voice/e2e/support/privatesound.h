#pragma once

#include <QProcess>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace talmor::voice::testing {

// A PulseAudio of the test program's own, in a fresh runtime folder: two null sinks, "a" and
// "b" (one output per console), and two microphones, "toneA" hearing 1000 Hz and "toneB" hearing
// 600 Hz (one per console). Qt Multimedia finds it through XDG_RUNTIME_DIR, which is set before
// the first device is opened.
//
// A microphone is the monitor of a null sink that a player process of its own keeps playing the
// tone into: it delivers a steady stream in the pieces its reader asks for, as a real capture
// device does. The server's own sine source would not do: its latency is fixed at 2 seconds, so
// it hands over 2 seconds of sound at once, however small the pieces asked for.
class PrivateSound {
public:
    static constexpr int kToneA = 1000;
    static constexpr int kToneB = 600;

    // Why the sound server is missing from this machine, or nothing when it is there.
    static std::optional<QString> unavailable();
    // Starts the server and loads the devices; an error text when that failed.
    std::optional<QString> start();
    // One more null sink, with a source `source` (empty: "<name>_in") that captures what is
    // played into it (a microphone the test speaks into; Qt lists no monitor sources).
    bool addSink(const QString& name, const QString& source = {}) const;
    // A source `source` (empty: "<sink>_in") that captures what an existing sink plays.
    bool addListenable(const QString& sink, const QString& source = {}) const;
    // Plays `samples` (8000 Hz, mono, 16-bit) into `sink` over and over from a process of its
    // own, so the test's busy event loop never starves it, until `stop()`.
    bool play(const QString& sink, const QByteArray& samples);
    // Stops the server and removes its folder.
    void stop();

    // What `pactl` prints for `arguments`, or nothing when it fails.
    std::optional<QString> pactl(const QStringList& arguments) const;
    // Records the monitor of `sink` for `ms` milliseconds (8000 Hz, mono, 16-bit) while the
    // event loop runs.
    QByteArray recordMonitor(const QString& sink, int ms) const;
    // The playback and capture streams this program's sound devices hold open on the server now
    // (the microphones' players and the recorder are other programs).
    int openStreams() const;

private:
    QString folder_;
    std::vector<std::unique_ptr<QProcess>> players_;
};

} // namespace talmor::voice::testing

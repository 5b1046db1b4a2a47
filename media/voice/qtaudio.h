#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QList>

#include <optional>

#include "media/voice/audiodevices.h"

namespace talmor::voice {

// The talk's sample format: 8000 Hz, mono, 16-bit.
QAudioFormat TalkFormat();

// The device of `devices` named `name` by its identifier (for PulseAudio the sink or source
// name) or description; `fallback` (the system default) for an empty name; none when there is
// no such device.
std::optional<QAudioDevice> FindDevice(const QList<QAudioDevice>& devices,
                                       const QAudioDevice& fallback, const QString& name);

// The console's sound devices through Qt Multimedia. A device is named by its identifier (for
// PulseAudio the sink or source name) or by its description.
class QtAudioBackend : public AudioBackend {
public:
    std::unique_ptr<AudioInput> makeInput(const QString& device) override;
    std::unique_ptr<AudioOutput> makeOutput(const QString& device) override;
};

} // namespace talmor::voice

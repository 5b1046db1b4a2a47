#pragma once

#include "media/voice/audiodevices.h"

namespace talmor::voice {

// The console's sound devices through Qt Multimedia. A device is named by its identifier (for
// PulseAudio the sink or source name) or by its description.
class QtAudioBackend : public AudioBackend {
public:
    std::unique_ptr<AudioInput> makeInput(const QString& device) override;
    std::unique_ptr<AudioOutput> makeOutput(const QString& device) override;
};

} // namespace talmor::voice

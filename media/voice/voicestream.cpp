#include "media/voice/voicestream.h"

#include "media/voice/audioformat.h"

namespace talmor::voice {

VoiceStream::VoiceStream(AudioBackend& backend, const QString& inputDevice,
                         const QString& outputDevice, Send send)
    : input_(backend.makeInput(inputDevice)), output_(backend.makeOutput(outputDevice)),
      send_(std::move(send)) {
    connect(input_.get(), &AudioInput::blockReady, this, &VoiceStream::captured);
}

VoiceStream::~VoiceStream() {
    stop();
}

VoiceStream::Opened VoiceStream::start() {
    outputOpen_ = output_->start(jitter_);
    inputOpen_ = input_->start();
    return {inputOpen_, outputOpen_};
}

void VoiceStream::stop() {
    if (inputOpen_) {
        input_->stop();
        inputOpen_ = false;
    }
    if (outputOpen_) {
        output_->stop();
        outputOpen_ = false;
    }
    jitter_.clear();
}

void VoiceStream::captured(const QByteArray& block) {
    uint8_t packet[kPacketBytes];
    if (!coder_.encode(reinterpret_cast<const uint8_t*>(block.constData()),
                       static_cast<std::size_t>(block.size()), packet)) {
        return;
    }
    ++sent_;
    send_(packet, sizeof(packet));
}

bool VoiceStream::receive(const uint8_t* data, std::size_t length) {
    uint8_t samples[kBlockBytes];
    if (!outputOpen_ || !coder_.decode(data, length, samples)) {
        return false;
    }
    return jitter_.push(samples, sizeof(samples));
}

} // namespace talmor::voice

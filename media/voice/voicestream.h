#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "media/voice/audiodevices.h"
#include "media/voice/g729coder.h"
#include "media/voice/jitterbuffer.h"

namespace talmor::voice {

// The sound of one running talk: captured blocks are coded and sent, received packets are
// decoded into the jitter buffer that the playback device drains.
class VoiceStream : public QObject {
    Q_OBJECT
public:
    using Send = std::function<void(const uint8_t* packet, std::size_t length)>;
    struct Opened {
        bool input = false;
        bool output = false;
    };

    VoiceStream(AudioBackend& backend, const QString& inputDevice, const QString& outputDevice,
                Send send);
    ~VoiceStream() override;

    // Opens both devices and starts capturing; says which could be opened.
    Opened start();
    void stop();
    // A packet of the peer: played when it is one 60-byte packet, else ignored. False when it
    // was not played (wrong length, or the jitter buffer is full).
    bool receive(const uint8_t* data, std::size_t length);

    AudioInput& input() { return *input_; }
    AudioOutput& output() { return *output_; }
    JitterBuffer& jitter() { return jitter_; }
    uint64_t sentPackets() const { return sent_; }

private:
    void captured(const QByteArray& block);

    std::unique_ptr<AudioInput> input_;
    std::unique_ptr<AudioOutput> output_;
    G729Coder coder_;
    JitterBuffer jitter_;
    Send send_;
    bool inputOpen_ = false;
    bool outputOpen_ = false;
    uint64_t sent_ = 0;
};

} // namespace talmor::voice

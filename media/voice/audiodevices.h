#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace talmor::voice {

class JitterBuffer;

// A capture device in the talk's format. Once started it hands over whole 60 ms blocks.
class AudioInput : public QObject {
    Q_OBJECT
public:
    ~AudioInput() override = default;
    // False when the device cannot be opened.
    virtual bool start() = 0;
    virtual void stop() = 0;
    // The stream's own volume, 0 to 1; other programs' sound is left alone.
    virtual void setVolume(double volume) = 0;
    virtual double volume() const = 0;

signals:
    void blockReady(const QByteArray& block); // 960 bytes
};

// A playback device in the talk's format. It pulls its samples from `source` at its own
// pace, silence included, until stopped.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // False when the device cannot be opened.
    virtual bool start(JitterBuffer& source) = 0;
    virtual void stop() = 0;
    virtual void setVolume(double volume) = 0;
    virtual double volume() const = 0;
};

// Makes the devices of a talk by their configured names; an empty name is the system's
// default device.
class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    virtual std::unique_ptr<AudioInput> makeInput(const QString& device) = 0;
    virtual std::unique_ptr<AudioOutput> makeOutput(const QString& device) = 0;
};

} // namespace talmor::voice

#include "media/voice/qtaudio.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>

#include <optional>

#include "media/voice/audioformat.h"
#include "media/voice/jitterbuffer.h"
#include "media/voice/reblocker.h"

namespace talmor::voice {

QAudioFormat TalkFormat() {
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

std::optional<QAudioDevice> FindDevice(const QList<QAudioDevice>& devices,
                                       const QAudioDevice& fallback, const QString& name) {
    if (name.isEmpty()) {
        return fallback.isNull() ? std::nullopt : std::optional<QAudioDevice>(fallback);
    }
    for (const QAudioDevice& device : devices) {
        if (QString::fromUtf8(device.id()) == name || device.description() == name) {
            return device;
        }
    }
    return std::nullopt;
}

namespace {

// The device end of the jitter buffer: it never runs dry, so the sink plays silence between
// packets instead of stopping.
class JitterDevice : public QIODevice {
public:
    explicit JitterDevice(JitterBuffer& source) : source_(source) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return kBlockBytes + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        // Whole samples only, so the stream never slips by a byte.
        const auto size = static_cast<std::size_t>(maxSize) & ~std::size_t{1};
        source_.pull(reinterpret_cast<uint8_t*>(data), size);
        return static_cast<qint64>(size);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    JitterBuffer& source_;
};

class QtAudioInput : public AudioInput {
public:
    explicit QtAudioInput(QString name)
        : name_(std::move(name)), reblocker_([this](const QByteArray& b) { emit blockReady(b); }) {}
    ~QtAudioInput() override { stop(); }

    bool start() override {
        const std::optional<QAudioDevice> device =
            FindDevice(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), name_);
        if (!device || !device->isFormatSupported(TalkFormat())) {
            return false;
        }
        source_ = std::make_unique<QAudioSource>(*device, TalkFormat());
        source_->setBufferSize(static_cast<qsizetype>(kBlockBytes));
        source_->setVolume(volume_);
        io_ = source_->start();
        if (io_ == nullptr || source_->error() != QAudio::NoError) {
            source_.reset();
            io_ = nullptr;
            return false;
        }
        QObject::connect(io_, &QIODevice::readyRead, this, [this] {
            const QByteArray bytes = io_->readAll();
            reblocker_.push(bytes.constData(), bytes.size());
        });
        return true;
    }
    void stop() override {
        if (source_) {
            source_->stop();
            source_.reset();
            io_ = nullptr;
        }
        reblocker_.clear();
    }
    void setVolume(double volume) override {
        volume_ = volume;
        if (source_) {
            source_->setVolume(volume);
        }
    }
    double volume() const override { return source_ ? source_->volume() : volume_; }

private:
    QString name_;
    Reblocker reblocker_;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* io_ = nullptr;
    double volume_ = 1.0;
};

class QtAudioOutput : public AudioOutput {
public:
    explicit QtAudioOutput(QString name) : name_(std::move(name)) {}
    ~QtAudioOutput() override { stop(); }

    bool start(JitterBuffer& source) override {
        const std::optional<QAudioDevice> device =
            FindDevice(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), name_);
        if (!device || !device->isFormatSupported(TalkFormat())) {
            return false;
        }
        feed_ = std::make_unique<JitterDevice>(source);
        // Unbuffered: a buffered device would read ahead a second of the jitter buffer at
        // once, and the talk would lag by that second.
        feed_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        sink_ = std::make_unique<QAudioSink>(*device, TalkFormat());
        // The device's own buffer adds to the talk's delay: one packet's worth keeps it short.
        sink_->setBufferSize(static_cast<qsizetype>(kBlockBytes));
        sink_->setVolume(volume_);
        sink_->start(feed_.get());
        if (sink_->error() != QAudio::NoError) {
            stop();
            return false;
        }
        return true;
    }
    void stop() override {
        if (sink_) {
            sink_->stop();
            sink_.reset();
        }
        feed_.reset();
    }
    void setVolume(double volume) override {
        volume_ = volume;
        if (sink_) {
            sink_->setVolume(volume);
        }
    }
    double volume() const override { return sink_ ? sink_->volume() : volume_; }

private:
    QString name_;
    std::unique_ptr<JitterDevice> feed_;
    std::unique_ptr<QAudioSink> sink_;
    double volume_ = 1.0;
};

} // namespace

std::unique_ptr<AudioInput> QtAudioBackend::makeInput(const QString& device) {
    return std::make_unique<QtAudioInput>(device);
}

std::unique_ptr<AudioOutput> QtAudioBackend::makeOutput(const QString& device) {
    return std::make_unique<QtAudioOutput>(device);
}

} // namespace talmor::voice

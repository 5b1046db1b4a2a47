#include "media/voice/sendwavedlg.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSlider>

#include <cmath>

#include "media/voice/voicetexts.h"

namespace talmor {

namespace {

constexpr int kSliderMax = 100;

QSlider* VolumeSlider(QWidget* parent, const char* name, const char* tip) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(0, kSliderMax);
    slider->setToolTip(QString::fromUtf8(tip));
    return slider;
}

int Position(double volume) {
    return static_cast<int>(std::lround(volume * kSliderMax));
}

} // namespace

CSendWaveDlg::CSendWaveDlg(WindowRegistry& registry, uint32_t peer, QWidget& chat,
                           std::unique_ptr<voice::VoiceStream> stream)
    : QWidget(&chat), RegisteredWindow(registry, kWindowType, peer, 0), stream_(std::move(stream)) {
    setObjectName(QStringLiteral("voiceStrip"));
    input_ = VolumeSlider(this, "slider1026", voice::texts::kInputVolumeTip);
    output_ = VolumeSlider(this, "slider1027", voice::texts::kOutputVolumeTip);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(input_);
    row->addWidget(output_);
    // Each slider sets its stream's own volume, whether or not sound flows just now.
    connect(input_, &QSlider::valueChanged, this,
            [this](int value) { stream_->input().setVolume(double(value) / kSliderMax); });
    connect(output_, &QSlider::valueChanged, this,
            [this](int value) { stream_->output().setVolume(double(value) / kSliderMax); });
    chat.installEventFilter(this);
    place();
}

CSendWaveDlg::~CSendWaveDlg() {
    stream_->stop();
}

voice::VoiceStream::Opened CSendWaveDlg::start() {
    const voice::VoiceStream::Opened opened = stream_->start();
    const QSignalBlocker inputBlock(input_);
    const QSignalBlocker outputBlock(output_);
    input_->setValue(Position(stream_->input().volume()));
    output_->setValue(Position(stream_->output().volume()));
    return opened;
}

void CSendWaveDlg::place() {
    const QWidget* chat = parentWidget();
    setGeometry(kX, chat->height() - kFromBottom, kWidth, kHeight);
    raise();
}

bool CSendWaveDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        place();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace talmor

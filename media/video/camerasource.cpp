#include "media/video/camerasource.h"

#include <QCamera>
#include <QCameraDevice>
#include <QImage>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

#include <cstring>

#include "media/video/codec/picturecodec.h"

namespace talmor {

CameraSource::CameraSource(QObject* parent) : VideoSource(parent) {}

CameraSource::~CameraSource() {
    stop();
}

bool CameraSource::start() {
    stop();
    const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
    if (inputs.isEmpty()) {
        return false;
    }
    camera_ = std::make_unique<QCamera>(inputs.first());
    session_ = std::make_unique<QMediaCaptureSession>();
    sink_ = std::make_unique<QVideoSink>();
    session_->setCamera(camera_.get());
    session_->setVideoSink(sink_.get());
    connect(sink_.get(), &QVideoSink::videoFrameChanged, this, &CameraSource::onFrame,
            Qt::QueuedConnection);
    connect(camera_.get(), &QCamera::errorOccurred, this, [this](QCamera::Error error) {
        if (error != QCamera::NoError) {
            emit failed();
        }
    });
    camera_->start();
    if (camera_->error() != QCamera::NoError) {
        stop();
        return false;
    }
    return true;
}

void CameraSource::stop() {
    if (camera_ != nullptr) {
        camera_->stop();
    }
    sink_.reset();
    session_.reset();
    camera_.reset();
}

void CameraSource::onFrame(const QVideoFrame& frame) {
    if (camera_ == nullptr) {
        return;
    }
    const QImage image =
        frame.toImage()
            .scaled(kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB888);
    if (image.width() != kPictureWidth || image.height() != kPictureHeight) {
        return;
    }
    QByteArray rgb(static_cast<qsizetype>(kPictureBytes), Qt::Uninitialized);
    for (int y = 0; y < kPictureHeight; ++y) {
        std::memcpy(rgb.data() + y * kPictureWidth * 3, image.constScanLine(y), kPictureWidth * 3);
    }
    emit picture(rgb);
}

} // namespace talmor

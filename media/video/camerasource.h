#pragma once

#include <QPointer>

#include <memory>

#include "media/video/videosource.h"

class QCamera;
class QMediaCaptureSession;
class QVideoFrame;
class QVideoSink;

namespace talmor {

// The first of the system's video inputs, each frame scaled to 176 x 144 RGB24. The sink may
// report frames on a thread of the multimedia back end; they reach this object queued, on the
// user-interface thread.
class CameraSource : public VideoSource {
    Q_OBJECT
public:
    explicit CameraSource(QObject* parent = nullptr);
    ~CameraSource() override;
    bool start() override;
    void stop() override;

private:
    void onFrame(const QVideoFrame& frame);

    std::unique_ptr<QCamera> camera_;
    std::unique_ptr<QMediaCaptureSession> session_;
    std::unique_ptr<QVideoSink> sink_;
};

} // namespace talmor

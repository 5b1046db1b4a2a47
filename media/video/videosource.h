#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace talmor {

// Where the operator's own pictures come from: each picture is 176 x 144 RGB24 (kPictureBytes),
// delivered on the user-interface thread.
class VideoSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts delivering pictures; false when the source cannot.
    virtual bool start() = 0;
    virtual void stop() = 0;

signals:
    void picture(const QByteArray& rgb);
    // The source stopped delivering after it started (the camera went away).
    void failed();
};

// The [video] source key: "camera" (the first capture device) or "testpattern".
constexpr char kCameraSource[] = "camera";
constexpr char kTestPatternSource[] = "testpattern";

// The source the key names; a camera source for any other key. `rate` is the test pattern's
// pictures per second.
std::unique_ptr<VideoSource> MakeVideoSource(const QString& kind, int rate = 15);
// Whether the source the key names can be expected to deliver pictures: the test pattern always,
// a camera when the system lists one.
bool VideoSourcePresent(const QString& kind);

} // namespace talmor

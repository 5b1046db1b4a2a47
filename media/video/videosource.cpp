#include "media/video/videosource.h"

#include <QCameraDevice>
#include <QMediaDevices>

#include "media/video/camerasource.h"
#include "media/video/testpatternsource.h"

namespace talmor {

std::unique_ptr<VideoSource> MakeVideoSource(const QString& kind, int rate) {
    if (kind == QLatin1String(kTestPatternSource)) {
        return std::make_unique<TestPatternSource>(rate);
    }
    return std::make_unique<CameraSource>();
}

bool VideoSourcePresent(const QString& kind) {
    if (kind == QLatin1String(kTestPatternSource)) {
        return true;
    }
    return !QMediaDevices::videoInputs().isEmpty();
}

} // namespace talmor

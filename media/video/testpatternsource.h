#pragma once

#include <QTimer>

#include <cstdint>
#include <vector>

#include "media/video/videosource.h"

namespace talmor {

// The synthetic source: the moving test pattern at a fixed rate.
class TestPatternSource : public VideoSource {
    Q_OBJECT
public:
    explicit TestPatternSource(int rate, QObject* parent = nullptr);
    bool start() override;
    void stop() override;

private:
    void next();

    QTimer timer_;
    uint32_t index_ = 0;
    std::vector<uint8_t> rgb_;
};

} // namespace talmor

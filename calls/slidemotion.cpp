#include "calls/slidemotion.h"

namespace talmor {

void SlideMotion::tick() {
    switch (phase_) {
    case Phase::Rising:
        if (height_ >= kFullHeight) {
            phase_ = Phase::Holding;
        } else {
            ++height_;
        }
        break;
    case Phase::Sinking:
        if (height_ < 1) {
            phase_ = Phase::Done;
        } else {
            --height_;
        }
        break;
    case Phase::Holding:
    case Phase::Done:
        break;
    }
}

void SlideMotion::holdOver() {
    if (phase_ == Phase::Holding) {
        phase_ = Phase::Sinking;
    }
}

} // namespace talmor

#include "support/scaledtime.h"

#include <QDateTime>

namespace talmor::e2e {

ScaledClock::ScaledClock(int factor) : factor_(factor), start_(QDateTime::currentSecsSinceEpoch()) {
    elapsed_.start();
}

int64_t ScaledClock::now() const {
    return start_ + elapsed_.elapsed() * factor_ / 1000;
}

} // namespace talmor::e2e

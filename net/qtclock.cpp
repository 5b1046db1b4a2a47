#include "net/qtclock.h"

#include <QDateTime>

namespace talmor {

int64_t QtClock::now() const {
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace talmor

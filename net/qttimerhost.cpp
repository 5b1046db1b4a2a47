#include "net/qttimerhost.h"

#include <QTimer>

namespace talmor {

QtTimerHost::QtTimerHost(Callback onTimer) : onTimer_(std::move(onTimer)) {}

QtTimerHost::~QtTimerHost() = default;

void QtTimerHost::startTimer(int id, int milliseconds) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { onTimer_(id); });
    }
    timer->start(milliseconds);
}

void QtTimerHost::stopTimer(int id) {
    auto found = timers_.find(id);
    if (found != timers_.end()) {
        // Only stopped, not destroyed: the callback may be stopping the timer that called it.
        found->second->stop();
    }
}

bool QtTimerHost::isRunning(int id) const {
    auto found = timers_.find(id);
    return found != timers_.end() && found->second->isActive();
}

} // namespace talmor

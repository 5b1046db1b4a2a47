#pragma once

#include <QElapsedTimer>

#include "net/qttimerhost.h"
#include "protocol/environment.h"

namespace talmor::e2e {

// Time that runs `factor` times faster than the wall clock, so that the console's 10-second
// retransmission and 30-second keep-alive take a fraction of a second in a test. The clock
// and the timers share the factor: a request queued for "now + 10 s" is due exactly when
// the sped-up timer 1001 next fires, as it would be at normal speed.
class ScaledClock : public Clock {
public:
    explicit ScaledClock(int factor);
    int64_t now() const override;

private:
    int factor_;
    int64_t start_;
    QElapsedTimer elapsed_;
};

class ScaledTimerHost : public TimerHost {
public:
    ScaledTimerHost(int factor, QtTimerHost::Callback onTimer)
        : factor_(factor), timers_(std::move(onTimer)) {}
    void startTimer(int id, int milliseconds) override {
        timers_.startTimer(id, milliseconds / factor_ > 0 ? milliseconds / factor_ : 1);
    }
    void stopTimer(int id) override { timers_.stopTimer(id); }

private:
    int factor_;
    QtTimerHost timers_;
};

} // namespace talmor::e2e

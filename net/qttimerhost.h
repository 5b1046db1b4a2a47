#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <memory>

#include "protocol/environment.h"

class QTimer;

namespace talmor {

// Numbered periodic timers on QTimer. Each expiry calls the owner's callback with the timer's
// number on the event loop; starting a running timer restarts it with the new period.
class QtTimerHost : public TimerHost {
public:
    using Callback = std::function<void(int id)>;

    explicit QtTimerHost(Callback onTimer);
    ~QtTimerHost() override;
    QtTimerHost(const QtTimerHost&) = delete;
    QtTimerHost& operator=(const QtTimerHost&) = delete;

    void startTimer(int id, int milliseconds) override;
    void stopTimer(int id) override;
    bool isRunning(int id) const;

private:
    Callback onTimer_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

} // namespace talmor

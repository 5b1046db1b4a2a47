#pragma once

#include <functional>

#include "console/consoleenvironment.h"
#include "net/qtclock.h"
#include "net/qthostresolver.h"
#include "net/qtsocketlayer.h"
#include "net/qttimerhost.h"
#include "net/stdrandom.h"

namespace talmor {

// The console's sockets, timers, clock and random source on Qt's event loop. Timer expiries go
// to the target set once the main window exists.
class QtEnvironment {
public:
    QtEnvironment()
        : timers_([this](int id) {
              if (target_) {
                  target_(id);
              }
          }) {}

    ConsoleEnvironment services() {
        return ConsoleEnvironment{sockets_, resolver_, timers_, clock_, random_};
    }
    void setTimerTarget(std::function<void(int)> target) { target_ = std::move(target); }

private:
    std::function<void(int)> target_;
    QtSocketLayer sockets_;
    QtHostResolver resolver_;
    QtTimerHost timers_;
    QtClock clock_;
    StdRandom random_;
};

} // namespace talmor

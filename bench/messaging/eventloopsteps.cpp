#include "eventloopsteps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace talmor {

double Ms(long long ns) {
    return static_cast<double>(ns) / 1e6;
}

Figures RunInEventLoop(const std::vector<std::function<void()>>& steps) {
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    std::size_t next = 0;
    bool done = false;
    std::function<void()> step = [&] {
        if (next == steps.size()) {
            done = true;
            return;
        }
        steps[next++]();
        QTimer::singleShot(0, step);
    };
    ticker.start();
    QTimer::singleShot(0, step);
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    // The last paints belong to the run.
    QCoreApplication::processEvents();
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - lastTick);
    ticker.stop();
    return {Ms(now), Ms(longest)};
}

} // namespace talmor

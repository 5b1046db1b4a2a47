#include "support/eventloop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

namespace talmor::e2e {

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "talmor-e2e";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    ensureApplication();
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

} // namespace talmor::e2e

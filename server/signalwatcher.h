#pragma once

#include <QObject>

class QSocketNotifier;

namespace talmor::server {

// Turns SIGINT and SIGTERM into a call of QCoreApplication::quit on the event loop (the
// signal handler only writes a byte to a pipe).
class SignalWatcher {
public:
    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    bool installed() const { return notifier_ != nullptr; }

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace talmor::server

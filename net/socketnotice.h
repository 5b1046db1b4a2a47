#pragma once

#include <QSocketNotifier>

#include <functional>

namespace talmor {

// A notifier on a system socket calling `onNotice` from the event loop.
QSocketNotifier* WatchSocket(int fd, QSocketNotifier::Type type, std::function<void()> onNotice);
// Stops and releases a notifier, which may be delivering its own signal right now; null after.
void RetireNotifier(QSocketNotifier*& notifier);

} // namespace talmor

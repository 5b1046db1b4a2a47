#include "net/socketnotice.h"

#include <utility>

namespace talmor {

QSocketNotifier* WatchSocket(int fd, QSocketNotifier::Type type, std::function<void()> onNotice) {
    auto* notifier = new QSocketNotifier(fd, type);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, std::move(onNotice));
    return notifier;
}

void RetireNotifier(QSocketNotifier*& notifier) {
    if (notifier != nullptr) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
}

} // namespace talmor

#include "calls/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace talmor {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
// Urgency levels of the notification specification.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;

} // namespace

void FreedesktopNotifier::show(uint32_t callId, const QString& summary, const QString& body,
                               bool urgent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    const auto known = shown_.find(callId);
    const uint replaces = known == shown_.end() ? 0u : known->second;
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue(urgent ? kCriticalUrgency : kNormalUrgency));
    hints.insert("category", QString("im.received"));
    hints.insert("desktop-entry", QString("talmormanager"));
    call << QString("TalmorManager") << replaces << QString("talmormanager") << summary << body
         << QStringList() << hints << -1;
    shown_[callId] = replaces;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, callId](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                done->deleteLater();
                if (!reply.isValid()) {
                    return;
                }
                const auto waiting = shown_.find(callId);
                if (waiting == shown_.end()) {
                    close(reply.value()); // the call stopped waiting before the answer came
                } else {
                    waiting->second = reply.value();
                }
            });
}

void FreedesktopNotifier::close(uint32_t notification) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, "CloseNotification");
    call << notification;
    QDBusConnection::sessionBus().asyncCall(call);
}

void FreedesktopNotifier::withdraw(uint32_t callId) {
    const auto known = shown_.find(callId);
    if (known == shown_.end()) {
        return;
    }
    const uint32_t notification = known->second;
    shown_.erase(known);
    if (notification != 0) {
        close(notification);
    }
}

} // namespace talmor

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
// The urgency hint values the notification service understands.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;

} // namespace

void FreedesktopNotifier::show(uint32_t callId, const QString& summary, const QString& body,
                               bool urgent) {
    Shown& shown = shown_[callId];
    if (shown.pending) {
        // Sent once the service has named the notification, so that it replaces it.
        shown.next = Content{summary, body, urgent};
        return;
    }
    send(callId, Content{summary, body, urgent});
}

void FreedesktopNotifier::send(uint32_t callId, const Content& content) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        shown_.erase(callId);
        return;
    }
    Shown& shown = shown_[callId];
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    QVariantMap hints;
    hints.insert("urgency",
                 QVariant::fromValue(content.urgent ? kCriticalUrgency : kNormalUrgency));
    hints.insert("category", QString("im.received"));
    hints.insert("desktop-entry", QString("talmormanager"));
    call << QString("TalmorManager") << uint{shown.id} << QString("talmormanager")
         << content.summary << content.body.toHtmlEscaped() << QStringList() << hints << -1;
    shown.pending = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, callId](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                done->deleteLater();
                const auto waiting = shown_.find(callId);
                if (waiting == shown_.end()) {
                    if (reply.isValid()) {
                        close(reply.value()); // the call stopped waiting before the answer
                    }
                    return;
                }
                Shown& answered = waiting->second;
                answered.pending = false;
                if (reply.isValid()) {
                    answered.id = reply.value();
                }
                if (answered.next) {
                    const Content next = *answered.next;
                    answered.next.reset();
                    send(callId, next);
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
    const uint32_t notification = known->second.id;
    shown_.erase(known);
    if (notification != 0) {
        close(notification);
    }
}

} // namespace talmor

#include "support/notificationservice.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>

#include <cstdlib>

namespace talmor::e2e {

namespace {
constexpr const char* kConnectionName = "talmor-notification-recorder";
constexpr const char* kInterface = "org.freedesktop.Notifications";
} // namespace

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
}

bool PrivateSessionBus::start(QString& error) {
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!daemon_.waitForStarted(5000)) {
        error = "dbus-daemon does not start (Debian package dbus-daemon)";
        return false;
    }
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(5000)) {
            error = "dbus-daemon printed no address";
            return false;
        }
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8().constData(), 1);
    return true;
}

// The service's one object: Notify and CloseNotification, answered by hand.
class RecordingNotificationService::Object : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QList<QVariant> arguments = message.arguments();
        if (message.interface() != kInterface) {
            return false;
        }
        if (message.member() == "Notify" && arguments.size() == 8) {
            Notice notice;
            notice.replaces = arguments[1].toUInt();
            notice.id = notice.replaces != 0 ? notice.replaces : ++lastId;
            notice.summary = arguments[3].toString();
            notice.body = arguments[4].toString();
            const QVariantMap hints = qdbus_cast<QVariantMap>(arguments[6]);
            notice.urgency = hints.contains("urgency") ? hints.value("urgency").toInt() : -1;
            shown.push_back(notice);
            connection.send(message.createReply(QVariant::fromValue(notice.id)));
            return true;
        }
        if (message.member() == "CloseNotification" && arguments.size() == 1) {
            closed.push_back(arguments[0].toUInt());
            connection.send(message.createReply());
            return true;
        }
        return false;
    }

    uint32_t lastId = 0;
    std::vector<Notice> shown;
    std::vector<uint32_t> closed;
};

RecordingNotificationService::RecordingNotificationService()
    : object_(std::make_unique<Object>()) {}

RecordingNotificationService::~RecordingNotificationService() {
    QDBusConnection::disconnectFromBus(kConnectionName);
}

bool RecordingNotificationService::start(const QString& address, QString& error) {
    QDBusConnection bus = QDBusConnection::connectToBus(address, kConnectionName);
    if (!bus.isConnected()) {
        error = "cannot connect to the private bus: " + bus.lastError().message();
        return false;
    }
    if (!bus.registerVirtualObject("/org/freedesktop/Notifications", object_.get()) ||
        !bus.registerService(kInterface)) {
        error = "cannot register the notification service: " + bus.lastError().message();
        return false;
    }
    return true;
}

const std::vector<RecordingNotificationService::Notice>&
RecordingNotificationService::shown() const {
    return object_->shown;
}

const std::vector<uint32_t>& RecordingNotificationService::closed() const {
    return object_->closed;
}

} // namespace talmor::e2e

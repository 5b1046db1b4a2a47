#pragma once

#include <QProcess>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace talmor::e2e {

// A private session bus (dbus-daemon) for this test process: DBUS_SESSION_BUS_ADDRESS points
// at it from start on, so the console's notifications go there and nowhere else.
class PrivateSessionBus {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    // False, with the reason, when dbus-daemon cannot be started.
    bool start(QString& error);
    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

// A desktop notification service that records what it is asked to show and to close, on the
// bus at `address` under the freedesktop name.
class RecordingNotificationService {
public:
    struct Notice {
        uint32_t id = 0;
        uint32_t replaces = 0;
        QString summary;
        QString body;
        int urgency = -1;
    };

    RecordingNotificationService();
    ~RecordingNotificationService();
    bool start(const QString& address, QString& error);

    const std::vector<Notice>& shown() const;
    const std::vector<uint32_t>& closed() const;

private:
    class Object;
    std::unique_ptr<Object> object_;
};

} // namespace talmor::e2e

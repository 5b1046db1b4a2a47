#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

namespace talmor {

// Where the console's desktop notifications about waiting calls go: the desktop's notification
// service in the program, a recorder in the tests. One notification per call: showing it again
// replaces the one shown. Both texts are plain text (a caller's name and address).
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void show(uint32_t callId, const QString& summary, const QString& body,
                      bool urgent) = 0;
    // The call stopped waiting: its notification goes away.
    virtual void withdraw(uint32_t callId) = 0;
};

// The freedesktop notification service on the session bus. Its calls never wait for an answer,
// so a slow or missing service cannot hold the event loop; without a session bus nothing is
// shown. The service reads the body as markup: it goes escaped.
class FreedesktopNotifier : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    explicit FreedesktopNotifier(QObject* parent = nullptr) : QObject(parent) {}
    void show(uint32_t callId, const QString& summary, const QString& body, bool urgent) override;
    void withdraw(uint32_t callId) override;

private:
    struct Content {
        QString summary;
        QString body;
        bool urgent = false;
    };
    // A call's notification: the service's id (0 until it answered), whether a request is on
    // its way, and what is to replace it once the service answered.
    struct Shown {
        uint32_t id = 0;
        bool pending = false;
        std::optional<Content> next;
    };
    void send(uint32_t callId, const Content& content);
    void close(uint32_t notification);

    std::map<uint32_t, Shown> shown_;
};

} // namespace talmor

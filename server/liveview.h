#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace talmor::server {

class PlatformServer;

// The trainer's live view of every console: who is logged in and since when, the calls that
// wait per category with the oldest, the calls taken and not yet reported, and each operator's
// figures of the day. The sessions keep no times of their own, so the view looks at them
// several times a second and notes when a login or a status change appeared.
class LiveViewModel {
public:
    // Notes logins, logouts and status changes as of `nowMs`.
    void observe(PlatformServer& server, int64_t nowMs);
    // The whole picture as JSON; times are epoch milliseconds, so the page ages them itself
    // and the picture changes only when something happens.
    QJsonObject picture(PlatformServer& server, int64_t nowMs) const;

    // At most this many taken calls are listed (their total is always given).
    static constexpr int kTakenRows = 200;

private:
    struct Seen {
        uint32_t status = 0;
        bool ready = false;
        int64_t loginMs = 0;
        int64_t sinceMs = 0; // the status (or the login) began
    };
    // By operator and session id.
    std::map<std::pair<uint32_t, uint32_t>, Seen> seen_;
};

// The live view's Server-Sent Events: every open view gets the picture when it changes (looked
// at every kLookMs) and a comment now and then that finds views gone.
class LiveViewStream {
public:
    explicit LiveViewStream(PlatformServer& server);

    // Takes over a socket whose request asked for the events; false (the socket untouched) when
    // kMaxViews are open already.
    bool add(QTcpSocket* socket);
    std::size_t views() const;
    void start() { timer_.start(kLookMs); }

    static constexpr int kLookMs = 250;
    static constexpr std::size_t kMaxViews = 32;

private:
    void look();
    void send(QTcpSocket* socket, const QByteArray& event);

    PlatformServer& server_;
    LiveViewModel model_;
    QTimer timer_;
    std::vector<QPointer<QTcpSocket>> sockets_;
    QByteArray last_; // the latest picture sent, without its clock
    int64_t lastSentMs_ = 0;
};

// The page of the live view (/supervisor), which fills itself from the events.
QByteArray liveViewPage();

} // namespace talmor::server

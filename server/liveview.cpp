#include "server/liveview.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <set>

#include "server/calllists.h"
#include "server/gbk.h"
#include "server/pagekit.h"
#include "server/platformserver.h"

namespace talmor::server {

namespace {

// A comment line every so often: writing to a view that went away finds it gone.
constexpr int64_t kPingMs = 15000;
// A view that reads nothing while this much waits for it is closed, not buffered without end.
constexpr qint64 kMaxBacklogBytes = 4 * 1024 * 1024;

QString statusText(uint32_t status, bool ready) {
    if (!ready) {
        return QString::fromUtf8("登录中");
    }
    switch (status) {
    case 0:
        return QString::fromUtf8("在线");
    case 2:
        return QString::fromUtf8("离开");
    case 3:
        return QString::fromUtf8("隐身");
    default:
        return QString::number(status);
    }
}

QString nickOf(PlatformServer& server, uint32_t id) {
    const Account* account = server.directory().find(id);
    return account != nullptr ? fromGbk(account->profile.nick) : QString();
}

// The nearest-rank percentile of sorted values.
qint64 percentile(const std::vector<int64_t>& sorted, int percent) {
    if (sorted.empty()) {
        return 0;
    }
    const std::size_t rank = (sorted.size() * static_cast<std::size_t>(percent) + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

struct OperatorDay {
    std::vector<int64_t> takeMs;
    int reports = 0;
};

} // namespace

void LiveViewModel::observe(PlatformServer& server, int64_t nowMs) {
    std::set<std::pair<uint32_t, uint32_t>> present;
    for (const ConsoleSession* session : server.sessions()) {
        if (session->state != SessionState::Active) {
            continue;
        }
        const auto key = std::make_pair(session->operatorId(), session->sessionId());
        present.insert(key);
        auto [entry, isNew] = seen_.try_emplace(key);
        Seen& seen = entry->second;
        if (isNew) {
            seen = Seen{session->status, session->loginComplete, nowMs, nowMs};
        } else if (seen.status != session->status || seen.ready != session->loginComplete) {
            seen.status = session->status;
            seen.ready = session->loginComplete;
            seen.sinceMs = nowMs;
        }
    }
    for (auto it = seen_.begin(); it != seen_.end();) {
        it = present.count(it->first) != 0 ? std::next(it) : seen_.erase(it);
    }
}

QJsonObject LiveViewModel::picture(PlatformServer& server, int64_t nowMs) const {
    QJsonArray consoles;
    for (const auto& [key, seen] : seen_) {
        consoles.append(QJsonObject{{"operator", static_cast<qint64>(key.first)},
                                    {"nick", nickOf(server, key.first)},
                                    {"status", statusText(seen.status, seen.ready)},
                                    {"login", static_cast<qint64>(seen.loginMs)},
                                    {"since", static_cast<qint64>(seen.sinceMs)}});
    }
    std::array<int, kCategoryCount> waiting{};
    std::array<int64_t, kCategoryCount> oldest{};
    std::vector<std::pair<uint32_t, const StoredCall*>> taken;
    std::map<uint32_t, OperatorDay> days;
    const QDate today = QDateTime::fromMSecsSinceEpoch(nowMs).date();
    const auto isToday = [&](int64_t ms) {
        return ms != 0 && QDateTime::fromMSecsSinceEpoch(ms).date() == today;
    };
    for (const auto& [id, call] : server.calls().all()) {
        const uint32_t category = std::min(call.record.category, kCategoryCount - 1);
        if (call.state == CallState::Waiting) {
            oldest[category] = waiting[category] == 0 ? call.arrivedMs
                                                      : std::min(oldest[category], call.arrivedMs);
            ++waiting[category];
            continue;
        }
        if (call.state == CallState::Taken) {
            taken.emplace_back(id, &call);
        }
        if (call.takenBy != 0 && isToday(call.takenMs)) {
            days[call.takenBy].takeMs.push_back(
                std::max<int64_t>(0, call.takenMs - call.arrivedMs));
        }
        if (call.state == CallState::Closed && call.outcome == "report" && isToday(call.closedMs)) {
            ++days[call.takenBy].reports;
        }
    }
    QJsonArray waitingRows;
    int waitingTotal = 0;
    for (uint32_t category = 0; category < kCategoryCount; ++category) {
        waitingTotal += waiting[category];
        if (waiting[category] > 0) {
            waitingRows.append(QJsonObject{{"category", static_cast<qint64>(category)},
                                           {"name", categoryName(category)},
                                           {"count", waiting[category]},
                                           {"oldest", static_cast<qint64>(oldest[category])}});
        }
    }
    // The calls held longest come first.
    std::sort(taken.begin(), taken.end(),
              [](const auto& a, const auto& b) { return a.second->takenMs < b.second->takenMs; });
    QJsonArray takenRows;
    for (std::size_t i = 0; i < taken.size() && i < static_cast<std::size_t>(kTakenRows); ++i) {
        const StoredCall& call = *taken[i].second;
        takenRows.append(QJsonObject{{"callId", static_cast<qint64>(taken[i].first)},
                                     {"category", categoryName(call.record.category)},
                                     {"caller", fromGbk(call.record.userName)},
                                     {"operator", static_cast<qint64>(call.takenBy)},
                                     {"nick", nickOf(server, call.takenBy)},
                                     {"arrived", static_cast<qint64>(call.arrivedMs)},
                                     {"taken", static_cast<qint64>(call.takenMs)}});
    }
    QJsonArray operators;
    for (auto& [id, day] : days) {
        std::sort(day.takeMs.begin(), day.takeMs.end());
        operators.append(QJsonObject{{"operator", static_cast<qint64>(id)},
                                     {"nick", nickOf(server, id)},
                                     {"taken", static_cast<qint64>(day.takeMs.size())},
                                     {"medianMs", percentile(day.takeMs, 50)},
                                     {"p90Ms", percentile(day.takeMs, 90)},
                                     {"reports", day.reports}});
    }
    return QJsonObject{{"consoles", consoles},
                       {"waiting", waitingRows},
                       {"waitingTotal", waitingTotal},
                       {"taken", takenRows},
                       {"takenTotal", static_cast<qint64>(taken.size())},
                       {"operators", operators}};
}

LiveViewStream::LiveViewStream(PlatformServer& server) : server_(server) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
}

std::size_t LiveViewStream::views() const {
    return static_cast<std::size_t>(
        std::count_if(sockets_.begin(), sockets_.end(), [](const QPointer<QTcpSocket>& socket) {
            return socket && socket->state() == QAbstractSocket::ConnectedState;
        }));
}

bool LiveViewStream::add(QTcpSocket* socket) {
    sockets_.erase(std::remove_if(sockets_.begin(), sockets_.end(),
                                  [](const QPointer<QTcpSocket>& each) {
                                      return !each ||
                                             each->state() != QAbstractSocket::ConnectedState;
                                  }),
                   sockets_.end());
    if (sockets_.size() >= kMaxViews) {
        return false;
    }
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/event-stream; charset=utf-8\r\n"
                  "Cache-Control: no-cache\r\nConnection: keep-alive\r\n\r\n");
    sockets_.emplace_back(socket);
    // The new view gets the picture at once; the others only when it changes.
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    model_.observe(server_, now);
    QJsonObject picture = model_.picture(server_, now);
    picture.insert("now", static_cast<qint64>(now));
    send(socket, "data: " + QJsonDocument(picture).toJson(QJsonDocument::Compact) + "\n\n");
    return true;
}

void LiveViewStream::send(QTcpSocket* socket, const QByteArray& event) {
    if (socket->bytesToWrite() > kMaxBacklogBytes) {
        socket->abort();
        return;
    }
    socket->write(event);
}

void LiveViewStream::look() {
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    model_.observe(server_, now);
    if (views() == 0) {
        last_.clear();
        return;
    }
    QJsonObject picture = model_.picture(server_, now);
    const QByteArray content = QJsonDocument(picture).toJson(QJsonDocument::Compact);
    QByteArray event;
    if (content != last_) {
        last_ = content;
        picture.insert("now", static_cast<qint64>(now));
        event = "data: " + QJsonDocument(picture).toJson(QJsonDocument::Compact) + "\n\n";
    } else if (now - lastSentMs_ >= kPingMs) {
        event = ": ping\n\n";
    } else {
        return;
    }
    lastSentMs_ = now;
    for (const QPointer<QTcpSocket>& socket : sockets_) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState) {
            send(socket, event);
        }
    }
}

} // namespace talmor::server

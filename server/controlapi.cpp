#include "server/controlapi.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonObject>
#include <QUrlQuery>

#include "server/backofficesite.h"
#include "server/calllists.h"
#include "server/controlwithhold.h"
#include "server/gbk.h"
#include "server/standinpages.h"

namespace talmor::server {

namespace {

using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

struct Answer {
    Status status = Status::Ok;
    QJsonDocument body;
};

constexpr uint32_t kMaxInjectCount = 100000;

Answer failure(Status status, const QString& message) {
    return {status, QJsonDocument(QJsonObject{{"error", message}})};
}

// A whole number from the query; none when absent or not a number in range.
std::optional<uint32_t> number(const QUrlQuery& query, const char* key, uint32_t max = 0xFFFFFFFF) {
    if (!query.hasQueryItem(key)) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = query.queryItemValue(key).toULongLong(&ok);
    if (!ok || value > max) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

QString stateName(SessionState state) {
    switch (state) {
    case SessionState::Active:
        return "active";
    case SessionState::Evicted:
        return "evicted";
    case SessionState::Refused:
        break;
    }
    return "refused";
}

QString callStateName(CallState state) {
    switch (state) {
    case CallState::Waiting:
        return "waiting";
    case CallState::Taken:
        return "taken";
    case CallState::Closed:
        break;
    }
    return "closed";
}

// Overrides the call's fields that the query names (texts arrive as UTF-8).
bool applyOverrides(const QUrlQuery& query, CallRecord& call) {
    const std::pair<const char*, std::string*> texts[] = {
        {"province", &call.province},   {"city", &call.city},
        {"district", &call.district},   {"street", &call.street},
        {"community", &call.community}, {"address", &call.address},
        {"phone", &call.phone},         {"mobile", &call.mobile},
        {"userName", &call.userName},   {"serviceObject", &call.serviceObject},
    };
    for (const auto& [key, field] : texts) {
        if (query.hasQueryItem(key)) {
            auto bytes = toGbk(query.queryItemValue(key, QUrl::FullyDecoded));
            if (!bytes) {
                return false;
            }
            *field = *bytes;
        }
    }
    const std::pair<const char*, uint32_t*> numbers[] = {
        {"source", &call.source}, {"orgFlag", &call.orgFlag}, {"orgId", &call.orgId}};
    for (const auto& [key, field] : numbers) {
        if (auto value = number(query, key)) {
            *field = *value;
        }
    }
    return true;
}

Answer inject(PlatformServer& server, const QUrlQuery& query) {
    const auto category = number(query, "category", kCategoryCount - 1);
    const auto user = number(query, "user");
    if (!category || !user) {
        return failure(Status::BadRequest, "category (0-26) and user are required");
    }
    const Account* caller = server.directory().find(*user);
    if (caller == nullptr || caller->kind != AccountKind::Subscriber) {
        return failure(Status::BadRequest, "user is not a subscriber");
    }
    CallRecord call = makeCall(*caller, *category, server.nowSeconds());
    if (!applyOverrides(query, call)) {
        return failure(Status::BadRequest, "a text holds a character GBK cannot write");
    }
    if (server.calls().isBlacklisted(call.phone)) {
        return failure(Status::Conflict, "the caller's phone is blacklisted");
    }
    // count > 1 is a storm: the same call over and over, each with an id of its own, as fast
    // as the consoles' send windows let them out.
    const auto count = query.hasQueryItem("count") ? number(query, "count", kMaxInjectCount)
                                                   : std::optional<uint32_t>(1);
    if (!count || *count == 0) {
        return failure(Status::BadRequest, "count is 1 to 100000");
    }
    const std::size_t waiting = server.calls().waitingCount();
    const std::size_t cap = server.settings().maxWaitingCalls;
    if (waiting + *count > cap) {
        return failure(Status::ServiceUnavailable,
                       QString("%1 calls wait already, at most %2 may: take or close some first")
                           .arg(waiting)
                           .arg(cap));
    }
    const uint32_t first = server.injectCall(call);
    uint32_t last = first;
    for (uint32_t i = 1; i < *count; ++i) {
        last = server.injectCall(call);
    }
    return {Status::Ok, QJsonDocument(QJsonObject{{"callId", static_cast<qint64>(first)},
                                                  {"lastCallId", static_cast<qint64>(last)}})};
}

Answer push(PlatformServer& server, const QUrlQuery& query) {
    const auto operatorId = number(query, "operator");
    const auto command = number(query, "command", 0xFFFF);
    const QByteArray hex = query.queryItemValue("body").toLatin1();
    const QByteArray body = QByteArray::fromHex(hex);
    if (!operatorId || !command || body.toHex() != hex.toLower()) {
        return failure(Status::BadRequest,
                       "operator, command (0-65535) and a hex body are required");
    }
    if (body.size() > static_cast<int>(kPacketCapacity - kDatagramHeaderSize)) {
        return failure(Status::BadRequest, "the body does not fit in a datagram");
    }
    const auto seq = server.pushRaw(*operatorId, static_cast<uint16_t>(*command),
                                    std::vector<uint8_t>(body.begin(), body.end()));
    if (!seq) {
        return failure(Status::NotFound, "the operator is not logged in");
    }
    return {Status::Ok, QJsonDocument(QJsonObject{{"seq", *seq}})};
}

Answer requestLog(PlatformServer& server, const QUrlQuery& query) {
    const auto operatorId = number(query, "operator");
    if (!operatorId) {
        return failure(Status::BadRequest, "operator is required");
    }
    const uint32_t since = number(query, "since").value_or(0);
    QJsonArray entries;
    if (const auto* log = server.requestLog(*operatorId)) {
        for (const LogEntry& entry : *log) {
            if (entry.index < since) {
                continue;
            }
            entries.append(QJsonObject{
                {"index", static_cast<qint64>(entry.index)},
                {"timeMs", static_cast<qint64>(entry.timeMs)},
                {"session", static_cast<qint64>(entry.sessionId)},
                {"command", entry.command},
                {"seq", entry.seq},
                {"body", QString::fromLatin1(QByteArray::fromStdString(entry.body).toHex())},
                {"note", fromGbk(entry.note)},
            });
        }
    }
    return {Status::Ok, QJsonDocument(entries)};
}

Answer setScenario(ScenarioGenerator& scenario, const QUrlQuery& query) {
    ScenarioConfig config = scenario.config();
    if (auto interval = number(query, "intervalMs", 86400000)) {
        config.intervalMs = static_cast<int>(*interval);
    }
    if (auto share = number(query, "mobileShare", 100)) {
        config.mobileShare = *share;
    }
    if (query.hasQueryItem("categories")) {
        config.categoryWeights.clear();
        for (const QString& item :
             query.queryItemValue("categories").split(',', Qt::SkipEmptyParts)) {
            const QStringList parts = item.split(':');
            bool categoryOk = false;
            bool weightOk = false;
            const uint32_t category = parts.value(0).toUInt(&categoryOk);
            const uint32_t weight = parts.size() == 2 ? parts.value(1).toUInt(&weightOk) : 1;
            if (!categoryOk || (parts.size() == 2 && !weightOk) || category >= kCategoryCount) {
                return failure(Status::BadRequest, "categories is a list like 0:3,1:1");
            }
            config.categoryWeights.emplace_back(category, weight);
        }
    }
    if (query.hasQueryItem("users")) {
        config.users.clear();
        for (const QString& item : query.queryItemValue("users").split(',', Qt::SkipEmptyParts)) {
            bool ok = false;
            config.users.push_back(item.toUInt(&ok));
            if (!ok) {
                return failure(Status::BadRequest, "users is a list of ids");
            }
        }
    }
    scenario.setConfig(std::move(config));
    return {};
}

// Which address an operator's presence announces from its next announcement on.
Answer setAddress(PlatformServer& server, const QUrlQuery& query) {
    const auto operatorId = number(query, "operator");
    const QString mode = query.queryItemValue("mode");
    const std::pair<const char*, AddressMode> modes[] = {
        {"real", AddressMode::Real},
        {"none", AddressMode::None},
        {"unreachable", AddressMode::Unreachable},
    };
    for (const auto& [name, value] : modes) {
        if (operatorId && mode == name) {
            if (!server.setAddressMode(*operatorId, value)) {
                return failure(Status::InternalServerError, "no unanswered loopback port");
            }
            return {Status::Ok,
                    QJsonDocument(QJsonObject{{"operator", static_cast<qint64>(*operatorId)},
                                              {"mode", mode}})};
        }
    }
    return failure(Status::BadRequest, "operator=N&mode=real|none|unreachable");
}

} // namespace

ControlApi::ControlApi(PlatformServer& server, ScenarioGenerator& scenario,
                       std::function<void()> scenarioChanged)
    : server_(server), scenario_(scenario), scenarioChanged_(std::move(scenarioChanged)),
      liveView_(server) {}

void ControlApi::setGuard(ControlApiGuard guard) {
    guard_ = std::move(guard);
    liveView_.start();
}

QJsonDocument ControlApi::consoles() {
    QJsonArray list;
    for (const ConsoleSession* session : server_.sessions()) {
        const Account* account = server_.directory().find(session->operatorId());
        list.append(QJsonObject{
            {"operator", static_cast<qint64>(session->operatorId())},
            {"nick", account != nullptr ? fromGbk(account->profile.nick) : QString()},
            {"session", static_cast<qint64>(session->sessionId())},
            {"address", QString::fromStdString(session->endpoint().text())},
            {"state", stateName(session->state)},
            {"status", static_cast<qint64>(session->status)},
            {"ready", session->loginComplete},
            {"videoCapable", session->videoCapable != 0},
            {"silentMs", static_cast<qint64>(server_.nowMs() - session->lastHeardMs)},
            {"unacknowledged", static_cast<qint64>(session->pendingCount())},
        });
    }
    return QJsonDocument(list);
}

QJsonDocument ControlApi::calls() {
    QJsonArray list;
    for (const auto& [id, call] : server_.calls().all()) {
        list.append(QJsonObject{
            {"callId", static_cast<qint64>(id)},
            {"category", static_cast<qint64>(call.record.category)},
            {"user", static_cast<qint64>(call.record.userId)},
            {"state", callStateName(call.state)},
            {"takenBy", static_cast<qint64>(call.takenBy)},
            {"outcome", QString::fromStdString(call.outcome)},
            {"report", fromGbk(call.report)},
        });
    }
    return QJsonDocument(list);
}

QJsonDocument ControlApi::scenario() {
    const ScenarioConfig& config = scenario_.config();
    QJsonObject weights;
    for (const auto& [category, weight] : config.categoryWeights) {
        weights.insert(QString::number(category), static_cast<qint64>(weight));
    }
    QJsonArray users;
    for (uint32_t id : config.users) {
        users.append(static_cast<qint64>(id));
    }
    return QJsonDocument(QJsonObject{{"intervalMs", config.intervalMs},
                                     {"categories", weights},
                                     {"users", users},
                                     {"mobileShare", static_cast<qint64>(config.mobileShare)}});
}

namespace {

RequestHead headOf(const QHttpServerRequest& request) {
    RequestHead head;
    switch (request.method()) {
    case Method::Get:
        head.method = "GET";
        break;
    case Method::Head:
        head.method = "HEAD";
        break;
    case Method::Post:
        head.method = "POST";
        break;
    default:
        head.method = "OTHER";
        break;
    }
    for (const auto& [key, value] : request.headers()) {
        if (key.compare("Host", Qt::CaseInsensitive) == 0) {
            head.host = value;
        } else if (key.compare("Origin", Qt::CaseInsensitive) == 0) {
            head.origin = value;
        } else if (key.compare("X-Quorvane-Control", Qt::CaseInsensitive) == 0) {
            head.control = value;
        }
    }
    return head;
}

} // namespace

bool ControlApi::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const auto refused = guard_ ? guard_->refusal(headOf(request))
                                : std::optional<Refusal>(Refusal{503, "not listening yet"});
    const QString path = request.url().path();
    const QUrlQuery query = request.query();
    const bool post = request.method() == Method::Post;
    if (!refused && path == "/supervisor/events" && request.method() == Method::Get &&
        liveView_.add(socket)) {
        return true; // the socket now carries the live view's events
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    if (refused) {
        responder.write(QJsonDocument(QJsonObject{{"error", refused->message}}),
                        static_cast<Status>(refused->status));
        return true;
    }
    if (!path.startsWith("/api/")) {
        servePage(responder, path, query,
                  post ? std::optional<QByteArray>(request.body()) : std::nullopt);
        return true;
    }
    Answer answer;
    if (path == "/api/consoles") {
        answer.body = consoles();
    } else if (path == "/api/calls") {
        answer.body = calls();
    } else if (path == "/api/log") {
        answer = requestLog(server_, query);
    } else if (path == "/api/calls/inject" && post) {
        answer = inject(server_, query);
    } else if (path == "/api/address" && post) {
        answer = setAddress(server_, query);
    } else if (path == "/api/withhold" && post) {
        const WithholdAnswer withheld = withholdRequests(server_, query);
        answer = {withheld.ok ? Status::Ok : Status::BadRequest, withheld.body};
    } else if (path == "/api/push" && post) {
        answer = push(server_, query);
    } else if (path == "/api/scenario") {
        if (post) {
            answer = setScenario(scenario_, query);
            scenarioChanged_();
        }
        if (answer.status == Status::Ok) {
            answer.body = scenario();
        }
    } else {
        answer = failure(Status::NotFound, "no such call; changes need POST");
    }
    responder.write(answer.body, answer.status);
    return true;
}

void ControlApi::servePage(QHttpServerResponder& responder, const QString& path,
                           const QUrlQuery& query, const std::optional<QByteArray>& form) {
    const char* html = "text/html; charset=utf-8";
    if (path == "/supervisor/events") {
        responder.write(failure(Status::ServiceUnavailable, "too many live views are open").body,
                        Status::ServiceUnavailable);
    } else if (path == "/supervisor") {
        responder.write(liveViewPage(), html);
    } else if (form) {
        if (auto answer = backOfficeForm(server_, path, query, *form)) {
            responder.write(answer->json, "application/json", static_cast<Status>(answer->status));
        } else {
            responder.write(failure(Status::MethodNotAllowed, "this page takes no form").body,
                            Status::MethodNotAllowed);
        }
    } else if (auto page = backOfficePage(server_, path, query)) {
        responder.write(*page, html);
    } else {
        const QString notice = QString::fromUtf8("欢迎使用社区智能化管理服务平台（培训）");
        responder.write(standInPage(path, query, notice), html);
    }
}

void ControlApi::missingHandler(const QHttpServerRequest&, QTcpSocket*) {}

} // namespace talmor::server

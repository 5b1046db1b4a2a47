#include "support/controlclient.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "support/eventloop.h"

namespace talmor::e2e {

namespace {
constexpr int kAnswerTimeoutMs = 10000;
}

std::vector<QByteArray> ControlClient::loggedBodies(uint32_t operatorId, uint16_t command) {
    std::vector<QByteArray> bodies;
    const auto log = get(QString("/api/log?operator=%1").arg(operatorId));
    if (!log) {
        return bodies;
    }
    for (const QJsonValue& entry : log->array()) {
        if (entry.toObject().value("command").toInt() == command) {
            bodies.push_back(
                QByteArray::fromHex(entry.toObject().value("body").toString().toLatin1()));
        }
    }
    return bodies;
}

std::optional<QByteArray> ControlClient::call(const QString& pathAndQuery, bool post, int* status) {
    ensureApplication();
    const QUrl url(QString("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery));
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    // The server refuses a POST without it (no cross-site page can send it).
    request.setRawHeader("X-Quorvane-Control", "1");
    QNetworkReply* reply = post ? network_.post(request, QByteArray()) : network_.get(request);
    const bool finished = waitFor([reply] { return reply->isFinished(); }, kAnswerTimeoutMs);
    std::optional<QByteArray> body;
    if (finished) {
        const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status != nullptr) {
            *status = code;
        }
        if (reply->error() == QNetworkReply::NoError) {
            body = reply->readAll();
        }
    }
    reply->abort();
    reply->deleteLater();
    return body;
}

std::optional<QJsonDocument> ControlClient::get(const QString& pathAndQuery) {
    auto body = call(pathAndQuery, false, nullptr);
    return body ? std::optional<QJsonDocument>(QJsonDocument::fromJson(*body)) : std::nullopt;
}

std::optional<QJsonDocument> ControlClient::post(const QString& pathAndQuery) {
    auto body = call(pathAndQuery, true, nullptr);
    return body ? std::optional<QJsonDocument>(QJsonDocument::fromJson(*body)) : std::nullopt;
}

std::optional<QByteArray> ControlClient::page(const QString& pathAndQuery, int* status) {
    return call(pathAndQuery, false, status);
}

} // namespace talmor::e2e

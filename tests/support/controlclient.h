#pragma once

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace talmor::e2e {

// Calls the server's control API on loopback and waits for the answer.
class ControlClient {
public:
    explicit ControlClient(uint16_t port) : port_(port) {}

    // The JSON answer of a GET or POST; none on an HTTP error or no answer.
    std::optional<QJsonDocument> get(const QString& pathAndQuery);
    std::optional<QJsonDocument> post(const QString& pathAndQuery);
    // The bodies (deciphered) of the requests `operatorId` sent with `command`, in order, as
    // the server's request log holds them.
    std::vector<QByteArray> loggedBodies(uint32_t operatorId, uint16_t command);
    // The raw body and status of a GET (for the stand-in pages).
    std::optional<QByteArray> page(const QString& pathAndQuery, int* status = nullptr);

private:
    std::optional<QByteArray> call(const QString& pathAndQuery, bool post, int* status);

    uint16_t port_;
    QNetworkAccessManager network_;
};

} // namespace talmor::e2e

#pragma once

#include <QByteArray>

#include <cstdint>

namespace talmor::e2e {

// One HTTP/1.1 exchange over a plain socket to a loopback port, with the request exactly as
// written (a browser's or an attacker's headers included), for what QNetworkAccessManager
// would not send.
struct RawAnswer {
    int status = 0; // 0: no answer
    QByteArray body;
};
RawAnswer rawHttp(uint16_t port, const QByteArray& request);

} // namespace talmor::e2e

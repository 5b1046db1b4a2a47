#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace talmor::server {

// The parts of an HTTP request that decide whether the server serves it.
struct RequestHead {
    QByteArray method; // "GET", "POST", ...
    std::optional<QByteArray> host;
    std::optional<QByteArray> origin;
    std::optional<QByteArray> control; // X-Quorvane-Control
};

// Why a request is not served: the HTTP status and a text for whoever sent it.
struct Refusal {
    int status = 403;
    QString message;
};

// Who may use the HTTP port. A web page open in a browser on this machine reaches a loopback
// port too: a cross-site form can POST to it, and a name rebound to 127.0.0.1 lets a page read
// the answers. So a request is served only when its Host names this server (a loopback name,
// or the explicit address it was started on), its Origin, when a browser sends one, is this
// server's own, and a POST carries "X-Quorvane-Control: 1", a header no cross-site page can
// send without a preflight the server never grants.
class ControlApiGuard {
public:
    // `address` is the explicit address the server listens on; empty for loopback only.
    ControlApiGuard(QString address, uint16_t port) : address_(std::move(address)), port_(port) {}

    std::optional<Refusal> refusal(const RequestHead& head) const;

private:
    // The host part of a Host header or an origin (brackets of an IPv6 literal kept), and its
    // port; false when the text is not host[:port].
    static bool split(const QByteArray& text, QByteArray& host, std::optional<uint16_t>& port);
    bool ownHost(const QByteArray& host) const;

    QString address_;
    uint16_t port_;
};

} // namespace talmor::server

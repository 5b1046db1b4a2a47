#include "server/controlapiguard.h"

#include <QHostAddress>

namespace talmor::server {

namespace {

constexpr int kForbidden = 403;
constexpr int kBadRequest = 400;
constexpr int kMethodNotAllowed = 405;

bool loopbackName(const QByteArray& host) {
    if (host.compare("localhost", Qt::CaseInsensitive) == 0) {
        return true;
    }
    QByteArray literal = host;
    if (literal.startsWith('[') && literal.endsWith(']')) {
        literal = literal.mid(1, literal.size() - 2);
    } else if (literal.contains(':')) {
        return false; // an IPv6 literal in a Host header is always bracketed
    }
    QHostAddress address;
    return address.setAddress(QString::fromLatin1(literal)) && address.isLoopback();
}

} // namespace

bool ControlApiGuard::split(const QByteArray& text, QByteArray& host,
                            std::optional<uint16_t>& port) {
    const int close = text.lastIndexOf(']');
    const int colon = text.lastIndexOf(':');
    host = text;
    port.reset();
    if (colon > close) {
        bool ok = false;
        const uint value = text.mid(colon + 1).toUInt(&ok);
        if (!ok || value > 65535) {
            return false;
        }
        host = text.left(colon);
        port = static_cast<uint16_t>(value);
    }
    return !host.isEmpty();
}

bool ControlApiGuard::ownHost(const QByteArray& host) const {
    if (address_.isEmpty()) {
        return loopbackName(host);
    }
    // Started on an explicit address: that address, or a loopback name on this machine.
    QByteArray literal = host;
    if (literal.startsWith('[') && literal.endsWith(']')) {
        literal = literal.mid(1, literal.size() - 2);
    }
    return QString::fromLatin1(literal).compare(address_, Qt::CaseInsensitive) == 0 ||
           loopbackName(host);
}

std::optional<Refusal> ControlApiGuard::refusal(const RequestHead& head) const {
    QByteArray host;
    std::optional<uint16_t> port;
    if (!head.host || !split(head.host->trimmed(), host, port)) {
        return Refusal{kBadRequest, "a Host header naming this server is required"};
    }
    if (!ownHost(host) || (port && *port != port_)) {
        return Refusal{kForbidden, "the Host header does not name this server"};
    }
    if (head.origin) {
        const QByteArray origin = head.origin->trimmed();
        const QByteArray prefix = "http://";
        QByteArray originHost;
        std::optional<uint16_t> originPort;
        if (!origin.startsWith(prefix) ||
            !split(origin.mid(prefix.size()), originHost, originPort) || !ownHost(originHost) ||
            originPort.value_or(80) != port_) {
            return Refusal{kForbidden, "requests from other sites' pages are refused"};
        }
    }
    if (head.method == "GET" || head.method == "HEAD") {
        return std::nullopt;
    }
    if (head.method != "POST") {
        return Refusal{kMethodNotAllowed, "only GET and POST are served"};
    }
    if (!head.control || head.control->trimmed() != "1") {
        return Refusal{kForbidden, "a POST needs the header X-Quorvane-Control: 1"};
    }
    return std::nullopt;
}

} // namespace talmor::server

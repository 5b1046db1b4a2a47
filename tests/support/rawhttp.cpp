#include "support/rawhttp.h"

#include <QHostAddress>
#include <QTcpSocket>

#include "support/eventloop.h"

namespace talmor::e2e {

namespace {
constexpr int kAnswerTimeoutMs = 10000;

// The status and body once the whole answer (headers and Content-Length bytes) is in.
bool parse(const QByteArray& bytes, RawAnswer& answer) {
    const int end = bytes.indexOf("\r\n\r\n");
    if (end < 0) {
        return false;
    }
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    const QList<QByteArray> statusLine = lines.value(0).split(' ');
    qsizetype length = 0;
    for (const QByteArray& line : lines) {
        if (line.toLower().startsWith("content-length:")) {
            length = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    if (bytes.size() < end + 4 + length) {
        return false;
    }
    answer.status = statusLine.value(1).toInt();
    answer.body = bytes.mid(end + 4, length);
    return true;
}
} // namespace

RawAnswer rawHttp(uint16_t port, const QByteArray& request) {
    ensureApplication();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    RawAnswer answer;
    if (!socket.waitForConnected(kAnswerTimeoutMs)) {
        return answer;
    }
    socket.write(request);
    QByteArray bytes;
    waitFor(
        [&] {
            bytes += socket.readAll();
            return parse(bytes, answer) || socket.state() != QAbstractSocket::ConnectedState;
        },
        kAnswerTimeoutMs);
    return answer;
}

} // namespace talmor::e2e

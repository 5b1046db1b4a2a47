#include "support/lossyproxy.h"

#include <QNetworkDatagram>

namespace talmor::e2e {

LossyProxy::LossyProxy(uint16_t serverPort, int dropPercent, int duplicatePercent, uint32_t seed)
    : serverPort_(serverPort), dropPercent_(dropPercent), duplicatePercent_(duplicatePercent),
      random_(seed) {
    consoleSide_.bind(QHostAddress::LocalHost, 0);
    serverSide_.bind(QHostAddress::LocalHost, 0);
    QObject::connect(&consoleSide_, &QUdpSocket::readyRead, [this] { fromConsole(); });
    QObject::connect(&serverSide_, &QUdpSocket::readyRead, [this] { fromServer(); });
}

void LossyProxy::forward(QUdpSocket& socket, const QByteArray& datagram, const QHostAddress& to,
                         uint16_t port) {
    if (static_cast<int>(random_() % 100) < dropPercent_) {
        ++dropped;
        return;
    }
    ++passed;
    socket.writeDatagram(datagram, to, port);
    if (static_cast<int>(random_() % 100) < duplicatePercent_) {
        ++duplicated;
        socket.writeDatagram(datagram, to, port);
    }
}

void LossyProxy::fromConsole() {
    while (consoleSide_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = consoleSide_.receiveDatagram();
        consoleAddress_ = datagram.senderAddress();
        consolePort_ = static_cast<uint16_t>(datagram.senderPort());
        forward(serverSide_, datagram.data(), QHostAddress::LocalHost, serverPort_);
    }
}

void LossyProxy::fromServer() {
    while (serverSide_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = serverSide_.receiveDatagram();
        if (consolePort_ != 0) {
            forward(consoleSide_, datagram.data(), consoleAddress_, consolePort_);
        }
    }
}

} // namespace talmor::e2e

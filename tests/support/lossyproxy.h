#pragma once

#include <QUdpSocket>

#include <cstdint>
#include <random>

namespace talmor::e2e {

// A datagram proxy between one console and the server that loses and duplicates datagrams:
// each way, a datagram is dropped with `dropPercent` percent chance, and one that passes is
// sent twice with `duplicatePercent` percent chance. Repeatable for a given seed.
class LossyProxy {
public:
    LossyProxy(uint16_t serverPort, int dropPercent, int duplicatePercent, uint32_t seed);

    // The port the console sends to; 0 when the proxy could not bind.
    uint16_t port() const { return consoleSide_.localPort(); }
    // Changes the loss from now on (a login can go through a clean link first).
    void setDropPercent(int percent) { dropPercent_ = percent; }

    int passed = 0;
    int dropped = 0;
    int duplicated = 0;

private:
    void fromConsole();
    void fromServer();
    void forward(QUdpSocket& socket, const QByteArray& datagram, const QHostAddress& to,
                 uint16_t port);

    uint16_t serverPort_;
    int dropPercent_;
    int duplicatePercent_;
    std::minstd_rand random_;
    QUdpSocket consoleSide_;
    QUdpSocket serverSide_;
    QHostAddress consoleAddress_;
    uint16_t consolePort_ = 0;
};

} // namespace talmor::e2e

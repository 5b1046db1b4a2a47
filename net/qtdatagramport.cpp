#include "net/qtdatagramport.h"

#include "net/loopbackguard.h"

#include <QHostAddress>
#include <QVariant>

#include <array>

#include <sys/socket.h>

namespace talmor {

namespace {
// One datagram of the protocol is at most 4096 bytes; a longer one is cut and then refused
// by its reader.
constexpr std::size_t kReceiveCapacity = 4096;
} // namespace

QtDatagramPort::QtDatagramPort(Receiver receiver) : receiver_(std::move(receiver)) {
    QObject::connect(&socket_, &QIODevice::readyRead, &socket_, [this] { drain(); });
}

bool QtDatagramPort::bind(uint32_t address, uint16_t port, int receiveBufferBytes) {
    if (!socket_.bind(QHostAddress(address), port)) {
        return false;
    }
    if (receiveBufferBytes > 0) {
        socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                QVariant(receiveBufferBytes));
        // The system caps the size for ordinary processes; a privileged one may go beyond.
        const int fd = static_cast<int>(socket_.socketDescriptor());
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBufferBytes,
                     sizeof receiveBufferBytes);
    }
    return true;
}

void QtDatagramPort::send(uint32_t address, uint16_t port, const uint8_t* bytes, std::size_t size) {
    checkLoopbackOnly(address, port, "a datagram");
    socket_.writeDatagram(reinterpret_cast<const char*>(bytes), static_cast<qint64>(size),
                          QHostAddress(address), port);
}

void QtDatagramPort::drain() {
    std::array<uint8_t, kReceiveCapacity> buffer;
    while (socket_.hasPendingDatagrams()) {
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 size =
            socket_.readDatagram(reinterpret_cast<char*>(buffer.data()),
                                 static_cast<qint64>(buffer.size()), &from, &fromPort);
        if (size < 0) {
            // An error report instead of a datagram; the socket notifies again if more wait.
            break;
        }
        bool isIpv4 = false;
        const uint32_t address = from.toIPv4Address(&isIpv4);
        if (isIpv4) {
            receiver_(buffer.data(), static_cast<std::size_t>(size), address, fromPort);
        }
    }
}

} // namespace talmor

#include "net/datagramsocket.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "net/loopbackguard.h"
#include "net/socketname.h"
#include "net/socketnotice.h"

namespace talmor {

DatagramSocket::DatagramSocket(std::function<void()> onReadable)
    : onReadable_(std::move(onReadable)) {}

DatagramSocket::~DatagramSocket() {
    close();
}

bool DatagramSocket::connect(uint32_t address, uint16_t port, int receiveBufferBytes) {
    checkLoopbackOnly(address, port, "a datagram socket");
    close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return false;
    }
    // The system may grant less; a smaller buffer only drops more of a burst, which the server
    // sends again.
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(address);
    peer.sin_port = htons(port);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        close();
        return false;
    }
    notifier_ = WatchSocket(fd_, QSocketNotifier::Read, [this] { onReadable_(); });
    return true;
}

uint32_t DatagramSocket::localAddress() const {
    return SocketAddress(fd_);
}

uint16_t DatagramSocket::localPort() const {
    return SocketPort(fd_);
}

long DatagramSocket::send(const uint8_t* bytes, std::size_t size) {
    if (fd_ < 0) {
        return -1;
    }
    return static_cast<long>(::send(fd_, bytes, size, MSG_NOSIGNAL));
}

long DatagramSocket::receive(uint8_t* buffer, std::size_t capacity) {
    if (fd_ < 0) {
        return -1;
    }
    for (;;) {
        const ssize_t size = ::recv(fd_, buffer, capacity, 0);
        if (size >= 0) {
            return static_cast<long>(size);
        }
        // A refusal reported by the peer's host (nobody listens there yet) is taken off the
        // socket and is not a datagram; the next one may still wait behind it.
        if (errno != EINTR && errno != ECONNREFUSED) {
            return -1;
        }
    }
}

void DatagramSocket::setNotifying(bool on) {
    if (notifier_ != nullptr) {
        notifier_->setEnabled(on);
    }
}

void DatagramSocket::close() {
    // The socket may be closed from inside the notifier's own signal.
    RetireNotifier(notifier_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace talmor

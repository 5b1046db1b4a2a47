#include "server/unansweredport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace talmor::server {
namespace {

sockaddr_in loopbackAddress(uint32_t address, uint16_t port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(address);
    where.sin_port = htons(port);
    return where;
}

// A connection into the queue: the system completes it on its own, nobody accepts it.
int connectFiller(uint32_t address, uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const sockaddr_in where = loopbackAddress(address, port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 &&
        errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool connected(int fd, int timeoutMs) {
    pollfd entry{fd, POLLOUT, 0};
    if (::poll(&entry, 1, timeoutMs) != 1) {
        return false;
    }
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace

UnansweredPort::~UnansweredPort() {
    closeAll();
}

bool UnansweredPort::open() {
    if (isOpen()) {
        return true;
    }
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0) {
        return false;
    }
    const sockaddr_in where = loopbackAddress(kAddress, 0);
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    // A backlog of 0 leaves room for one waiting connection: the filler takes it.
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(listener_, 0) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        closeAll();
        return false;
    }
    port_ = ntohs(bound.sin_port);
    // The queue is full once the filler is through: from then on the system drops SYNs.
    const int filler = connectFiller(kAddress, port_);
    if (filler < 0 || !connected(filler, 2000)) {
        if (filler >= 0) {
            ::close(filler);
        }
        closeAll();
        return false;
    }
    fillers_.push_back(filler);
    return true;
}

void UnansweredPort::closeAll() {
    for (int fd : fillers_) {
        ::close(fd);
    }
    fillers_.clear();
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
    }
    port_ = 0;
}

} // namespace talmor::server

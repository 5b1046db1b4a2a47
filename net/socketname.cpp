#include "net/socketname.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace talmor {

namespace {
sockaddr_in Name(int fd, bool peer) {
    sockaddr_in name{};
    socklen_t length = sizeof name;
    auto* address = reinterpret_cast<sockaddr*>(&name);
    const int result = fd < 0 ? -1
                       : peer ? ::getpeername(fd, address, &length)
                              : ::getsockname(fd, address, &length);
    return result == 0 ? name : sockaddr_in{};
}
} // namespace

uint32_t SocketAddress(int fd, bool peer) {
    return ntohl(Name(fd, peer).sin_addr.s_addr);
}

uint16_t SocketPort(int fd, bool peer) {
    return ntohs(Name(fd, peer).sin_port);
}

} // namespace talmor

#include "support/rawpeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "protocol/packet.h"
#include "protocol/peersession.h"

namespace talmor::e2e {

RawPeerConnection::RawPeerConnection(uint32_t from, uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(from);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(kLoopbackAddress);
    remote.sin_port = htons(port);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        (::connect(fd_, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0 &&
         errno != EINPROGRESS)) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawPeerConnection::~RawPeerConnection() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void RawPeerConnection::readWaiting() {
    while (fd_ >= 0 && !closed_) {
        uint8_t buffer[4096];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            received_.insert(received_.end(), buffer, buffer + got);
            continue;
        }
        if (got == 0 ||
            (errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOTCONN && errno != EINTR)) {
            closed_ = true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        break;
    }
}

bool RawPeerConnection::closedByConsole() {
    readWaiting();
    return closed_ || fd_ < 0;
}

bool RawPeerConnection::send(const std::vector<uint8_t>& bytes) {
    return fd_ >= 0 && ::send(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) ==
                           static_cast<ssize_t>(bytes.size());
}

std::vector<uint16_t> RawPeerConnection::receivedCommands() {
    readWaiting();
    std::vector<uint16_t> commands;
    std::size_t at = 0;
    while (received_.size() - at >= 2) {
        const std::size_t length = (std::size_t{received_[at]} << 8) | received_[at + 1];
        if (received_.size() - at < 2 + length) {
            break;
        }
        PeerInPacket packet(received_.data() + at + 2, length);
        commands.push_back(packet.command());
        at += 2 + length;
    }
    return commands;
}

namespace {
std::vector<uint8_t> bytesOf(PeerOutPacket& packet) {
    packet.setPrefix();
    return std::vector<uint8_t>(packet.data(), packet.data() + packet.length());
}
} // namespace

std::vector<uint8_t> peerHello(uint32_t sender) {
    PeerOutPacket packet(kPeerHello, sender);
    packet.writeByte(1);
    return bytesOf(packet);
}

std::vector<uint8_t> peerChat(uint32_t sender, uint32_t number, const std::string& text) {
    PeerOutPacket packet(kPeerChatMessage, sender);
    packet.writeInt(number).writeByte(1).writeInt(1234).writeString(text);
    return bytesOf(packet);
}

} // namespace talmor::e2e

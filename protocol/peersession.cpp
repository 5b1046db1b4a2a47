#include "protocol/peersession.h"

#include <cstring>

#include "protocol/clientlistener.h"
#include "protocol/peeradmission.h"
#include "protocol/peersessionmanager.h"

namespace talmor {

const char kMessageKind[] = "message";
const char kFileKind[] = "SendFile";
const char kVoiceKind[] = "SendWave";
const char kVideoKind[] = "SendVideo";

PeerSession::PeerSession(PeerSessionManager& manager, std::string kind, uint32_t peerId,
                         std::unique_ptr<PeerHandler> handler)
    : manager_(manager), kind_(std::move(kind)), peerId_(peerId), handler_(std::move(handler)) {
    if (const ContactRecord* contact = manager_.listener().contacts().find(peerId)) {
        knownPeerAddress_ = contact->peerAddress;
    }
}

PeerSession::~PeerSession() {
    close();
}

void PeerSession::close() {
    queue_.clear();
    if (socket_ != kNoSocket) {
        manager_.sockets().closeSocket(socket_);
        socket_ = kNoSocket;
    }
}

void PeerSession::closeAndRemove() {
    if (closed_) {
        return;
    }
    closed_ = true;
    close();
    manager_.remove(this);
}

void PeerSession::wantWrite() {
    if (socket_ != kNoSocket) {
        manager_.sockets().enableWrite(socket_);
    }
}

PeerOutPacket PeerSession::newPacket(uint16_t command) const {
    return PeerOutPacket(command, manager_.ownId());
}

bool PeerSession::sendPacket(PeerOutPacket& packet) {
    if (closed_) {
        return false;
    }
    if (state_ != PeerState::Connected) {
        if (queue_.size() >= kPeerQueueLimit) {
            return false;
        }
        queue_.push_back(packet);
        return true;
    }
    packet.setPrefix();
    return transmit(packet.data(), packet.length());
}

std::size_t PeerSession::unsentBytes() const {
    const std::size_t held = socket_ != kNoSocket ? manager_.sockets().unsentBytes(socket_) : 0;
    return pendingCount_ + held;
}

bool PeerSession::transmit(const uint8_t* bytes, std::size_t size) {
    if (pendingCount_ > 0) {
        // Bytes leave in the order the packets were sent: behind the pending ones.
        if (size > pending_.size() - pendingCount_) {
            return false;
        }
        std::memcpy(pending_.data() + pendingCount_, bytes, size);
        pendingCount_ += size;
        return true;
    }
    long taken = 0;
    if (manager_.sockets().unsentBytes(socket_) < kPeerSocketBacklog) {
        taken = manager_.sockets().sendBytes(socket_, bytes, size);
    }
    const std::size_t sent = taken > 0 ? static_cast<std::size_t>(taken) : 0;
    if (sent < size) {
        // A packet is never larger than the area, and the area is empty here.
        std::memcpy(pending_.data(), bytes + sent, size - sent);
        pendingCount_ = size - sent;
        wantWrite();
    }
    return true;
}

void PeerSession::flushPending() {
    if (pendingCount_ > 0 && manager_.sockets().unsentBytes(socket_) < kPeerSocketBacklog) {
        const long taken = manager_.sockets().sendBytes(socket_, pending_.data(), pendingCount_);
        if (taken > 0) {
            const auto sent = static_cast<std::size_t>(taken);
            std::memmove(pending_.data(), pending_.data() + sent, pendingCount_ - sent);
            pendingCount_ -= sent;
        }
    }
    if (pendingCount_ > 0) {
        wantWrite();
        return;
    }
    handler_->onSendable(*this);
}

bool PeerSession::connect(uint32_t address, uint16_t port, uint8_t initiatorFlag) {
    requestedAddress_ = address;
    requestedPort_ = port;
    initiator_ = initiatorFlag;
    if (address == 0) {
        address = knownPeerAddress_;
    }
    if (address == 0 || address != knownPeerAddress_) {
        return false;
    }
    socket_ = manager_.sockets().createSocket(SocketType::Stream, this);
    if (socket_ == kNoSocket) {
        return false;
    }
    if (!manager_.sockets().connectSocket(socket_, address, port)) {
        manager_.sockets().closeSocket(socket_);
        socket_ = kNoSocket;
        return false;
    }
    state_ = PeerState::Connecting;
    return true;
}

bool PeerSession::listen(uint32_t address, uint32_t acceptedPeer) {
    acceptedPeer_ = acceptedPeer;
    socket_ = manager_.sockets().listenSocket(this, address);
    if (socket_ == kNoSocket) {
        return false;
    }
    listening_ = true;
    state_ = PeerState::Connecting;
    return true;
}

void PeerSession::adopt(int handle, uint32_t acceptedPeer, uint32_t remoteAddress) {
    socket_ = handle;
    acceptedPeer_ = acceptedPeer;
    remoteAddress_ = remoteAddress;
    acceptedAt_ = manager_.clock().now();
    state_ = PeerState::AwaitingHello;
}

void PeerSession::sendHello() {
    PeerOutPacket hello = newPacket(kPeerHello);
    hello.writeByte(initiator_);
    sendPacket(hello);
}

void PeerSession::onConnected(bool success) {
    PeerSessionManager::Busy busy(manager_);
    if (closed_ || state_ != PeerState::Connecting || listening_) {
        return;
    }
    if (!success) {
        // The queue stays until the session is closed; the socket is of no more use.
        state_ = PeerState::NotConnected;
        manager_.sockets().closeSocket(socket_);
        socket_ = kNoSocket;
        return;
    }
    state_ = PeerState::Connected;
    if (handler_->onSessionConnected(*this)) {
        return;
    }
    sendHello();
    while (!queue_.empty() && !closed_) {
        PeerOutPacket packet = std::move(queue_.front());
        queue_.pop_front();
        sendPacket(packet);
    }
}

void PeerSession::onWritable() {
    PeerSessionManager::Busy busy(manager_);
    if (!closed_ && state_ == PeerState::Connected) {
        flushPending();
    }
}

void PeerSession::onReadable() {
    PeerSessionManager::Busy busy(manager_);
    if (!closed_ && (state_ == PeerState::AwaitingHello || state_ == PeerState::Connected)) {
        drain();
    }
}

void PeerSession::onClosed() {
    PeerSessionManager::Busy busy(manager_);
    // What the peer sent before it closed is still read: a last chunk or acknowledgement.
    if (!closed_ && (state_ == PeerState::AwaitingHello || state_ == PeerState::Connected)) {
        drain();
    }
    lose();
}

void PeerSession::lose() {
    if (closed_) {
        return;
    }
    const bool connected = state_ == PeerState::Connected;
    closeAndRemove();
    if (connected) {
        handler_->onSessionLost(*this);
    }
}

void PeerSession::onIncoming(int listenHandle) {
    PeerSessionManager::Busy busy(manager_);
    if (!closed_ && listening_) {
        manager_.acceptFor(listenHandle, kind_, acceptedPeer_);
    }
}

bool PeerSession::drain() {
    // A stream reports itself readable only when new bytes arrive, so everything waiting is
    // read now, a receive area at a time.
    while (!closed_) {
        const long got =
            manager_.sockets().receiveBytes(socket_, reader_.freeSpace(), reader_.freeSize());
        if (got == 0) {
            lose();
            break;
        }
        if (got < 0) {
            break;
        }
        reader_.added(static_cast<std::size_t>(got));
        const auto outcome =
            reader_.deframe([this](PeerInPacket& packet) { return receive(packet); });
        if (outcome == PeerStreamReader::Outcome::Impossible) {
            lose();
        }
    }
    return !closed_;
}

bool PeerSession::receive(PeerInPacket& packet) {
    if (packet.command() == kPeerHello && state_ == PeerState::AwaitingHello) {
        const uint32_t sender = packet.senderId();
        if (!helloAdmitted(manager_.listener().contacts(), kind_, acceptedPeer_, sender,
                           remoteAddress_)) {
            closeAndRemove();
            return false;
        }
        const uint8_t flag = packet.u8();
        state_ = PeerState::Connected;
        peerId_ = sender;
        if (const ContactRecord* contact = manager_.listener().contacts().find(sender)) {
            knownPeerAddress_ = contact->peerAddress;
        }
        initiator_ = flag == 0 ? 1 : 0;
        // Packets that came before the hello are sent now.
        while (!queue_.empty() && !closed_) {
            PeerOutPacket queued = std::move(queue_.front());
            queue_.pop_front();
            sendPacket(queued);
        }
    } else if (state_ != PeerState::Connected || packet.senderId() != peerId_) {
        return true;
    }
    handler_->onPacket(*this, packet);
    return !closed_;
}

} // namespace talmor

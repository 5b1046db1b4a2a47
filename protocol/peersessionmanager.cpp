#include "protocol/peersessionmanager.h"

#include <algorithm>

#include "protocol/clientlistener.h"
#include "protocol/peeradmission.h"
#include "protocol/peerhandlers.h"
#include "protocol/platformclient.h"

namespace talmor {

uint32_t nextPeerMessageNumber() {
    static uint32_t counter = UINT32_MAX;
    return --counter;
}

PeerSessionManager::PeerSessionManager(ClientListener& listener, SocketLayer& sockets,
                                       const Clock& clock, TimerHost& timers)
    : listener_(listener), sockets_(sockets), clock_(clock), timers_(timers) {}

PeerSessionManager::~PeerSessionManager() {
    ++busy_;
    if (sweeping_) {
        timers_.stopTimer(kHelloSweepTimer);
    }
    for (auto& session : sessions_) {
        session->close();
    }
    sessions_.clear();
    closing_.clear();
}

PeerSessionManager::Busy::Busy(PeerSessionManager& manager) : manager_(manager) {
    ++manager_.busy_;
}

PeerSessionManager::Busy::~Busy() {
    if (--manager_.busy_ == 0) {
        manager_.closing_.clear();
    }
}

uint32_t PeerSessionManager::ownId() const {
    return listener_.own().operatorId;
}

PeerSession* PeerSessionManager::add(std::unique_ptr<PeerSession> session) {
    sessions_.push_back(std::move(session));
    return sessions_.back().get();
}

void PeerSessionManager::remove(PeerSession* session) {
    auto found = std::find_if(sessions_.begin(), sessions_.end(),
                              [session](const auto& held) { return held.get() == session; });
    if (found == sessions_.end()) {
        return;
    }
    std::unique_ptr<PeerSession> owned = std::move(*found);
    sessions_.erase(found);
    // A session may be closing from inside its own notification, which still runs on it.
    closing_.push_back(std::move(owned));
    if (busy_ == 0) {
        closing_.clear();
    }
}

template <typename Match> void PeerSessionManager::closeWhere(Match match) {
    Busy busy(*this);
    std::vector<PeerSession*> matching;
    for (const auto& session : sessions_) {
        if (match(*session)) {
            matching.push_back(session.get());
        }
    }
    for (PeerSession* session : matching) {
        session->closeAndRemove();
    }
}

uint16_t PeerSessionManager::listenFor(const std::string& kind, uint32_t acceptedPeer) {
    closeSessions(kind, 0);
    auto owned = std::make_unique<PeerSession>(*this, kind, 0, makePeerHandler(kind));
    PeerSession* session = owned.get();
    // Peers learn the address the console reported at login; nobody else needs the port.
    if (!session->listen(listener_.client().udpSession().localAddress(), acceptedPeer)) {
        return 0;
    }
    add(std::move(owned));
    return sockets_.localPort(session->socketHandle());
}

PeerSession* PeerSessionManager::acceptFor(int listenHandle, const std::string& kind,
                                           uint32_t acceptedPeer) {
    auto owned = std::make_unique<PeerSession>(*this, kind, 0, makePeerHandler(kind));
    const int handle = sockets_.acceptSocket(listenHandle, owned.get());
    if (handle == kNoSocket) {
        return nullptr;
    }
    const uint32_t from = sockets_.remoteAddress(handle);
    if (!connectionAdmitted(listener_.contacts(), kind, acceptedPeer, from)) {
        // The server may already have said that this contact came online, in a datagram the
        // event loop has not handed over yet: it is read before the contact is turned away.
        listener_.client().udpSession().onReadable();
    }
    if (!connectionAdmitted(listener_.contacts(), kind, acceptedPeer, from)) {
        // Not a byte is read from a stranger, and it holds no descriptor.
        sockets_.closeSocket(handle);
        return nullptr;
    }
    owned->adopt(handle, acceptedPeer, from);
    PeerSession* session = add(std::move(owned));
    // A flood of silent connections from a contact's address must not keep the contact out:
    // the oldest silent one makes room for the newest.
    sweepWaiting(kHelloWaitLimit);
    return session;
}

std::size_t PeerSessionManager::waitingForHello() const {
    return static_cast<std::size_t>(
        std::count_if(sessions_.begin(), sessions_.end(), [](const auto& session) {
            return session->state() == PeerState::AwaitingHello;
        }));
}

void PeerSessionManager::sweepWaiting(std::size_t room) {
    Busy busy(*this);
    const int64_t now = clock_.now();
    std::vector<PeerSession*> waiting;
    for (const auto& session : sessions_) {
        if (session->state() == PeerState::AwaitingHello) {
            waiting.push_back(session.get());
        }
    }
    // Sessions are in creation order: the oldest come first.
    const std::size_t excess = waiting.size() > room ? waiting.size() - room : 0;
    std::size_t left = waiting.size();
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        if (i < excess || now - waiting[i]->acceptedAt() >= kHelloWaitSeconds) {
            waiting[i]->closeAndRemove();
            --left;
        }
    }
    if (left > 0 && !sweeping_) {
        sweeping_ = true;
        timers_.startTimer(kHelloSweepTimer, kHelloSweepPeriodMs);
    } else if (left == 0 && sweeping_) {
        sweeping_ = false;
        timers_.stopTimer(kHelloSweepTimer);
    }
}

void PeerSessionManager::onTimer(int id) {
    if (id == kHelloSweepTimer) {
        sweepWaiting(kHelloWaitLimit);
    }
}

PeerSession* PeerSessionManager::findSession(const std::string& kind, uint32_t peer) const {
    for (const auto& session : sessions_) {
        if (session->kind() == kind && (peer == 0 || session->peerId() == peer)) {
            return session.get();
        }
    }
    return nullptr;
}

void PeerSessionManager::closeSessions(const std::string& kind, uint32_t peer) {
    closeWhere([&](const PeerSession& session) {
        return session.kind() == kind && (peer == 0 || session.peerId() == peer);
    });
}

void PeerSessionManager::closeSessionsFor(const std::string& kind, uint32_t peer) {
    closeWhere([&](const PeerSession& session) {
        return session.kind() == kind &&
               (session.peerId() == peer ||
                (session.peerId() == 0 && session.acceptedPeer() == peer));
    });
}

void PeerSessionManager::closeSessionsWith(uint32_t peer) {
    closeWhere([peer](const PeerSession& session) { return session.peerId() == peer; });
}

void PeerSessionManager::closeContactSessions(bool all) {
    closeWhere([all](const PeerSession& session) { return all || !session.isListener(); });
}

void PeerSessionManager::contactOnline(uint32_t peer) {
    closeWhere([peer](const PeerSession& session) {
        return session.peerId() == peer && session.state() == PeerState::NotConnected;
    });
}

PeerSession* PeerSessionManager::ConnectPeer(std::unique_ptr<PeerHandler> handler, uint32_t peer,
                                             uint32_t address, uint16_t port) {
    PeerSession* session = add(std::make_unique<PeerSession>(*this, "", peer, std::move(handler)));
    session->connect(address, port, 1);
    return session;
}

PeerSession* PeerSessionManager::connectToContact(const std::string& kind, uint32_t peer,
                                                  uint16_t port) {
    const ContactRecord* contact = listener_.contacts().find(peer);
    if (contact == nullptr || contact->altAddress == 0) {
        return nullptr;
    }
    PeerSession* session =
        add(std::make_unique<PeerSession>(*this, kind, peer, makePeerHandler(kind)));
    session->connect(contact->peerAddress, port, 1);
    return session;
}

uint32_t PeerSessionManager::sendChatMessage(uint8_t kind, uint32_t peer, const std::string& body,
                                             bool viaServer) {
    PeerSession* session = nullptr;
    if (!viaServer) {
        session = findSession(kMessageKind, peer);
        if (session == nullptr) {
            const ContactRecord* contact = listener_.contacts().find(peer);
            session =
                connectToContact(kMessageKind, peer, contact != nullptr ? contact->messagePort : 0);
        }
    }
    if (session != nullptr && session->state() != PeerState::NotConnected) {
        const uint32_t number = nextPeerMessageNumber();
        PeerOutPacket packet = session->newPacket(kPeerChatMessage);
        packet.writeInt(number)
            .writeByte(kind)
            .writeInt(static_cast<uint32_t>(clock_.now()))
            .writeString(body);
        // A refused packet (the link is full) is answered by nobody: the chat window's wait
        // sends the message again through the server.
        session->sendPacket(packet);
        return number;
    }
    return listener_.client().sendMessage(kind, peer, body);
}

bool PeerSessionManager::startFileTransfer(uint32_t peer, uint16_t port, uint32_t size,
                                           const std::string& path) {
    closeSessions(kFileKind, peer);
    PeerSession* session = connectToContact(kFileKind, peer, port);
    if (session == nullptr || session->state() == PeerState::NotConnected) {
        return false;
    }
    static_cast<FileHandler*>(session->handler())->setOutgoing(size, path);
    PeerOutPacket start = session->newPacket(kPeerStart);
    session->sendPacket(start);
    return true;
}

bool PeerSessionManager::startMedia(const std::string& kind, uint32_t peer, uint16_t port) {
    closeSessions(kind, peer);
    PeerSession* session = connectToContact(kind, peer, port);
    if (session == nullptr || session->state() == PeerState::NotConnected) {
        return false;
    }
    PeerOutPacket start = session->newPacket(kPeerStart);
    session->sendPacket(start);
    return true;
}

bool PeerSessionManager::startVoice(uint32_t peer, uint16_t port) {
    return startMedia(kVoiceKind, peer, port);
}

bool PeerSessionManager::startVideo(uint32_t peer, uint16_t port) {
    return startMedia(kVideoKind, peer, port);
}

bool PeerSessionManager::sendMedia(const std::string& kind, uint32_t peer, const uint8_t* data,
                                   std::size_t length) {
    PeerSession* session = findSession(kind, peer);
    if (session == nullptr || session->state() != PeerState::Connected ||
        !static_cast<MediaHandler*>(session->handler())->started()) {
        return false;
    }
    PeerOutPacket packet = session->newPacket(kPeerData);
    if (length > kPacketCapacity - packet.length()) {
        return false;
    }
    packet.writeBytes(data, length);
    return session->sendPacket(packet);
}

bool PeerSessionManager::sendVoiceData(uint32_t peer, const uint8_t* data, std::size_t length) {
    return sendMedia(kVoiceKind, peer, data, length);
}

bool PeerSessionManager::sendVideoData(uint32_t peer, const uint8_t* data, std::size_t length) {
    return sendMedia(kVideoKind, peer, data, length);
}

std::size_t PeerSessionManager::unsentVideoBytes(uint32_t peer) const {
    const PeerSession* session = findSession(kVideoKind, peer);
    return session != nullptr ? session->unsentBytes() : 0;
}

void PeerSessionManager::dropMessageQueue(uint32_t peer) {
    if (PeerSession* session = findSession(kMessageKind, peer)) {
        session->dropQueue();
    }
}

} // namespace talmor

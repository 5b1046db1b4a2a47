#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "protocol/packet.h"
#include "protocol/peerstream.h"
#include "protocol/socketlayer.h"

namespace talmor {

class PeerSession;
class PeerSessionManager;

// The kinds of session between consoles, by the names both sides use.
extern const char kMessageKind[]; // "message"
extern const char kFileKind[];    // "SendFile"
extern const char kVoiceKind[];   // "SendWave"
extern const char kVideoKind[];   // "SendVideo"

// Peer commands. 4096 to 4098 mean different things per kind.
constexpr uint16_t kPeerHello = 1;
constexpr uint16_t kPeerChatMessage = 4096; // "message"
constexpr uint16_t kPeerChatAck = 4097;     // "message"
constexpr uint16_t kPeerStart = 4096;       // "SendFile", "SendWave", "SendVideo"
constexpr uint16_t kPeerAnswer = 4097;      // file: ready for the next chunk; media: started
constexpr uint16_t kPeerData = 4098;        // file chunk, coded voice, compressed video

// Bytes a stream may hold unsent before the session keeps further bytes in its own pending
// area (and refuses what does not fit there).
constexpr std::size_t kPeerSocketBacklog = 64 * 1024;
// Packets a session that is not connected yet keeps for later.
constexpr std::size_t kPeerQueueLimit = 256;

// What one kind of session does with its packets; owned by its session.
class PeerHandler {
public:
    virtual ~PeerHandler() = default;
    // The connect succeeded; true when the handler starts the conversation itself (then no
    // hello and no queued packet goes out).
    virtual bool onSessionConnected(PeerSession&) { return false; }
    // The pending area became empty.
    virtual void onSendable(PeerSession&) {}
    // A packet of the session's peer, hello included (after it was checked).
    virtual void onPacket(PeerSession& session, PeerInPacket& packet) = 0;
    // The peer closed or reset the connection, or it broke, before this side closed it; the
    // session is closed already. What the session carried ends on this side too.
    virtual void onSessionLost(PeerSession&) {}
};

enum class PeerState : uint8_t {
    NotConnected = 0,  // initial, refused or failed connect
    Connecting = 1,    // connect issued, or listening
    AwaitingHello = 2, // accepted, the peer has not said who it is
    Connected = 3,
};

// One connection to another console, or one listening socket, of a given kind. Sessions are
// owned by their manager; closeAndRemove hands a session back to it, which destroys it once
// no notification of the session is running any more.
class PeerSession : public SocketSink, public ListenSink {
public:
    PeerSession(PeerSessionManager& manager, std::string kind, uint32_t peerId,
                std::unique_ptr<PeerHandler> handler);
    ~PeerSession() override;
    PeerSession(const PeerSession&) = delete;
    PeerSession& operator=(const PeerSession&) = delete;

    PeerSessionManager& manager() { return manager_; }
    int socketHandle() const { return socket_; }
    uint32_t peerId() const { return peerId_; }
    const std::string& kind() const { return kind_; }
    PeerState state() const { return state_; }
    uint8_t initiator() const { return initiator_; }
    bool isListener() const { return listening_; }
    bool closed() const { return closed_; }
    // The one peer a media listener, or a connection it accepted, lets in (0: any contact).
    uint32_t acceptedPeer() const { return acceptedPeer_; }
    PeerHandler* handler() { return handler_.get(); }

    // Closes the session and leaves the manager's list; the session is destroyed.
    void closeAndRemove();
    // Drops the send queue and closes the socket.
    void close();
    void wantWrite();
    PeerOutPacket newPacket(uint16_t command) const;
    // Sends at once when connected, else queues. False when the packet was refused: closed,
    // a full queue, or a pending area that cannot hold what the socket did not take.
    bool sendPacket(PeerOutPacket& packet);
    void dropQueue() { queue_.clear(); }
    std::size_t queued() const { return queue_.size(); }
    // Bytes of packets sent in state 3 that have not reached the network yet: the session's
    // pending area and what the socket still holds.
    std::size_t unsentBytes() const;

    // Connects to the peer at `address` (0: its peerAddress), which must be the peer's known
    // peerAddress; false when refused or when the connect cannot start (the state stays 0).
    bool connect(uint32_t address, uint16_t port, uint8_t initiatorFlag);
    // Listens on `address`; false when no socket could be made. A media listener names the one
    // peer whose offer was accepted (`acceptedPeer`); 0 lets any contact in.
    bool listen(uint32_t address, uint32_t acceptedPeer);
    // Takes an accepted connection from `remoteAddress`: waits for the hello, from
    // `acceptedPeer` for media.
    void adopt(int handle, uint32_t acceptedPeer, uint32_t remoteAddress);
    // When an accepted connection came (the clock's seconds), to close it if it stays silent.
    int64_t acceptedAt() const { return acceptedAt_; }

    // SocketSink.
    void onReadable() override;
    void onConnected(bool success) override;
    void onWritable() override;
    void onClosed() override;
    // ListenSink.
    void onIncoming(int listenHandle) override;

private:
    bool transmit(const uint8_t* bytes, std::size_t size);
    void flushPending();
    // Reads every waiting byte and hands on the packets; false once the session is closed.
    bool drain();
    bool receive(PeerInPacket& packet);
    // The connection went from the other side: closed, and the handler told.
    void lose();
    void sendHello();

    PeerSessionManager& manager_;
    std::string kind_;
    uint32_t peerId_;
    uint32_t knownPeerAddress_ = 0; // the contact's peerAddress when the session was made
    PeerState state_ = PeerState::NotConnected;
    uint8_t initiator_ = 0;
    uint32_t requestedAddress_ = 0;
    uint16_t requestedPort_ = 0;
    std::unique_ptr<PeerHandler> handler_;
    int socket_ = kNoSocket;
    bool listening_ = false;
    bool closed_ = false;
    uint32_t acceptedPeer_ = 0;
    uint32_t remoteAddress_ = 0;
    int64_t acceptedAt_ = 0;
    std::deque<PeerOutPacket> queue_;
    PeerStreamReader reader_;
    std::array<uint8_t, kPacketCapacity> pending_{};
    std::size_t pendingCount_ = 0;
};

} // namespace talmor

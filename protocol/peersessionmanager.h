#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/environment.h"
#include "protocol/peersession.h"
#include "protocol/peersessions.h"
#include "protocol/socketlayer.h"

namespace talmor {

class ClientListener;

// The next number of a chat message sent over a peer session: one counter for the process,
// counting down from the largest u32, so numbers never meet datagram sequence numbers.
uint32_t nextPeerMessageNumber();

// Accepted connections that have not said who they are yet: at most this many wait (the
// oldest goes for a newer one), each for about this long.
constexpr std::size_t kHelloWaitLimit = 64;
constexpr int64_t kHelloWaitSeconds = 10;

// Every direct session of the console, in creation order, and the operations the chat, file,
// voice and video windows use to talk to another console directly.
class PeerSessionManager : public PeerSessions {
public:
    // `timers` runs the sweep of silent connections (kHelloSweepTimer); its owner hands the
    // expiries to onTimer.
    PeerSessionManager(ClientListener& listener, SocketLayer& sockets, const Clock& clock,
                       TimerHost& timers);
    ~PeerSessionManager() override;
    PeerSessionManager(const PeerSessionManager&) = delete;
    PeerSessionManager& operator=(const PeerSessionManager&) = delete;

    // Closes every session of `kind` and listens for it on the address the console reported
    // at login; returns the port, 0 when none. A "message" listener lets in any contact that
    // connects from its known address; a media listener only `acceptedPeer` (none when 0).
    uint16_t listenFor(const std::string& kind) override { return listenFor(kind, 0); }
    uint16_t listenFor(const std::string& kind, uint32_t acceptedPeer);
    // A connection arrived at a listener: a session of that kind waiting for its hello. None
    // when it was closed unread: it does not come from an address a contact announced (for
    // media: the accepted peer).
    PeerSession* acceptFor(int listenHandle, const std::string& kind, uint32_t acceptedPeer);
    // kHelloSweepTimer expired: connections silent for kHelloWaitSeconds are closed.
    void onTimer(int id);
    // Accepted connections still waiting for their hello.
    std::size_t waitingForHello() const;

    // The first session of `kind` with `peer` (any peer when 0).
    PeerSession* findSession(const std::string& kind, uint32_t peer) const;
    // Closes the sessions of `kind` with `peer` (all of that kind when 0).
    void closeSessions(const std::string& kind, uint32_t peer);
    // Closes every session of `kind` that serves `peer`: its connections, and the listener (and
    // connections still waiting for their hello) that let in only `peer`.
    void closeSessionsFor(const std::string& kind, uint32_t peer);
    void closeSessionsWith(uint32_t peer) override;
    void closeContactSessions(bool all) override;
    // The peer announced itself online: a session whose connect to its old address failed goes,
    // so the next message tries the new one.
    void contactOnline(uint32_t peer) override;

    // A session of no kind with `handler`, connected to `peer` at `address` (0: the peer's
    // peerAddress) and `port` as the initiator. Refused connects leave it in state 0.
    PeerSession* ConnectPeer(std::unique_ptr<PeerHandler> handler, uint32_t peer, uint32_t address,
                             uint16_t port);

    // Sends a chat message directly when the peer can be reached (returns its message number),
    // else through the server (returns the request's sequence number).
    uint32_t sendChatMessage(uint8_t kind, uint32_t peer, const std::string& body, bool viaServer);
    // Start a direct transfer or talk with `peer` at `port`; false when no connection is being
    // made (the caller falls back to the server's relay).
    bool startFileTransfer(uint32_t peer, uint16_t port, uint32_t size, const std::string& path);
    bool startVoice(uint32_t peer, uint16_t port);
    bool startVideo(uint32_t peer, uint16_t port);
    // Media data for a started talk; false when it was dropped (no talk, or the link is full).
    bool sendVoiceData(uint32_t peer, const uint8_t* data, std::size_t length);
    bool sendVideoData(uint32_t peer, const uint8_t* data, std::size_t length);
    // Bytes the "SendVideo" session with `peer` has not handed to the network yet (0 without
    // one), so a sender of pictures can skip one rather than queue it behind the last.
    std::size_t unsentVideoBytes(uint32_t peer) const;
    // Discards the messages waiting for the "message" session with `peer` to connect.
    void dropMessageQueue(uint32_t peer);

    ClientListener& listener() { return listener_; }
    SocketLayer& sockets() { return sockets_; }
    const Clock& clock() const { return clock_; }
    uint32_t ownId() const;
    std::size_t size() const { return sessions_.size(); }

    // Takes a closed session out of the list; it is destroyed once no notification runs.
    void remove(PeerSession* session);

    // Held while a session handles a notification: sessions closed meanwhile stay alive until
    // the outermost notification returns.
    class Busy {
    public:
        explicit Busy(PeerSessionManager& manager);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        PeerSessionManager& manager_;
    };

private:
    PeerSession* add(std::unique_ptr<PeerSession> session);
    // A session of `kind` connected to the contact's peerAddress at `port`, when the contact
    // announced an address; none otherwise.
    PeerSession* connectToContact(const std::string& kind, uint32_t peer, uint16_t port);
    bool startMedia(const std::string& kind, uint32_t peer, uint16_t port);
    bool sendMedia(const std::string& kind, uint32_t peer, const uint8_t* data, std::size_t length);
    template <typename Match> void closeWhere(Match match);
    // Closes the silent connections that waited too long, and the oldest ones beyond `room`
    // free places; runs the sweep timer while any wait.
    void sweepWaiting(std::size_t room);

    ClientListener& listener_;
    SocketLayer& sockets_;
    const Clock& clock_;
    TimerHost& timers_;
    bool sweeping_ = false;
    std::vector<std::unique_ptr<PeerSession>> sessions_;
    std::vector<std::unique_ptr<PeerSession>> closing_;
    int busy_ = 0;
};

} // namespace talmor

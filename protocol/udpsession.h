#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "protocol/environment.h"
#include "protocol/packet.h"
#include "protocol/packetcipher.h"
#include "protocol/socketlayer.h"

namespace talmor {

// What the session reports to the command layer above it.
class SessionEvents {
public:
    virtual ~SessionEvents() = default;
    // Handles a datagram that passed the gate and the duplicate filter. Returns false for the
    // kinds that are never acknowledged (keep-alive answers, unknown codes, call-gone notices).
    virtual bool dispatch(InPacket& packet) = 0;
    virtual void onConnected(bool up) = 0;
    virtual void onRequestAcked(uint32_t seq) = 0;
    virtual void onRequestTimedOut(uint32_t seq) = 0;
};

// The console's reliable channel to the platform server: one connected datagram socket, a
// pending queue of requests retransmitted until acknowledged (three sends at most), the
// acknowledgement of every server packet, a duplicate filter and the keep-alive.
class UdpSession : public SocketSink {
public:
    static constexpr int kMaxSends = 3;
    static constexpr int kRetryIntervalSeconds = 10;
    static constexpr int kKeepAliveLossLimit = 2;

    UdpSession(SocketLayer& sockets, const Clock& clock, Random& random, SessionEvents& events);
    ~UdpSession() override;
    UdpSession(const UdpSession&) = delete;
    UdpSession& operator=(const UdpSession&) = delete;

    // New session id and starting sequence number; forgets pending requests, the duplicate
    // filter and missed keep-alives.
    void reset();
    // Fixes the server's address (host order) and learns the local address, then reports
    // onConnected(true). False, with nothing reported, when the socket cannot be connected.
    bool connect(uint32_t serverAddress, uint16_t port);

    std::unique_ptr<OutPacket> newRequest(uint16_t command);
    // Enciphers (all but the login), sends and queues the request; returns its seq, or 0 with
    // nothing sent when its body is too long to encipher.
    uint16_t queueAndSend(std::unique_ptr<OutPacket> packet);
    void sendAck(uint16_t seq);
    void checkRetransmit();
    void sendKeepAlive();
    void keepAliveAnswered() { missedKeepAlives_ = 0; }
    // Sends the logout once and drops every pending request.
    void logout();

    // The gate, acknowledgement matching, duplicate filter, dispatch and acknowledgement of one
    // received datagram.
    void receiveDatagram(const uint8_t* bytes, std::size_t size);

    void setSenderId(uint32_t id) { senderId_ = id; }
    void setCipherKey(const std::string& password) { cipher_.setKeyFromPassword(password); }

    uint32_t sessionId() const { return sessionId_; }
    uint16_t lastAckSeq() const { return lastAckSeq_; }
    uint32_t localAddress() const { return localAddress_; }
    int missedKeepAlives() const { return missedKeepAlives_; }
    // False for a datagram that arrived after a newer one (a retransmission of one that was
    // lost): while it is dispatched, a stream of live data can tell it came late.
    bool isNewest(uint16_t seq) const { return anySeen_ && seq == newestSeen_; }
    std::size_t pendingCount() const { return liveCount_; }
    // Whether request `seq` waits for its acknowledgement (neither acknowledged nor given up).
    bool isPending(uint16_t seq) const;

    void onReadable() override;
    void onConnected(bool) override {}
    void onWritable() override {}
    void onClosed() override {}

private:
    void send(const OutPacket& packet);
    void onTimeout(const OutPacket& packet);
    bool testAndSetSeen(uint16_t seq);
    void clearPending();
    void enqueue(std::unique_ptr<OutPacket> packet);
    // Takes the front entry off the queue (an acknowledged entry is an empty slot).
    std::unique_ptr<OutPacket> popFront();
    void dropAcknowledgedFront();

    SocketLayer& sockets_;
    const Clock& clock_;
    Random& random_;
    SessionEvents& events_;
    PacketCipher cipher_;
    int socket_ = kNoSocket;

    uint32_t senderId_ = 0;
    uint32_t sessionId_ = 0;
    uint16_t nextSeq_ = 0;
    uint16_t lastAckSeq_ = 0;
    int missedKeepAlives_ = 0;
    uint32_t localAddress_ = 0;
    std::vector<uint8_t> seen_;
    // The newest server seq seen; numbers fall out of the filter as it advances.
    uint16_t newestSeen_ = 0;
    bool anySeen_ = false;
    // Pending requests in send order. An acknowledged request leaves an empty slot behind, so
    // acknowledging is two array accesses however many requests wait; its packet goes to a
    // small pool that new requests reuse, which keeps freeing cold memory out of that path.
    std::deque<std::unique_ptr<OutPacket>> pending_;
    uint64_t frontPosition_ = 0;          // absolute position of pending_.front()
    std::vector<uint64_t> positionBySeq_; // position + 1 of the pending request, 0 for none
    std::size_t liveCount_ = 0;
    std::vector<std::unique_ptr<OutPacket>> pool_;
};

} // namespace talmor

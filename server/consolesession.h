#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol/packet.h"
#include "protocol/packetcipher.h"

namespace talmor::server {

// Where a console's datagrams come from (address in host order).
struct Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;

    bool operator==(const Endpoint& other) const {
        return address == other.address && port == other.port;
    }
    bool operator<(const Endpoint& other) const {
        return address != other.address ? address < other.address : port < other.port;
    }
    std::string text() const;
};

enum class SessionState {
    Refused, // the login was refused: only the refusal is delivered
    Active,  // logged in
    Evicted, // the operator logged in elsewhere: only the notice is delivered
};

// A packet of the server on its way to a console, sent again until the console acknowledges
// it or it has been sent `maxSends` times. Packets the console never acknowledges go out that
// many times all the same (the console drops the extra copies as duplicates).
struct OutgoingPacket {
    OutPacket packet;
    int sends = 0;
    int64_t dueMs = 0;
    bool expectAck = true;
};

// A call list request answered later: it would have had an empty page.
struct HeldList {
    uint16_t seq = 0;     // the request's number, which the page acknowledges
    uint32_t startId = 0; // the page starts after this callId
    int64_t dueMs = 0;    // the empty page goes at this time if no call came
};

// One console's session with the server, keyed by its endpoint and the session id it chose at
// login. The operator is the one that logged in on it; later requests cannot name another.
class ConsoleSession {
public:
    ConsoleSession(Endpoint endpoint, uint32_t sessionId, uint32_t operatorId, uint16_t firstSeq);

    const Endpoint& endpoint() const { return endpoint_; }
    uint32_t sessionId() const { return sessionId_; }
    uint32_t operatorId() const { return operatorId_; }

    SessionState state = SessionState::Refused;
    uint32_t status = 1;         // 0 online, 2 away, 3 invisible while logged in
    bool loginComplete = false;  // the console has its contact list and presence
    uint16_t contactListSeq = 0; // the last contact-list packet; presence follows its delivery
    uint32_t localAddress = 0;
    uint16_t messagePort = 0;
    uint16_t videoCapable = 0;
    std::string installationId;
    int64_t lastHeardMs = 0;
    PacketCipher cipher;
    std::set<uint32_t> callsShown; // calls this console was sent, to withdraw them later
    // Held call list requests by request code: one per list, the newest.
    std::map<uint16_t, HeldList> heldLists;
    // Kept chat messages on their way to this console, by packet number: each is forgotten
    // once acknowledged, and goes again at the next login otherwise.
    std::map<uint16_t, uint64_t> keptInFlight;

    bool visible() const { return state == SessionState::Active && (status == 0 || status == 2); }

    // A packet with the header written: this session's id, the next sequence number (0 for a
    // pure acknowledgement) and `ackSeq`.
    OutPacket newPacket(uint16_t command, uint16_t ackSeq);
    OutPacket pureAck(uint16_t ackSeq) const;

    // Duplicate filter of the console's requests: true the first time `seq` is seen.
    bool firstSight(uint16_t seq);
    bool seen(uint16_t seq) const;

    // Packets sent and not yet acknowledged (or not yet sent out all their copies).
    void queue(OutgoingPacket packet);
    // Removes the packet the console acknowledged; false when none waits with that number.
    bool acknowledge(uint16_t seq);
    std::list<OutgoingPacket>& outbox() { return outbox_; }
    // How many packets that await an acknowledgement are out.
    std::size_t inFlight() const { return inFlight_; }
    void forget(std::list<OutgoingPacket>::iterator packet);

    // Packets held back while `inFlight` is at the send window, in order.
    std::list<OutgoingPacket>& held() { return held_; }

    bool idle() const { return outbox_.empty() && held_.empty(); }
    std::size_t pendingCount() const { return outbox_.size() + held_.size(); }
    void dropAll();

private:
    Endpoint endpoint_;
    uint32_t sessionId_;
    uint32_t operatorId_;
    uint16_t nextSeq_;
    std::vector<uint8_t> seen_;
    std::list<OutgoingPacket> outbox_;
    std::list<OutgoingPacket> held_;
    std::size_t inFlight_ = 0;
};

} // namespace talmor::server

#include "server/consolesession.h"

#include "protocol/commands.h"

namespace talmor::server {

namespace {
constexpr std::size_t kSeenBytes = 65536 / 8;
// A request number this far behind the newest is forgotten, so that a console whose counter
// wraps during a long session is still heard.
constexpr uint16_t kSeenWindow = 32768;
} // namespace

std::string Endpoint::text() const {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF) + ":" +
           std::to_string(port);
}

ConsoleSession::ConsoleSession(Endpoint endpoint, uint32_t sessionId, uint32_t operatorId,
                               uint16_t firstSeq)
    : endpoint_(endpoint), sessionId_(sessionId), operatorId_(operatorId), nextSeq_(firstSeq),
      seen_(kSeenBytes, 0) {}

OutPacket ConsoleSession::newPacket(uint16_t command, uint16_t ackSeq) {
    ++nextSeq_;
    if (nextSeq_ == 0) {
        // 0 marks a pure acknowledgement, which the console does not dispatch.
        ++nextSeq_;
    }
    OutPacket packet = makeDatagram(0, sessionId_, command, nextSeq_);
    packet.putShortAt(kCheckWordOffset, ackSeq);
    return packet;
}

OutPacket ConsoleSession::pureAck(uint16_t ackSeq) const {
    OutPacket packet = makeDatagram(0, sessionId_, CMD_ACK, 0);
    packet.putShortAt(kCheckWordOffset, ackSeq);
    return packet;
}

bool ConsoleSession::seen(uint16_t seq) const {
    return (seen_[seq >> 3] & (1u << (seq & 7))) != 0;
}

bool ConsoleSession::firstSight(uint16_t seq) {
    if (seen(seq)) {
        return false;
    }
    seen_[seq >> 3] = static_cast<uint8_t>(seen_[seq >> 3] | (1u << (seq & 7)));
    const auto far = static_cast<uint16_t>(seq + kSeenWindow);
    seen_[far >> 3] = static_cast<uint8_t>(seen_[far >> 3] & ~(1u << (far & 7)));
    return true;
}

void ConsoleSession::queue(OutgoingPacket packet) {
    inFlight_ += packet.expectAck ? 1 : 0;
    outbox_.push_back(std::move(packet));
}

void ConsoleSession::forget(std::list<OutgoingPacket>::iterator packet) {
    inFlight_ -= packet->expectAck ? 1 : 0;
    outbox_.erase(packet);
}

bool ConsoleSession::acknowledge(uint16_t seq) {
    // Acknowledgements come mostly in sending order: the packet is usually at the front.
    for (auto it = outbox_.begin(); it != outbox_.end(); ++it) {
        if (it->packet.seq == seq) {
            forget(it);
            return true;
        }
    }
    return false;
}

void ConsoleSession::dropAll() {
    outbox_.clear();
    held_.clear();
    inFlight_ = 0;
}

} // namespace talmor::server

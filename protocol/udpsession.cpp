#include "protocol/udpsession.h"

#include <array>
#include <string>

#include "protocol/commands.h"
#include "protocol/trace.h"

namespace talmor {

namespace {
constexpr std::size_t kSeenBytes = 65536 / 8;
// Half of the sequence space: a number this far behind the newest one is forgotten, so a long
// session keeps accepting new packets after the server's counter wraps.
constexpr uint16_t kSeenWindow = 32768;
constexpr std::size_t kPoolLimit = 64;
} // namespace

UdpSession::UdpSession(SocketLayer& sockets, const Clock& clock, Random& random,
                       SessionEvents& events)
    : sockets_(sockets), clock_(clock), random_(random), events_(events), seen_(kSeenBytes, 0),
      positionBySeq_(65536, 0) {
    socket_ = sockets_.createSocket(SocketType::Datagram, this);
    reset();
}

UdpSession::~UdpSession() {
    clearPending();
    if (socket_ != kNoSocket) {
        sockets_.closeSocket(socket_);
    }
}

void UdpSession::reset() {
    sessionId_ = (random_.next() & 0x7FFFFFFF) + 1;
    nextSeq_ = static_cast<uint16_t>(random_.next() & 0x3FFF);
    missedKeepAlives_ = 0;
    lastAckSeq_ = 0;
    seen_.assign(kSeenBytes, 0);
    anySeen_ = false;
    clearPending();
}

bool UdpSession::connect(uint32_t serverAddress, uint16_t port) {
    if (socket_ == kNoSocket || !sockets_.connectSocket(socket_, serverAddress, port)) {
        traceWarning("can not connect to server");
        return false;
    }
    localAddress_ = sockets_.localAddress(socket_);
    events_.onConnected(true);
    return true;
}

std::unique_ptr<OutPacket> UdpSession::newRequest(uint16_t command) {
    ++nextSeq_;
    if (nextSeq_ == 0) {
        // 0 marks a pure acknowledgement in server packets; a request never carries it.
        ++nextSeq_;
    }
    if (pool_.empty()) {
        return std::make_unique<OutPacket>(makeDatagram(senderId_, sessionId_, command, nextSeq_));
    }
    std::unique_ptr<OutPacket> packet = std::move(pool_.back());
    pool_.pop_back();
    *packet = makeDatagram(senderId_, sessionId_, command, nextSeq_);
    return packet;
}

uint16_t UdpSession::queueAndSend(std::unique_ptr<OutPacket> packet) {
    if (packet->command != CMD_LOGIN &&
        !encipherRequest(*packet, cipher_, static_cast<uint8_t>(random_.next() & 0xFF))) {
        // Sent plain with checkWord 0, the server would take it for garbage or read it as it is.
        traceWarning("packet " + std::to_string(packet->seq) +
                     " is too long to encipher, not sent");
        return 0;
    }
    packet->tries = 0;
    packet->expiry = clock_.now() + kRetryIntervalSeconds;
    send(*packet);
    const uint16_t seq = packet->seq;
    enqueue(std::move(packet));
    return seq;
}

void UdpSession::sendAck(uint16_t seq) {
    send(makeDatagram(senderId_, sessionId_, CMD_ACK, seq));
}

void UdpSession::checkRetransmit() {
    const int64_t now = clock_.now();
    // Acknowledged requests leave empty slots anywhere in the queue, also right behind a
    // request that has just been taken off the front.
    for (dropAcknowledgedFront(); !pending_.empty() && now >= pending_.front()->expiry;
         dropAcknowledgedFront()) {
        std::unique_ptr<OutPacket> packet = popFront();
        ++packet->tries;
        if (packet->tries >= kMaxSends) {
            traceWarning("packet " + std::to_string(packet->seq) + " timed out");
            // The listener may log in again from here, which resets this queue; the packet is
            // already out of it.
            onTimeout(*packet);
            continue;
        }
        if (traceDetails()) {
            trace("retransmit packet " + std::to_string(packet->seq));
        }
        packet->expiry = now + kRetryIntervalSeconds;
        send(*packet);
        enqueue(std::move(packet));
    }
}

void UdpSession::sendKeepAlive() {
    auto packet = newRequest(CMD_KEEP_ALIVE);
    packet->writeInt(random_.next());
    queueAndSend(std::move(packet));
}

void UdpSession::logout() {
    queueAndSend(newRequest(CMD_LOGOUT));
    clearPending();
}

void UdpSession::onReadable() {
    std::array<uint8_t, kPacketCapacity> buffer;
    // Every datagram the socket layer hands over is taken: one notification may stand for
    // several. The layer may stop handing them over before all are taken, to let the event loop
    // turn, and notifies again for the rest.
    for (;;) {
        const long received = sockets_.receiveBytes(socket_, buffer.data(), buffer.size());
        if (received < 0) {
            return;
        }
        receiveDatagram(buffer.data(), static_cast<std::size_t>(received));
    }
}

void UdpSession::receiveDatagram(const uint8_t* bytes, std::size_t size) {
    if (size < kDatagramHeaderSize) {
        return;
    }
    InPacket packet(bytes, size);
    if (packet.version() != PROTOCOL_VERSION) {
        if (traceDetails()) {
            trace("can not process packets of version " + std::to_string(packet.version()));
        }
        return;
    }
    if (packet.sessionId() != sessionId_) {
        trace("packet does not belong to this session.");
        return;
    }
    const uint16_t ack = packet.ackSeq();
    const uint16_t seq = packet.seq();
    lastAckSeq_ = ack;
    if (ack != 0) {
        const uint64_t position = positionBySeq_[ack];
        if (position != 0) {
            if (traceDetails()) {
                trace("packet " + std::to_string(ack) + " is ACKed");
            }
            positionBySeq_[ack] = 0;
            std::unique_ptr<OutPacket>& slot = pending_[position - 1 - frontPosition_];
            if (pool_.size() < kPoolLimit) {
                pool_.push_back(std::move(slot));
            } else {
                slot.reset();
            }
            --liveCount_;
            dropAcknowledgedFront();
            if (seq == 0) {
                events_.onRequestAcked(ack);
            }
        } else {
            if (traceDetails()) {
                trace("ACK packet " + std::to_string(ack) + " is ignored");
            }
        }
    }
    if (seq == 0) {
        return;
    }
    if (testAndSetSeen(seq)) {
        if (traceDetails()) {
            trace("packet " + std::to_string(seq) + " is duplicated");
        }
        return;
    }
    if (events_.dispatch(packet)) {
        sendAck(seq);
    }
}

void UdpSession::send(const OutPacket& packet) {
    if (socket_ != kNoSocket) {
        sockets_.sendBytes(socket_, packet.data(), packet.length());
    }
}

void UdpSession::onTimeout(const OutPacket& packet) {
    switch (packet.command) {
    case CMD_KEEP_ALIVE:
        if (++missedKeepAlives_ >= kKeepAliveLossLimit) {
            events_.onConnected(false);
        }
        break;
    case CMD_LOGIN:
        events_.onConnected(false);
        break;
    default:
        events_.onRequestTimedOut(packet.seq);
        break;
    }
}

bool UdpSession::isPending(uint16_t seq) const {
    return positionBySeq_[seq] != 0;
}

bool UdpSession::testAndSetSeen(uint16_t seq) {
    const auto bit = [this](uint16_t n) -> std::pair<uint8_t&, uint8_t> {
        return {seen_[n >> 3], static_cast<uint8_t>(1u << (n & 7))};
    };
    // When the newest number advances, every number that drops to half the sequence space
    // behind it is forgotten, including those that never arrived (the server never sends 0,
    // and a datagram may be lost for good); clearing only the one opposite each arrival
    // would leave them set and drop their successors one lap later as duplicates.
    const auto ahead = static_cast<uint16_t>(seq - newestSeen_);
    if (!anySeen_) {
        anySeen_ = true;
        newestSeen_ = seq;
    } else if (ahead != 0 && ahead < kSeenWindow) {
        for (uint16_t n = static_cast<uint16_t>(newestSeen_ + kSeenWindow + 1);;
             n = static_cast<uint16_t>(n + 1)) {
            auto [farByte, farMask] = bit(n);
            farByte = static_cast<uint8_t>(farByte & ~farMask);
            if (n == static_cast<uint16_t>(seq + kSeenWindow)) {
                break;
            }
        }
        newestSeen_ = seq;
    }
    auto [byte, mask] = bit(seq);
    if (byte & mask) {
        return true;
    }
    byte = static_cast<uint8_t>(byte | mask);
    return false;
}

void UdpSession::clearPending() {
    while (!pending_.empty()) {
        popFront();
    }
}

void UdpSession::enqueue(std::unique_ptr<OutPacket> packet) {
    // With 65536 requests pending, an older one with the same number can no longer be matched
    // and will time out.
    const uint16_t seq = packet->seq;
    pending_.push_back(std::move(packet));
    positionBySeq_[seq] = frontPosition_ + pending_.size();
    ++liveCount_;
}

std::unique_ptr<OutPacket> UdpSession::popFront() {
    std::unique_ptr<OutPacket> packet = std::move(pending_.front());
    pending_.pop_front();
    ++frontPosition_;
    if (packet) {
        uint64_t& position = positionBySeq_[packet->seq];
        if (position == frontPosition_) {
            position = 0;
        }
        --liveCount_;
    }
    return packet;
}

void UdpSession::dropAcknowledgedFront() {
    while (!pending_.empty() && !pending_.front()) {
        pending_.pop_front();
        ++frontPosition_;
    }
}

} // namespace talmor

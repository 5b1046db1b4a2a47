#include "support/wire.h"

namespace talmor::testing {

OutPacket serverDatagram(uint32_t sessionId, uint16_t command, uint16_t seq, uint16_t ackSeq) {
    OutPacket packet = makeDatagram(0, sessionId, command, seq);
    packet.putShortAt(kCheckWordOffset, ackSeq);
    return packet;
}

Bytes bytesOf(const OutPacket& packet) {
    return Bytes(packet.data(), packet.data() + packet.length());
}

Bytes bodyOf(const Bytes& datagram) {
    if (datagram.size() <= kDatagramHeaderSize) {
        return {};
    }
    return Bytes(datagram.begin() + kDatagramHeaderSize, datagram.end());
}

namespace {
Bytes withHeader(const Bytes& body) {
    Bytes datagram = bytesOf(makeDatagram(0, 0, 0, 0));
    datagram.insert(datagram.end(), body.begin(), body.end());
    return datagram;
}
} // namespace

BodyReader::BodyReader(const Bytes& body)
    : datagram_(withHeader(body)), in_(datagram_.data(), datagram_.size()) {}

} // namespace talmor::testing

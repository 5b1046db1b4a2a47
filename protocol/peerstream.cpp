#include "protocol/peerstream.h"

#include <cstring>

namespace talmor {

PeerStreamReader::Outcome
PeerStreamReader::deframe(const std::function<bool(PeerInPacket&)>& receive) {
    std::size_t offset = 0;
    Outcome outcome = Outcome::Waiting;
    while (count_ - offset >= kPeerPrefixSize) {
        const std::size_t length = (std::size_t{area_[offset]} << 8) | area_[offset + 1];
        if (kPeerPrefixSize + length > area_.size()) {
            // The area could never hold it, so waiting for it would stall the stream for good.
            outcome = Outcome::Impossible;
            break;
        }
        if (count_ - offset - kPeerPrefixSize < length) {
            break;
        }
        const uint8_t* start = area_.data() + offset + kPeerPrefixSize;
        offset += kPeerPrefixSize + length;
        if (length >= kPeerHeaderSize) {
            PeerInPacket packet(start, length);
            if (!receive(packet)) {
                outcome = Outcome::Stopped;
                break;
            }
        }
    }
    if (offset > 0) {
        std::memmove(area_.data(), area_.data() + offset, count_ - offset);
        count_ -= offset;
    }
    return outcome;
}

} // namespace talmor

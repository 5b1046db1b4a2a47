#include "media/talk/negotiation.h"

namespace talmor::media {

Negotiation::State Negotiation::state(uint32_t peer) const {
    const auto found = peers_.find(peer);
    return found == peers_.end() ? State::Idle : found->second.state;
}

bool Negotiation::relayed(uint32_t peer) const {
    const auto found = peers_.find(peer);
    return found != peers_.end() && found->second.relayed;
}

uint32_t Negotiation::otherAccepted(uint32_t peer) const {
    for (const auto& [other, entry] : peers_) {
        if (other != peer && (entry.state == State::AcceptedByUs ||
                              entry.state == State::AcceptedByPeer || entry.state == State::Open)) {
            return other;
        }
    }
    return 0;
}

bool Negotiation::request(uint32_t peer) {
    if (running(peer) || !host_.mayStart(peer)) {
        return false;
    }
    peers_[peer] = Peer{State::Requested, false};
    host_.sendOffer(peer);
    host_.showRequested(peer);
    return true;
}

void Negotiation::offered(uint32_t peer) {
    const State now = state(peer);
    if (now == State::Requested) {
        // Both asked at about the same time: the lower account's offer wins, and the other
        // side takes it as the answer to its own.
        if (!host_.ownOfferWins(peer)) {
            peers_[peer] = Peer{State::Offered, false};
            accept(peer);
        }
        return;
    }
    // A running negotiation keeps going: an offer never replaces it.
    if (now != State::Idle && !(now == State::Offered && rules_.offerRepeats)) {
        return;
    }
    peers_[peer] = Peer{State::Offered, false};
    host_.showOffered(peer);
}

bool Negotiation::accept(uint32_t peer) {
    if (state(peer) != State::Offered || !host_.mayStart(peer)) {
        return false;
    }
    peers_[peer].state = State::AcceptedByUs;
    host_.showAccepted(peer, true);
    host_.sendAccept(peer, host_.listenFor(peer));
    return true;
}

void Negotiation::accepted(uint32_t peer, uint16_t port) {
    if (state(peer) != State::Requested) {
        return;
    }
    peers_[peer] = Peer{State::AcceptedByPeer, false};
    host_.showAccepted(peer, false);
    host_.startDirect(peer, port);
    host_.startFallbackTimer(peer);
}

void Negotiation::fallbackTimer(uint32_t peer) {
    const auto found = peers_.find(peer);
    if (found == peers_.end() || found->second.state != State::AcceptedByPeer) {
        host_.stopFallbackTimer(peer);
        return;
    }
    found->second.relayed = true;
    host_.sendRelayAsk(peer);
}

void Negotiation::channelOpen(uint32_t peer, bool relayed) {
    const auto found = peers_.find(peer);
    // A channel the operator never agreed to must not open the strip.
    if (found == peers_.end() ||
        (found->second.state != State::AcceptedByUs &&
         found->second.state != State::AcceptedByPeer && found->second.state != State::Open)) {
        return;
    }
    Peer& entry = found->second;
    host_.stopFallbackTimer(peer);
    if (entry.state == State::Open) {
        // The other path opened as well: the strip keeps running.
        entry.relayed = rules_.directSticks ? entry.relayed && relayed : relayed;
        return;
    }
    entry.relayed = relayed;
    entry.state = State::Open;
    host_.openStrip(peer);
}

void Negotiation::cancel(uint32_t peer) {
    end(peer, TalkEnd::ByUs);
}

void Negotiation::cancelled(uint32_t peer) {
    end(peer, TalkEnd::ByPeer);
}

void Negotiation::windowClosed(uint32_t peer) {
    end(peer, TalkEnd::WindowClosed);
}

void Negotiation::end(uint32_t peer, TalkEnd how) {
    const auto found = peers_.find(peer);
    if (found == peers_.end()) {
        return;
    }
    const bool wasOpen = found->second.state == State::Open;
    peers_.erase(found);
    host_.stopFallbackTimer(peer);
    host_.closeStrip(peer, how, wasOpen);
    host_.closeChannel(peer);
    host_.showEnded(peer, how);
    if (how != TalkEnd::ByPeer) {
        host_.sendCancel(peer); // the peer's own cancel is not answered
    }
}

} // namespace talmor::media

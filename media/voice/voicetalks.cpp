#include "media/voice/voicetalks.h"

#include "media/voice/audioformat.h"

namespace talmor::voice {

VoiceTalks::State VoiceTalks::state(uint32_t peer) const {
    const auto found = talks_.find(peer);
    return found == talks_.end() ? State::Idle : found->second.state;
}

bool VoiceTalks::relayed(uint32_t peer) const {
    const auto found = talks_.find(peer);
    return found != talks_.end() && found->second.relayed;
}

uint32_t VoiceTalks::otherActive(uint32_t peer) const {
    for (const auto& [other, talk] : talks_) {
        if (other != peer && (talk.state == State::Accepted || talk.state == State::Talking)) {
            return other;
        }
    }
    return 0;
}

bool VoiceTalks::makeRoomFor(uint32_t peer) {
    while (const uint32_t other = otherActive(peer)) {
        if (!host_.confirmEndTalk(peer, other)) {
            return false;
        }
        cancel(other);
    }
    return true;
}

bool VoiceTalks::request(uint32_t peer) {
    if (running(peer) || !makeRoomFor(peer)) {
        return false;
    }
    talks_[peer] = Talk{State::Requested, true, false};
    host_.sendOffer(peer);
    host_.setRunning(peer, true);
    host_.showRequestNotice(peer);
    return true;
}

void VoiceTalks::offered(uint32_t peer) {
    if (state(peer) == State::Requested) {
        // Both asked at about the same time: the lower account's offer wins, and the other
        // side takes it as the answer to its own.
        if (!host_.ownOfferWins(peer)) {
            talks_[peer] = Talk{State::Offered, false, false};
            accept(peer);
        }
        return;
    }
    // A talk in any other state keeps going: an offer never replaces it.
    if (running(peer)) {
        return;
    }
    talks_[peer] = Talk{State::Offered, false, false};
    host_.setRunning(peer, true);
    host_.showOfferNotice(peer);
}

void VoiceTalks::accept(uint32_t peer) {
    if (state(peer) != State::Offered || !makeRoomFor(peer)) {
        return;
    }
    talks_[peer].state = State::Accepted;
    host_.showLine(peer, TalkLine::YouAccepted);
    host_.sendAccept(peer, host_.listenFor(peer));
}

void VoiceTalks::accepted(uint32_t peer, uint16_t port) {
    if (state(peer) != State::Requested) {
        return;
    }
    Talk& talk = talks_[peer];
    talk.state = State::Accepted;
    talk.relayed = false;
    host_.showLine(peer, TalkLine::PeerAccepted);
    host_.startDirect(peer, port);
    host_.startRelayTimer(peer);
}

void VoiceTalks::relayTimer(uint32_t peer) {
    const auto found = talks_.find(peer);
    if (found == talks_.end() || found->second.state != State::Accepted) {
        host_.stopRelayTimer(peer);
        return;
    }
    found->second.relayed = true;
    host_.sendRelayAsk(peer);
}

void VoiceTalks::channelOpen(uint32_t peer, bool relayed) {
    const State now = state(peer);
    // A channel the operator never agreed to must not open the microphone.
    if (now != State::Accepted && now != State::Talking) {
        return;
    }
    Talk& talk = talks_[peer];
    talk.relayed = relayed;
    host_.stopRelayTimer(peer);
    if (now == State::Accepted) {
        talk.state = State::Talking;
        host_.openStrip(peer);
    }
}

bool VoiceTalks::playable(uint32_t peer, std::size_t length) const {
    return length == kPacketBytes && state(peer) == State::Talking;
}

void VoiceTalks::end(uint32_t peer) {
    talks_.erase(peer);
    host_.stopRelayTimer(peer);
    host_.closeStrip(peer);
    host_.closeSessions(peer);
}

void VoiceTalks::cancel(uint32_t peer) {
    if (!running(peer)) {
        return;
    }
    end(peer);
    host_.setRunning(peer, false);
    host_.showLine(peer, TalkLine::YouCancelled);
    host_.sendCancel(peer);
}

void VoiceTalks::cancelled(uint32_t peer) {
    if (!running(peer)) {
        return;
    }
    end(peer);
    host_.setRunning(peer, false);
    host_.showLine(peer, TalkLine::PeerCancelled);
}

void VoiceTalks::windowClosed(uint32_t peer) {
    if (!running(peer)) {
        return;
    }
    end(peer);
    host_.sendCancel(peer);
}

} // namespace talmor::voice

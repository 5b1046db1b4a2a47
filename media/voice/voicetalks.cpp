#include "media/voice/voicetalks.h"

#include "media/voice/audioformat.h"

namespace talmor::voice {

using media::Negotiation;
using media::TalkEnd;

VoiceTalks::State VoiceTalks::state(uint32_t peer) const {
    switch (negotiation_.state(peer)) {
    case Negotiation::State::Idle:
        return State::Idle;
    case Negotiation::State::Requested:
        return State::Requested;
    case Negotiation::State::Offered:
        return State::Offered;
    case Negotiation::State::AcceptedByUs:
    case Negotiation::State::AcceptedByPeer:
        return State::Accepted;
    case Negotiation::State::Open:
        return State::Talking;
    }
    return State::Idle;
}

bool VoiceTalks::mayStart(uint32_t peer) {
    while (const uint32_t other = negotiation_.otherAccepted(peer)) {
        if (!host_.confirmEndTalk(peer, other)) {
            return false;
        }
        negotiation_.cancel(other);
    }
    return true;
}

void VoiceTalks::showRequested(uint32_t peer) {
    host_.setRunning(peer, true);
    host_.showRequestNotice(peer);
}

void VoiceTalks::showOffered(uint32_t peer) {
    host_.setRunning(peer, true);
    host_.showOfferNotice(peer);
}

void VoiceTalks::showAccepted(uint32_t peer, bool byUs) {
    host_.showLine(peer, byUs ? TalkLine::YouAccepted : TalkLine::PeerAccepted);
}

void VoiceTalks::showEnded(uint32_t peer, TalkEnd how) {
    if (how == TalkEnd::WindowClosed) {
        return; // the window is gone: nothing to show
    }
    host_.setRunning(peer, false);
    host_.showLine(peer, how == TalkEnd::ByUs ? TalkLine::YouCancelled : TalkLine::PeerCancelled);
}

bool VoiceTalks::playable(uint32_t peer, std::size_t length) const {
    return length == kPacketBytes && state(peer) == State::Talking;
}

} // namespace talmor::voice

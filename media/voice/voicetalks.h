#pragma once

#include <cstddef>
#include <cstdint>

#include "media/talk/negotiation.h"

namespace talmor::voice {

// The lines a talk writes into its chat display.
enum class TalkLine {
    YouAccepted,    // the operator accepted; the direct channel is being tried
    PeerAccepted,   // the peer accepted; the direct channel is being tried
    YouCancelled,   // the operator ended or declined the talk
    PeerCancelled,  // the peer ended or declined the talk
    NoInputDevice,  // the peer will not hear the operator
    NoOutputDevice, // the operator will not hear the peer
};

// What the talk logic needs from the console: the server's requests, the peer sessions, the
// chat window and its relay timer (100003), the strip and the operator's answers.
class VoiceHost {
public:
    virtual ~VoiceHost() = default;
    virtual void sendOffer(uint32_t peer) = 0;
    // Whether this console's offer to `peer` wins when both asked at about the same time: the
    // lower account's does.
    virtual bool ownOfferWins(uint32_t peer) const = 0;
    virtual void sendAccept(uint32_t peer, uint16_t port) = 0;
    virtual void sendCancel(uint32_t peer) = 0;
    virtual void sendRelayAsk(uint32_t peer) = 0;
    // A "SendWave" listener that lets in only `peer`; its port.
    virtual uint16_t listenFor(uint32_t peer) = 0;
    virtual void startDirect(uint32_t peer, uint16_t port) = 0;
    virtual void closeSessions(uint32_t peer) = 0;

    // The chat window with `peer` (opened when needed): notices, lines, the running flag.
    virtual void showRequestNotice(uint32_t peer) = 0;
    virtual void showOfferNotice(uint32_t peer) = 0;
    virtual void showLine(uint32_t peer, TalkLine line) = 0;
    virtual void setRunning(uint32_t peer, bool running) = 0;
    virtual void startRelayTimer(uint32_t peer) = 0;
    virtual void stopRelayTimer(uint32_t peer) = 0;
    // The strip starts the sound; it is opened once per talk.
    virtual void openStrip(uint32_t peer) = 0;
    virtual void closeStrip(uint32_t peer) = 0;
    // Asks whether the talk with `running` may end so that one with `peer` can start.
    virtual bool confirmEndTalk(uint32_t peer, uint32_t running) = 0;
};

// The voice talks with the contacts, one per contact, each going from idle through requested
// or offered, then accepted (the direct channel tried, the relay asked for every 5 seconds by
// the caller) to talking, and back to idle when either side ends it or its chat window closes.
// The negotiation is the one every talk kind shares; a voice talk adds that only one talk holds
// the sound devices at a time: starting another asks the operator first and ends the running
// one in the open, never silently.
class VoiceTalks : private media::NegotiationHost {
public:
    enum class State { Idle, Requested, Offered, Accepted, Talking };

    explicit VoiceTalks(VoiceHost& host) : host_(host), negotiation_(*this, {}) {}

    // The operator asks `peer` for a talk (voice button); false when nothing was sent.
    bool request(uint32_t peer) { return negotiation_.request(peer); }
    // The operator accepts the offer of `peer` (link 10004).
    void accept(uint32_t peer) { negotiation_.accept(peer); }
    // The operator ends, withdraws or declines the talk with `peer` (link 10003, button).
    void cancel(uint32_t peer) { negotiation_.cancel(peer); }
    // The chat window with `peer` closed: the talk ends without a line in it.
    void windowClosed(uint32_t peer) { negotiation_.windowClosed(peer); }

    // Server and peer-session events.
    void offered(uint32_t peer) { negotiation_.offered(peer); }
    void accepted(uint32_t peer, uint16_t port) { negotiation_.accepted(peer, port); }
    void cancelled(uint32_t peer) { negotiation_.cancelled(peer); }
    void channelOpen(uint32_t peer, bool relayed) { negotiation_.channelOpen(peer, relayed); }
    // Timer 100003 of the caller: no channel yet, the server is asked to relay.
    void relayTimer(uint32_t peer) { negotiation_.fallbackTimer(peer); }
    // Whether a received packet of `length` bytes is to be played.
    bool playable(uint32_t peer, std::size_t length) const;

    State state(uint32_t peer) const;
    bool relayed(uint32_t peer) const { return negotiation_.relayed(peer); }
    bool running(uint32_t peer) const { return negotiation_.running(peer); }

private:
    // NegotiationHost: the voice host's requests, sessions, timer, strip and lines.
    void sendOffer(uint32_t peer) override { host_.sendOffer(peer); }
    bool ownOfferWins(uint32_t peer) const override { return host_.ownOfferWins(peer); }
    void sendAccept(uint32_t peer, uint16_t port) override { host_.sendAccept(peer, port); }
    void sendCancel(uint32_t peer) override { host_.sendCancel(peer); }
    void sendRelayAsk(uint32_t peer) override { host_.sendRelayAsk(peer); }
    uint16_t listenFor(uint32_t peer) override { return host_.listenFor(peer); }
    void startDirect(uint32_t peer, uint16_t port) override { host_.startDirect(peer, port); }
    void closeChannel(uint32_t peer) override { host_.closeSessions(peer); }
    void startFallbackTimer(uint32_t peer) override { host_.startRelayTimer(peer); }
    void stopFallbackTimer(uint32_t peer) override { host_.stopRelayTimer(peer); }
    // Ends every other accepted talk after the operator agreed; false when the operator refused.
    bool mayStart(uint32_t peer) override;
    void showRequested(uint32_t peer) override;
    void showOffered(uint32_t peer) override;
    void showAccepted(uint32_t peer, bool byUs) override;
    void openStrip(uint32_t peer) override { host_.openStrip(peer); }
    void closeStrip(uint32_t peer, media::TalkEnd, bool) override { host_.closeStrip(peer); }
    void showEnded(uint32_t peer, media::TalkEnd how) override;

    VoiceHost& host_;
    media::Negotiation negotiation_;
};

} // namespace talmor::voice

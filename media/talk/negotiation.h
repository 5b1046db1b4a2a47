#pragma once

#include <cstdint>
#include <map>

namespace talmor::media {

// Who ended a negotiation: the operator, the peer, or the chat window that closed (which shows
// nothing, and tells the peer).
enum class TalkEnd { ByUs, ByPeer, WindowClosed };

// What a negotiation needs from its kind: the channel (the server's requests and the direct
// sessions), one fallback timer per peer, and the strip with the lines of the chat display.
class NegotiationHost {
public:
    virtual ~NegotiationHost() = default;

    virtual void sendOffer(uint32_t peer) = 0;
    // Whether this console's offer to `peer` wins when both asked at about the same time.
    virtual bool ownOfferWins(uint32_t peer) const = 0;
    virtual void sendAccept(uint32_t peer, uint16_t port) = 0;
    virtual void sendCancel(uint32_t peer) = 0;
    virtual void sendRelayAsk(uint32_t peer) = 0;
    // Listens for the peer's direct session; the port, 0 when none.
    virtual uint16_t listenFor(uint32_t peer) = 0;
    virtual void startDirect(uint32_t peer, uint16_t port) = 0;
    virtual void closeChannel(uint32_t peer) = 0;
    // The peer's fallback timer: while it runs, Negotiation::fallbackTimer comes every
    // kFallbackMs.
    virtual void startFallbackTimer(uint32_t peer) = 0;
    virtual void stopFallbackTimer(uint32_t peer) = 0;

    // Whether a negotiation with `peer` may start (request or accept) now.
    virtual bool mayStart(uint32_t peer) = 0;
    // The operator's offer went out; the peer's offer waits for the operator.
    virtual void showRequested(uint32_t peer) = 0;
    virtual void showOffered(uint32_t peer) = 0;
    // `byUs`: the operator accepted (the console listens); else the peer did (the console
    // connects).
    virtual void showAccepted(uint32_t peer, bool byUs) = 0;
    // The first channel opened: the strip starts.
    virtual void openStrip(uint32_t peer) = 0;
    // The negotiation is over; `wasOpen` when its strip had started.
    virtual void closeStrip(uint32_t peer, TalkEnd how, bool wasOpen) = 0;
    virtual void showEnded(uint32_t peer, TalkEnd how) = 0;
};

// The negotiation of a voice talk or a video chat with each contact: the offer, the acceptance,
// the direct channel tried with the relay asked for every 5 seconds by the side that connects,
// the open channel, and the end by either side. Both operators asking at about the same time
// is resolved: the lower account's offer wins and the other side takes it as the answer to
// its own. A channel nobody accepted opens nothing.
class Negotiation {
public:
    enum class State {
        Idle,
        Requested,      // the operator's offer waits for the peer
        Offered,        // the peer's offer waits for the operator
        AcceptedByUs,   // listening for the peer's direct session
        AcceptedByPeer, // connecting directly, the relay asked for on every fallback tick
        Open,
    };
    static constexpr int kFallbackMs = 5000;

    // What differs between the kinds.
    struct Rules {
        // A repeated offer while the first waits shows it again (else it is ignored).
        bool offerRepeats = false;
        // Once the direct path is open a later relay answer does not move the data back onto
        // the relay (else the path of the latest channel event holds).
        bool directSticks = false;
    };

    Negotiation(NegotiationHost& host, Rules rules) : host_(host), rules_(rules) {}

    // The operator asks `peer`; false when nothing was sent.
    bool request(uint32_t peer);
    // The operator accepts the offer of `peer`; false when none waits or it may not start.
    bool accept(uint32_t peer);
    // The operator ends, withdraws or declines; the peer ended; the chat window closed.
    void cancel(uint32_t peer);
    void cancelled(uint32_t peer);
    void windowClosed(uint32_t peer);

    // Server and peer-session events.
    void offered(uint32_t peer);
    void accepted(uint32_t peer, uint16_t port);
    void channelOpen(uint32_t peer, bool relayed);
    void fallbackTimer(uint32_t peer);

    State state(uint32_t peer) const;
    bool running(uint32_t peer) const { return state(peer) != State::Idle; }
    bool relayed(uint32_t peer) const;
    // A peer other than `peer` whose negotiation was accepted or is open; 0 for none.
    uint32_t otherAccepted(uint32_t peer) const;

private:
    struct Peer {
        State state = State::Idle;
        bool relayed = false;
    };

    void end(uint32_t peer, TalkEnd how);

    NegotiationHost& host_;
    const Rules rules_;
    std::map<uint32_t, Peer> peers_;
};

} // namespace talmor::media

// The negotiation shared by the talk kinds, against a host that records what it is asked to do.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "media/talk/negotiation.h"

namespace talmor::media {
namespace {

using State = Negotiation::State;
using Calls = std::vector<std::string>;

constexpr uint32_t kOwnId = 1024;
constexpr uint32_t kPeer = 1025;

class RecordingHost : public NegotiationHost {
public:
    void sendOffer(uint32_t p) override { log("offer", p); }
    bool ownOfferWins(uint32_t p) const override { return ownId < p; }
    void sendAccept(uint32_t p, uint16_t port) override {
        log("accept", p, " " + std::to_string(port));
    }
    void sendCancel(uint32_t p) override { log("cancel", p); }
    void sendRelayAsk(uint32_t p) override { log("relayAsk", p); }
    uint16_t listenFor(uint32_t p) override {
        log("listen", p);
        return 4321;
    }
    void startDirect(uint32_t p, uint16_t port) override {
        log("direct", p, " " + std::to_string(port));
    }
    void closeChannel(uint32_t p) override { log("closeChannel", p); }
    void startFallbackTimer(uint32_t p) override { log("timerStart", p); }
    void stopFallbackTimer(uint32_t p) override { log("timerStop", p); }
    bool mayStart(uint32_t p) override {
        log("mayStart", p);
        return allowed;
    }
    void showRequested(uint32_t p) override { log("requested", p); }
    void showOffered(uint32_t p) override { log("offered", p); }
    void showAccepted(uint32_t p, bool byUs) override {
        log("accepted", p, byUs ? " by us" : " by peer");
    }
    void openStrip(uint32_t p) override { log("openStrip", p); }
    void closeStrip(uint32_t p, TalkEnd how, bool wasOpen) override {
        log("closeStrip", p, std::string(" ") + Name(how) + (wasOpen ? " open" : ""));
    }
    void showEnded(uint32_t p, TalkEnd how) override {
        log("ended", p, std::string(" ") + Name(how));
    }

    Calls take() {
        Calls out;
        out.swap(calls);
        return out;
    }
    static const char* Name(TalkEnd how) {
        switch (how) {
        case TalkEnd::ByUs:
            return "us";
        case TalkEnd::ByPeer:
            return "peer";
        case TalkEnd::WindowClosed:
            return "window";
        }
        return "?";
    }

    uint32_t ownId = kOwnId;
    bool allowed = true;
    Calls calls;

private:
    void log(const char* what, uint32_t peer, const std::string& more = {}) {
        calls.push_back(std::string(what) + " " + std::to_string(peer) + more);
    }
};

struct Side {
    explicit Side(uint32_t id, Negotiation::Rules rules = {}) : negotiation(host, rules) {
        host.ownId = id;
    }
    RecordingHost host;
    Negotiation negotiation;
};

// The caller's and the callee's walk from the first click to the open channel, the caller
// falling back to the relay on each tick of its timer.
TEST(Negotiation, CallerConnectsAndFallsBackCalleeListens) {
    Side caller(kOwnId);
    Side callee(kPeer);
    ASSERT_TRUE(caller.negotiation.request(kPeer));
    EXPECT_EQ(caller.host.take(), (Calls{"mayStart 1025", "offer 1025", "requested 1025"}));
    EXPECT_FALSE(caller.negotiation.request(kPeer)) << "one negotiation per peer";

    callee.negotiation.offered(kOwnId);
    EXPECT_EQ(callee.host.take(), (Calls{"offered 1024"}));
    ASSERT_TRUE(callee.negotiation.accept(kOwnId));
    EXPECT_FALSE(callee.negotiation.accept(kOwnId)) << "an offer is accepted once";
    EXPECT_EQ(callee.host.take(),
              (Calls{"mayStart 1024", "accepted 1024 by us", "listen 1024", "accept 1024 4321"}));
    EXPECT_EQ(callee.negotiation.state(kOwnId), State::AcceptedByUs);
    callee.negotiation.fallbackTimer(kOwnId);
    EXPECT_EQ(callee.host.take(), (Calls{"timerStop 1024"})) << "only the connecting side asks";

    caller.negotiation.accepted(kPeer, 4321);
    EXPECT_EQ(caller.host.take(),
              (Calls{"accepted 1025 by peer", "direct 1025 4321", "timerStart 1025"}));
    caller.negotiation.fallbackTimer(kPeer);
    caller.negotiation.fallbackTimer(kPeer);
    EXPECT_EQ(caller.host.take(), (Calls{"relayAsk 1025", "relayAsk 1025"}));
    EXPECT_TRUE(caller.negotiation.relayed(kPeer));

    caller.negotiation.channelOpen(kPeer, true);
    callee.negotiation.channelOpen(kOwnId, true);
    EXPECT_EQ(caller.host.take(), (Calls{"timerStop 1025", "openStrip 1025"}));
    EXPECT_EQ(callee.host.take(), (Calls{"timerStop 1024", "openStrip 1024"}));
    EXPECT_EQ(caller.negotiation.state(kPeer), State::Open);
    EXPECT_TRUE(callee.negotiation.relayed(kOwnId));

    caller.negotiation.fallbackTimer(kPeer); // a tick after the channel opened
    EXPECT_EQ(caller.host.take(), (Calls{"timerStop 1025"}));
}

// Both operators ask at about the same time: the lower account's offer wins, the higher side
// takes it as the answer to its own, and one negotiation reaches the open channel.
TEST(Negotiation, CrossingOffersTheLowerAccountWins) {
    Side lower(kOwnId);
    Side higher(kPeer);
    ASSERT_TRUE(lower.negotiation.request(kPeer));
    ASSERT_TRUE(higher.negotiation.request(kOwnId));
    lower.host.take();
    higher.host.take();

    lower.negotiation.offered(kPeer);
    EXPECT_TRUE(lower.host.take().empty()) << "its own offer stands";
    EXPECT_EQ(lower.negotiation.state(kPeer), State::Requested);

    higher.negotiation.offered(kOwnId);
    EXPECT_EQ(higher.host.take(),
              (Calls{"mayStart 1024", "accepted 1024 by us", "listen 1024", "accept 1024 4321"}));
    EXPECT_EQ(higher.negotiation.state(kOwnId), State::AcceptedByUs);

    lower.negotiation.accepted(kPeer, 4321);
    lower.negotiation.channelOpen(kPeer, false);
    higher.negotiation.channelOpen(kOwnId, false);
    EXPECT_EQ(lower.negotiation.state(kPeer), State::Open);
    EXPECT_EQ(higher.negotiation.state(kOwnId), State::Open);

    // The crossing offer that may not start (the kind refused) waits as an offer.
    Side refused(kPeer);
    refused.negotiation.request(kOwnId);
    refused.host.allowed = false;
    refused.negotiation.offered(kOwnId);
    EXPECT_EQ(refused.negotiation.state(kOwnId), State::Offered);
}

// Cancel, the peer's cancel and the closing window in every state: each ends the negotiation
// the same way, shows its own end and tells the peer unless the peer ended it.
TEST(Negotiation, EveryEndInEveryState) {
    struct Reach {
        const char* name;
        std::function<void(Negotiation&)> to;
        bool open;
    };
    const Reach states[] = {
        {"requested", [](Negotiation& n) { n.request(kPeer); }, false},
        {"offered", [](Negotiation& n) { n.offered(kPeer); }, false},
        {"accepted by us",
         [](Negotiation& n) {
             n.offered(kPeer);
             n.accept(kPeer);
         },
         false},
        {"accepted by peer",
         [](Negotiation& n) {
             n.request(kPeer);
             n.accepted(kPeer, 5555);
         },
         false},
        {"open",
         [](Negotiation& n) {
             n.request(kPeer);
             n.accepted(kPeer, 5555);
             n.channelOpen(kPeer, false);
         },
         true},
    };
    struct End {
        const char* name;
        std::function<void(Negotiation&)> by;
        bool tellsPeer;
    };
    const End ends[] = {
        {"us", [](Negotiation& n) { n.cancel(kPeer); }, true},
        {"peer", [](Negotiation& n) { n.cancelled(kPeer); }, false},
        {"window", [](Negotiation& n) { n.windowClosed(kPeer); }, true},
    };
    for (const Reach& reach : states) {
        for (const End& end : ends) {
            SCOPED_TRACE(std::string(reach.name) + ", ended by " + end.name);
            Side side(kOwnId);
            reach.to(side.negotiation);
            side.host.take();
            end.by(side.negotiation);
            Calls expected{"timerStop 1025",
                           std::string("closeStrip 1025 ") + end.name + (reach.open ? " open" : ""),
                           "closeChannel 1025", std::string("ended 1025 ") + end.name};
            if (end.tellsPeer) {
                expected.push_back("cancel 1025");
            }
            EXPECT_EQ(side.host.take(), expected);
            EXPECT_EQ(side.negotiation.state(kPeer), State::Idle);
            EXPECT_FALSE(side.negotiation.relayed(kPeer));

            // Ended once: later ends, a late channel and the links do nothing.
            end.by(side.negotiation);
            side.negotiation.cancelled(kPeer);
            side.negotiation.channelOpen(kPeer, true);
            side.negotiation.accepted(kPeer, 5555);
            EXPECT_FALSE(side.negotiation.accept(kPeer));
            EXPECT_TRUE(side.host.take().empty());
        }
    }
}

// A channel nobody accepted opens nothing, an offer never replaces a running negotiation, and
// the rules of a kind decide a repeated offer and the path after a second channel event.
TEST(Negotiation, StrayEventsAndTheKindsRules) {
    Side side(kOwnId);
    side.negotiation.channelOpen(7, true);
    side.negotiation.offered(8);
    side.negotiation.request(9);
    side.host.take();
    side.negotiation.channelOpen(8, false);
    side.negotiation.channelOpen(9, true);
    side.negotiation.accepted(10, 1234);
    side.negotiation.offered(8); // a repeated offer is ignored by default
    EXPECT_TRUE(side.host.take().empty());
    EXPECT_EQ(side.negotiation.state(7), State::Idle);
    EXPECT_EQ(side.negotiation.state(8), State::Offered);

    side.negotiation.accepted(9, 1234);
    side.negotiation.offered(9);
    side.host.take();
    EXPECT_EQ(side.negotiation.state(9), State::AcceptedByPeer) << "the offer replaced nothing";
    side.negotiation.channelOpen(9, false);
    side.negotiation.channelOpen(9, true);
    EXPECT_TRUE(side.negotiation.relayed(9)) << "by default the latest channel event's path";
    EXPECT_EQ(side.host.take(), (Calls{"timerStop 9", "openStrip 9", "timerStop 9"}));
    EXPECT_EQ(side.negotiation.otherAccepted(8), 9u);
    EXPECT_EQ(side.negotiation.otherAccepted(9), 0u) << "an offer is not accepted yet";

    Side video(kOwnId, Negotiation::Rules{true, true});
    video.negotiation.offered(8);
    video.negotiation.offered(8);
    EXPECT_EQ(video.host.take(), (Calls{"offered 8", "offered 8"}));
    video.negotiation.request(9);
    video.negotiation.accepted(9, 1234);
    video.negotiation.channelOpen(9, true);
    video.negotiation.channelOpen(9, false);
    video.negotiation.channelOpen(9, true);
    EXPECT_FALSE(video.negotiation.relayed(9)) << "the direct path stays once it is open";
}

} // namespace
} // namespace talmor::media

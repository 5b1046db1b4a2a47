// The talk logic per contact, against a host that records what it is asked to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/voice/voicetalks.h"

namespace talmor::voice {
namespace {

using State = VoiceTalks::State;
using Calls = std::vector<std::string>;

class RecordingHost : public VoiceHost {
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
    void closeSessions(uint32_t p) override { log("closeSessions", p); }
    void showRequestNotice(uint32_t p) override { log("requestNotice", p); }
    void showOfferNotice(uint32_t p) override { log("offerNotice", p); }
    void showLine(uint32_t p, TalkLine line) override {
        log("line", p, " " + std::to_string(static_cast<int>(line)));
    }
    void setRunning(uint32_t p, bool running) override {
        log("running", p, running ? " on" : " off");
    }
    void startRelayTimer(uint32_t p) override { log("timerStart", p); }
    void stopRelayTimer(uint32_t p) override { log("timerStop", p); }
    void openStrip(uint32_t p) override { log("openStrip", p); }
    void closeStrip(uint32_t p) override { log("closeStrip", p); }
    bool confirmEndTalk(uint32_t p, uint32_t running) override {
        log("confirm", p, " ends " + std::to_string(running));
        return confirm;
    }

    Calls take() {
        Calls out;
        out.swap(calls);
        return out;
    }
    bool confirm = true;
    uint32_t ownId = 1024;
    Calls calls;

private:
    void log(const char* what, uint32_t peer, const std::string& more = {}) {
        calls.push_back(std::string(what) + " " + std::to_string(peer) + more);
    }
};

class VoiceTalksTest : public ::testing::Test {
public: // the table of states reaches them from its lambdas
    // The caller's side up to the accepted state.
    void callerAccepted(uint32_t peer) {
        talks.request(peer);
        talks.accepted(peer, 5555);
        host.take();
    }
    // The callee's side up to the accepted state.
    void calleeAccepted(uint32_t peer) {
        talks.offered(peer);
        talks.accept(peer);
        host.take();
    }

    RecordingHost host;
    VoiceTalks talks{host};
};

const std::string kYouAccepted = std::to_string(static_cast<int>(TalkLine::YouAccepted));
const std::string kPeerAccepted = std::to_string(static_cast<int>(TalkLine::PeerAccepted));
const std::string kYouCancelled = std::to_string(static_cast<int>(TalkLine::YouCancelled));
const std::string kPeerCancelled = std::to_string(static_cast<int>(TalkLine::PeerCancelled));

TEST_F(VoiceTalksTest, CallerOffersThenTriesDirectlyAndAsksForTheRelayEveryTimerTick) {
    EXPECT_TRUE(talks.request(7));
    EXPECT_EQ(host.take(), (Calls{"offer 7", "running 7 on", "requestNotice 7"}));
    EXPECT_FALSE(talks.request(7)); // one talk per contact
    EXPECT_TRUE(host.take().empty());

    talks.accepted(7, 5555);
    EXPECT_EQ(host.take(), (Calls{"line 7 " + kPeerAccepted, "direct 7 5555", "timerStart 7"}));
    EXPECT_FALSE(talks.relayed(7));
    talks.relayTimer(7);
    talks.relayTimer(7);
    EXPECT_EQ(host.take(), (Calls{"relayAsk 7", "relayAsk 7"}));
    EXPECT_TRUE(talks.relayed(7));

    talks.channelOpen(7, true);
    EXPECT_EQ(host.take(), (Calls{"timerStop 7", "openStrip 7"}));
    EXPECT_EQ(talks.state(7), State::Talking);
}

TEST_F(VoiceTalksTest, CalleeShowsTheOfferListensForThePeerAndAnswersWithThePort) {
    talks.offered(7);
    EXPECT_EQ(host.take(), (Calls{"running 7 on", "offerNotice 7"}));
    talks.accept(7);
    EXPECT_EQ(host.take(), (Calls{"line 7 " + kYouAccepted, "listen 7", "accept 7 4321"}));
    talks.channelOpen(7, false);
    EXPECT_EQ(host.take(), (Calls{"timerStop 7", "openStrip 7"}));
    EXPECT_FALSE(talks.relayed(7));
}

// A direct channel that opens after the relay did, or a second relay answer, changes the path
// but never starts the sound a second time.
TEST_F(VoiceTalksTest, TheStripOpensOncePerTalkWhateverChannelEventsFollow) {
    callerAccepted(7);
    talks.relayTimer(7);
    talks.channelOpen(7, true);
    talks.channelOpen(7, false);
    talks.channelOpen(7, true);
    const Calls calls = host.take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "openStrip 7"), 1);
    EXPECT_TRUE(talks.relayed(7));
}

// A peer that asks the server to relay, or connects directly, without the operator having
// accepted anything must not open the operator's microphone.
TEST_F(VoiceTalksTest, AChannelNobodyAcceptedOpensNothing) {
    talks.channelOpen(7, true);
    talks.offered(8);
    host.take();
    talks.channelOpen(8, false);
    talks.request(9);
    host.take();
    talks.channelOpen(9, true);
    talks.accepted(10, 1234); // never asked
    EXPECT_TRUE(host.take().empty());
    EXPECT_EQ(talks.state(7), State::Idle);
    EXPECT_EQ(talks.state(8), State::Offered);
    EXPECT_EQ(talks.state(9), State::Requested);
}

TEST_F(VoiceTalksTest, EitherSideEndsTheTalkInEveryState) {
    struct Case {
        const char* name;
        std::function<void(VoiceTalksTest&)> reach;
    };
    const Case cases[] = {
        {"requested", [](VoiceTalksTest& t) { t.talks.request(7); }},
        {"offered", [](VoiceTalksTest& t) { t.talks.offered(7); }},
        {"caller accepted", [](VoiceTalksTest& t) { t.callerAccepted(7); }},
        {"talking",
         [](VoiceTalksTest& t) {
             t.calleeAccepted(7);
             t.talks.channelOpen(7, false);
         }},
    };
    const Calls teardown{"timerStop 7", "closeStrip 7", "closeSessions 7", "running 7 off"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.reach(*this);
        host.take();
        talks.cancel(7);
        Calls expected = teardown;
        expected.push_back("line 7 " + kYouCancelled);
        expected.push_back("cancel 7");
        EXPECT_EQ(host.take(), expected);
        EXPECT_EQ(talks.state(7), State::Idle);

        c.reach(*this);
        host.take();
        talks.cancelled(7);
        expected = teardown;
        expected.push_back("line 7 " + kPeerCancelled);
        EXPECT_EQ(host.take(), expected);

        c.reach(*this);
        host.take();
        talks.windowClosed(7);
        EXPECT_EQ(host.take(),
                  (Calls{"timerStop 7", "closeStrip 7", "closeSessions 7", "cancel 7"}));
    }
    // Nothing runs: a late cancel from the peer shows nothing and sends nothing.
    talks.cancelled(7);
    talks.cancel(7);
    EXPECT_TRUE(host.take().empty());
}

TEST_F(VoiceTalksTest, AcceptingASecondContactAsksAndEndsTheFirstInTheOpen) {
    calleeAccepted(7);
    talks.channelOpen(7, false);
    talks.offered(8);
    host.take();

    host.confirm = false;
    talks.accept(8);
    EXPECT_EQ(host.take(), (Calls{"confirm 8 ends 7"}));
    EXPECT_EQ(talks.state(7), State::Talking);
    EXPECT_EQ(talks.state(8), State::Offered);

    host.confirm = true;
    talks.accept(8);
    const Calls calls = host.take();
    const Calls expected{"confirm 8 ends 7", "timerStop 7",
                         "closeStrip 7",     "closeSessions 7",
                         "running 7 off",    "line 7 " + kYouCancelled,
                         "cancel 7",         "line 8 " + kYouAccepted,
                         "listen 8",         "accept 8 4321"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(talks.state(7), State::Idle);
}

TEST_F(VoiceTalksTest, OnlySixtyBytePacketsOfARunningTalkArePlayed) {
    calleeAccepted(7);
    EXPECT_FALSE(talks.playable(7, 60)); // accepted, no channel yet
    talks.channelOpen(7, false);
    for (std::size_t length : {0u, 1u, 59u, 60u, 61u, 120u}) {
        EXPECT_EQ(talks.playable(7, length), length == 60) << length;
    }
    EXPECT_FALSE(talks.playable(8, 60));
}

TEST_F(VoiceTalksTest, AnOfferNeverReplacesARunningTalk) {
    callerAccepted(7);
    talks.offered(7);
    EXPECT_TRUE(host.take().empty());
    EXPECT_EQ(talks.state(7), State::Accepted);
}

// Both operators ask at about the same time: each sees the other's offer while its own waits.
// The lower account's offer wins; the higher takes it as the answer to its own, so one talk
// starts instead of two waiting for ever.
TEST(VoiceCrossing, TheLowerAccountsOfferWinsAndTheOtherSideAcceptsIt) {
    RecordingHost lowerHost;
    lowerHost.ownId = 1024;
    VoiceTalks lower{lowerHost};
    RecordingHost higherHost;
    higherHost.ownId = 1025;
    VoiceTalks higher{higherHost};
    ASSERT_TRUE(lower.request(1025));
    ASSERT_TRUE(higher.request(1024));
    lowerHost.take();
    higherHost.take();

    lower.offered(1025); // the higher one's offer: its own stands
    EXPECT_TRUE(lowerHost.take().empty());
    EXPECT_EQ(lower.state(1025), State::Requested);

    higher.offered(1024); // the lower one's offer: taken as the answer
    EXPECT_EQ(higherHost.take(),
              (Calls{"line 1024 " + kYouAccepted, "listen 1024", "accept 1024 4321"}));
    EXPECT_EQ(higher.state(1024), State::Accepted);

    lower.accepted(1025, 4321);
    EXPECT_EQ(lower.state(1025), State::Accepted);
    EXPECT_EQ(lowerHost.take(),
              (Calls{"line 1025 " + kPeerAccepted, "direct 1025 4321", "timerStart 1025"}));
    higher.channelOpen(1024, false);
    lower.channelOpen(1025, false);
    EXPECT_EQ(higher.state(1024), State::Talking);
    EXPECT_EQ(lower.state(1025), State::Talking);
}

} // namespace
} // namespace talmor::voice

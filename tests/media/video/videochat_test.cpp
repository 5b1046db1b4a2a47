#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "media/video/codec/testpattern.h"
#include "media/video/videochat.h"
#include "support/fakevideohost.h"

namespace talmor {
namespace {

using testing::FakeVideoHost;

std::vector<uint8_t> Pattern(uint32_t index) {
    std::vector<uint8_t> rgb;
    TestPattern::draw(index, rgb);
    return rgb;
}

class VideoChatTest : public ::testing::Test {
protected:
    // The requesting side up to an open channel.
    void streamAsCaller(bool relayed) {
        ASSERT_TRUE(chat.request());
        chat.onAccepted(5555);
        if (relayed) {
            chat.onFallbackTimer();
        }
        chat.onChannel(relayed);
        ASSERT_EQ(chat.state(), VideoChat::State::Streaming);
    }
    void capture(uint32_t index) {
        const std::vector<uint8_t> rgb = Pattern(index);
        chat.onCapturedPicture(rgb.data(), rgb.size());
    }

    FakeVideoHost host;
    VideoChat chat{host};
};

TEST_F(VideoChatTest, CallerOffersConnectsDirectlyAndStreams) {
    ASSERT_TRUE(chat.request());
    EXPECT_TRUE(chat.running());
    EXPECT_FALSE(chat.request()) << "a second request while one runs";
    chat.onAccepted(5555);
    EXPECT_EQ(host.directPort, 5555);
    EXPECT_TRUE(host.timer);
    chat.onChannel(false);
    EXPECT_FALSE(host.timer);
    EXPECT_TRUE(host.videoPane);
    EXPECT_TRUE(host.sourceOpen);
    EXPECT_FALSE(chat.relayed());
    for (uint32_t i = 0; i < 3; ++i) {
        capture(i);
    }
    ASSERT_EQ(host.direct.size(), 3u);
    EXPECT_TRUE(host.relayed.empty());
    for (uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.direct[i][0], i);
    }
    EXPECT_EQ(host.ownDrawn, 3);
    EXPECT_EQ(host.requests, (std::vector<std::string>{"offer"}));
    EXPECT_EQ(host.notices,
              (std::vector<VideoNotice>{VideoNotice::Request, VideoNotice::PeerAccepted}));
}

TEST_F(VideoChatTest, CalleeAcceptsByListening) {
    chat.onOffer();
    EXPECT_TRUE(chat.running());
    EXPECT_FALSE(chat.request());
    ASSERT_TRUE(chat.accept());
    EXPECT_FALSE(chat.accept()) << "the accept link works once";
    EXPECT_EQ(host.requests, (std::vector<std::string>{"accept 40123"}));
    EXPECT_FALSE(host.timer) << "only the requesting side falls back to the relay";
    chat.onChannel(true);
    EXPECT_TRUE(chat.relayed());
    EXPECT_TRUE(host.videoPane);
    EXPECT_EQ(host.notices,
              (std::vector<VideoNotice>{VideoNotice::Offer, VideoNotice::YouAccepted}));
}

TEST_F(VideoChatTest, CounterStartsAtZeroAndWrapsAfter256Pictures) {
    streamAsCaller(false);
    for (uint32_t i = 0; i < 257; ++i) {
        capture(i % 4);
    }
    ASSERT_EQ(host.direct.size(), 257u);
    EXPECT_EQ(host.direct.front()[0], 0);
    EXPECT_EQ(host.direct[255][0], 255);
    EXPECT_EQ(host.direct[256][0], 0);
}

TEST_F(VideoChatTest, RelayAfterTheFallbackTimerAndNoPictureQueuedBehindAnother) {
    streamAsCaller(true);
    EXPECT_EQ(host.requests, (std::vector<std::string>{"offer", "relay ask"}));
    EXPECT_TRUE(chat.relayed());
    capture(0);
    capture(1); // the first has not been acknowledged: skipped
    capture(2);
    ASSERT_EQ(host.relayed.size(), 1u);
    host.pending.clear(); // the server acknowledged it
    capture(3);
    ASSERT_EQ(host.relayed.size(), 2u);
    EXPECT_EQ(host.relayed[1][0], 1) << "skipped pictures do not advance the counter";
    EXPECT_EQ(chat.picturesDropped(), 2u);
    EXPECT_EQ(host.ownDrawn, 4) << "the own picture shows whether or not it was sent";
    EXPECT_TRUE(host.direct.empty());
}

TEST_F(VideoChatTest, DirectPictureSkippedWhileThePreviousHasNotLeft) {
    streamAsCaller(false);
    host.unsent = 100;
    capture(0);
    EXPECT_TRUE(host.direct.empty());
    host.unsent = 0;
    capture(1);
    ASSERT_EQ(host.direct.size(), 1u);
    EXPECT_EQ(host.direct[0][0], 0);
    host.directTakes = false; // the session refused it: the counter stays
    capture(2);
    host.directTakes = true;
    capture(3);
    EXPECT_EQ(host.direct.back()[0], 1);
}

TEST_F(VideoChatTest, OnlyWholePicturesAreSentOrDrawn) {
    streamAsCaller(false);
    for (std::size_t size : {std::size_t{0}, kPictureBytes - 1, kPictureBytes + 3}) {
        std::vector<uint8_t> buffer(size, 80);
        chat.onCapturedPicture(buffer.data(), buffer.size());
    }
    EXPECT_TRUE(host.direct.empty());
    EXPECT_EQ(host.ownDrawn, 0);
}

TEST_F(VideoChatTest, PictureLargerThanItsTransportIsNotSent) {
    // Noise does not compress: its key frame is larger than any transport carries.
    std::mt19937 random(7);
    std::vector<uint8_t> noise(kPictureBytes);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
    for (bool relayed : {false, true}) {
        FakeVideoHost fresh;
        VideoChat sender(fresh);
        sender.request();
        sender.onAccepted(1);
        sender.onChannel(relayed);
        sender.onCapturedPicture(noise.data(), noise.size());
        EXPECT_TRUE(fresh.direct.empty() && fresh.relayed.empty()) << relayed;
        EXPECT_EQ(sender.picturesDropped(), 1u);
        const std::vector<uint8_t> rgb = Pattern(0);
        sender.onCapturedPicture(rgb.data(), rgb.size());
        const auto& sent = relayed ? fresh.relayed : fresh.direct;
        ASSERT_EQ(sent.size(), 1u) << relayed;
        EXPECT_EQ(sent[0][0], 0) << "the dropped picture did not take a number";
        EXPECT_LE(sent[0].size(), relayed ? kMaxRelayedVideoPacket : kMaxDirectVideoPacket);
    }
}

TEST_F(VideoChatTest, RelayedAndDirectChatsSendTheSamePackets) {
    FakeVideoHost other;
    VideoChat relayedChat(other);
    relayedChat.request();
    relayedChat.onAccepted(1);
    relayedChat.onChannel(true);
    streamAsCaller(false);
    for (uint32_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> rgb = Pattern(i);
        relayedChat.onCapturedPicture(rgb.data(), rgb.size());
        other.pending.clear();
        chat.onCapturedPicture(rgb.data(), rgb.size());
    }
    EXPECT_EQ(other.relayed, host.direct);
}

TEST_F(VideoChatTest, SecondChannelEventDoesNotRestartThePane) {
    streamAsCaller(true);
    capture(0);
    host.pending.clear();
    capture(1);
    chat.onChannel(false); // the direct channel opened after all
    EXPECT_EQ(host.sourceOpens, 1);
    EXPECT_FALSE(chat.relayed()) << "the direct path is taken once it is there";
    capture(2);
    ASSERT_EQ(host.direct.size(), 1u);
    EXPECT_EQ(host.direct[0][0], 2) << "the counter went on";
    chat.onChannel(true); // a late relay answer: the direct path stays
    EXPECT_FALSE(chat.relayed());
    EXPECT_EQ(host.sourceOpens, 1);
}

TEST_F(VideoChatTest, PeerPicturesShowWhenTheCameraFails) {
    host.sourceWorks = false;
    streamAsCaller(false);
    EXPECT_EQ(host.notices.back(), VideoNotice::CameraFailed);
    EXPECT_FALSE(chat.sourceOpen());

    FakeVideoHost peerHost;
    VideoChat peer(peerHost);
    peer.onOffer();
    peer.accept();
    peer.onChannel(false);
    std::vector<uint8_t> rgb = Pattern(5);
    peer.onCapturedPicture(rgb.data(), rgb.size());
    ASSERT_EQ(peerHost.direct.size(), 1u);
    chat.onPacket(peerHost.direct[0].data(), peerHost.direct[0].size());
    ASSERT_EQ(host.peerPictures.size(), 1u);
    const auto mean = TestPattern::meanColour(host.peerPictures[0], 0, TestPattern::kBarRows);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(mean[c], TestPattern::barsMean()[c], 12.0);
    }
}

TEST_F(VideoChatTest, ReceivedPacketsThatDoNotFitOrComeLateAreNotDrawn) {
    FakeVideoHost peerHost;
    VideoChat peer(peerHost);
    peer.onOffer();
    peer.accept();
    peer.onChannel(false);
    for (uint32_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> rgb = Pattern(i);
        peer.onCapturedPicture(rgb.data(), rgb.size());
    }
    ASSERT_EQ(peerHost.direct.size(), 3u);
    streamAsCaller(true);

    std::vector<uint8_t> longer = peerHost.direct[0];
    longer.push_back(0);
    std::vector<uint8_t> shorter(peerHost.direct[0].begin(), peerHost.direct[0].end() - 1);
    std::vector<uint8_t> oversized(kMaxDirectVideoPacket + 1, 0);
    oversized[2] = static_cast<uint8_t>((oversized.size() - 4) & 0xFF);
    oversized[3] = static_cast<uint8_t>((oversized.size() - 4) >> 8);
    for (const auto& bad : {longer, shorter, oversized, std::vector<uint8_t>{0, 0, 0}}) {
        chat.onPacket(bad.data(), bad.size());
    }
    EXPECT_TRUE(host.peerPictures.empty());

    chat.onPacket(peerHost.direct[0].data(), peerHost.direct[0].size());
    chat.onPacket(peerHost.direct[2].data(), peerHost.direct[2].size());
    chat.onPacket(peerHost.direct[1].data(), peerHost.direct[1].size()); // retransmitted late
    EXPECT_EQ(host.peerPictures.size(), 2u);
    EXPECT_EQ(chat.peerPicturesDrawn(), 2u);
}

TEST_F(VideoChatTest, EndingByEitherSide) {
    streamAsCaller(false);
    chat.cancel();
    EXPECT_FALSE(chat.running());
    EXPECT_FALSE(host.videoPane);
    EXPECT_FALSE(host.sourceOpen);
    EXPECT_EQ(host.directClosed, 1);
    EXPECT_EQ(host.requests.back(), "cancel");
    EXPECT_EQ(host.notices.back(), VideoNotice::YouCancelled);
    capture(0);
    EXPECT_TRUE(host.direct.empty()) << "nothing is sent after the end";

    FakeVideoHost calleeHost;
    VideoChat callee(calleeHost);
    callee.onOffer();
    callee.accept();
    callee.onChannel(false);
    callee.onCancelled();
    EXPECT_FALSE(callee.running());
    EXPECT_EQ(calleeHost.notices.back(), VideoNotice::PeerCancelled);
    EXPECT_EQ(calleeHost.requests, (std::vector<std::string>{"accept 40123"}))
        << "the peer's cancel is not answered";
    EXPECT_FALSE(callee.accept()) << "the links of an ended chat do nothing";
    callee.onChannel(true);
    EXPECT_FALSE(calleeHost.videoPane) << "a stray channel event does not reopen the pane";

    FakeVideoHost closing;
    VideoChat closed(closing);
    closed.request();
    const std::size_t notices = closing.notices.size();
    closed.end();
    EXPECT_EQ(closing.requests.back(), "cancel");
    EXPECT_EQ(closing.notices.size(), notices) << "a closing window shows nothing";
}

// Both operators ask at about the same time: the lower account's offer wins and the higher
// side takes it as the answer to its own, so one chat starts instead of two waiting for ever.
TEST(VideoCrossing, TheLowerAccountsOfferWinsAndTheOtherSideAcceptsIt) {
    FakeVideoHost lowerHost;
    lowerHost.offerWins = true;
    lowerHost.listenPort = 0;
    VideoChat lower(lowerHost);
    FakeVideoHost higherHost;
    higherHost.offerWins = false;
    higherHost.listenPort = 4444;
    VideoChat higher(higherHost);
    ASSERT_TRUE(lower.request());
    ASSERT_TRUE(higher.request());

    lower.onOffer(); // the higher one's offer: its own stands
    EXPECT_EQ(lower.state(), VideoChat::State::Requested);
    EXPECT_EQ(lowerHost.requests, std::vector<std::string>{"offer"});

    higher.onOffer(); // the lower one's offer: taken as the answer
    EXPECT_EQ(higher.state(), VideoChat::State::AcceptedByUs);
    EXPECT_EQ(higherHost.requests, (std::vector<std::string>{"offer", "accept 4444"}));

    lower.onAccepted(4444);
    EXPECT_EQ(lowerHost.directPort, 4444);
    lower.onChannel(false);
    higher.onChannel(false);
    EXPECT_EQ(lower.state(), VideoChat::State::Streaming);
    EXPECT_EQ(higher.state(), VideoChat::State::Streaming);
}

} // namespace
} // namespace talmor

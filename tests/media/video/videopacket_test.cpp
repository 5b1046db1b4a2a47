#include <gtest/gtest.h>

#include <vector>

#include "media/video/codec/videopacket.h"

namespace talmor {
namespace {

TEST(VideoPacket, CarriesCounterAndLittleEndianLength) {
    std::vector<uint8_t> picture(0x0123, 0xAB);
    std::vector<uint8_t> packet;
    ASSERT_TRUE(BuildVideoPacket(7, picture.data(), picture.size(), kMaxDirectVideoPacket, packet));
    ASSERT_EQ(packet.size(), 4u + 0x0123);
    EXPECT_EQ(packet[0], 7);
    EXPECT_EQ(packet[2], 0x23);
    EXPECT_EQ(packet[3], 0x01);
    VideoPacketView view;
    ASSERT_TRUE(ParseVideoPacket(packet.data(), packet.size(), kMaxDirectVideoPacket, view));
    EXPECT_EQ(view.counter, 7);
    EXPECT_EQ(view.size, picture.size());
    EXPECT_EQ(view.picture, packet.data() + 4);
}

TEST(VideoPacket, PictureTooLargeForItsTransportIsNotBuilt) {
    std::vector<uint8_t> picture(4078, 1);
    std::vector<uint8_t> packet;
    EXPECT_TRUE(BuildVideoPacket(0, picture.data(), 4078, kMaxDirectVideoPacket, packet));
    EXPECT_FALSE(BuildVideoPacket(0, picture.data(), 4079, kMaxDirectVideoPacket, packet));
    EXPECT_TRUE(packet.empty());
    EXPECT_TRUE(BuildVideoPacket(0, picture.data(), 4060, kMaxRelayedVideoPacket, packet));
    EXPECT_FALSE(BuildVideoPacket(0, picture.data(), 4061, kMaxRelayedVideoPacket, packet));
}

TEST(VideoPacket, MalformedOrOversizedPacketsAreRefused) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::size_t limit;
    };
    std::vector<uint8_t> directMax(kMaxDirectVideoPacket, 0);
    directMax[2] = static_cast<uint8_t>((kMaxDirectVideoPacket - 4) & 0xFF);
    directMax[3] = static_cast<uint8_t>((kMaxDirectVideoPacket - 4) >> 8);
    std::vector<uint8_t> directOver(kMaxDirectVideoPacket + 1, 0);
    directOver[2] = static_cast<uint8_t>((kMaxDirectVideoPacket - 3) & 0xFF);
    directOver[3] = static_cast<uint8_t>((kMaxDirectVideoPacket - 3) >> 8);
    const std::vector<Case> refused = {
        {"empty", {}, kMaxDirectVideoPacket},
        {"shorter than the header", {1, 0, 0}, kMaxDirectVideoPacket},
        {"length field says more", {1, 0, 3, 0, 9, 9}, kMaxDirectVideoPacket},
        {"length field says less", {1, 0, 1, 0, 9, 9}, kMaxDirectVideoPacket},
        {"length field big-endian", {1, 0, 0, 2, 9, 9}, kMaxDirectVideoPacket},
        {"over the direct limit", directOver, kMaxDirectVideoPacket},
        {"direct-sized packet relayed", directMax, kMaxRelayedVideoPacket},
    };
    for (const Case& c : refused) {
        VideoPacketView view;
        EXPECT_FALSE(ParseVideoPacket(c.bytes.data(), c.bytes.size(), c.limit, view)) << c.what;
    }
    VideoPacketView view;
    EXPECT_TRUE(ParseVideoPacket(directMax.data(), directMax.size(), kMaxDirectVideoPacket, view));
    const std::vector<uint8_t> headerOnly = {5, 0xEE, 0, 0};
    EXPECT_TRUE(ParseVideoPacket(headerOnly.data(), 4, kMaxDirectVideoPacket, view));
    EXPECT_EQ(view.size, 0u);
}

TEST(PictureOrder, LatePicturesAreNotTakenOverNewerOnes) {
    struct Step {
        uint8_t counter;
        bool accepted;
    };
    // Pictures 0..3 in order, a retransmitted 2 arriving after 3, a 250 from long ago (a lap
    // behind the counter), the counter wrapping from 255 to 0.
    PictureOrder order;
    const std::vector<Step> steps = {
        {0, true}, {1, true}, {3, true}, {2, false}, {3, false}, {250, false}, {4, true},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(order.accept(steps[i].counter), steps[i].accepted) << "step " << i;
    }
    PictureOrder wrapping;
    EXPECT_TRUE(wrapping.accept(254));
    EXPECT_TRUE(wrapping.accept(255));
    EXPECT_TRUE(wrapping.accept(0));
    EXPECT_FALSE(wrapping.accept(255));
}

TEST(PictureOrder, FollowsASenderWhoseCounterJumped) {
    PictureOrder order;
    ASSERT_TRUE(order.accept(100));
    // The sender restarted (its counter back at 0): a few pictures are refused, then the
    // receiver follows the new counter instead of waiting for it to pass 100.
    int refused = 0;
    uint8_t counter = 0;
    while (!order.accept(counter)) {
        ++refused;
        ++counter;
        ASSERT_LT(refused, 50);
    }
    EXPECT_EQ(refused, PictureOrder::kResyncAfter - 1);
    EXPECT_TRUE(order.accept(static_cast<uint8_t>(counter + 1)));
    order.reset();
    EXPECT_TRUE(order.accept(40));
}

} // namespace
} // namespace talmor

// The sound path of a talk without devices: re-blocking, the coder and the jitter buffer.
#include <gtest/gtest.h>

extern "C" {
#include <bcg729/encoder.h>
}

#include <cstring>
#include <vector>

#include "media/voice/audioformat.h"
#include "media/voice/g729coder.h"
#include "media/voice/jitterbuffer.h"
#include "media/voice/reblocker.h"
#include "support/testaudio.h"

namespace talmor::voice {
namespace {

using testing::DominantFrequency;
using testing::Level;
using testing::Tone;

TEST(Reblocker, AnyDeliverySizesBecomeWholeBlocksInOrder) {
    const QByteArray speech = Tone(440, 600); // ten blocks
    for (qsizetype step : {qsizetype{1}, qsizetype{320}, qsizetype{959}, qsizetype{960},
                           qsizetype{961}, qsizetype{2500}}) {
        SCOPED_TRACE(step);
        QByteArray joined;
        int blocks = 0;
        Reblocker reblocker([&](const QByteArray& block) {
            EXPECT_EQ(block.size(), 960);
            joined += block;
            ++blocks;
        });
        for (qsizetype at = 0; at < speech.size(); at += step) {
            reblocker.push(speech.constData() + at, std::min(step, speech.size() - at));
        }
        EXPECT_EQ(blocks, 10);
        EXPECT_EQ(joined, speech);
        EXPECT_EQ(reblocker.pending(), 0);
    }
}

TEST(G729Coder, RefusesEveryLengthButTheOneOfAPacket) {
    G729Coder coder;
    std::vector<uint8_t> in(1000, 0);
    std::vector<uint8_t> out(1000, 0);
    for (std::size_t length : {0u, 59u, 61u, 959u, 961u, 1920u}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(coder.encode(in.data(), length, out.data()), length == kBlockBytes);
        EXPECT_EQ(coder.decode(in.data(), length, out.data()), length == kPacketBytes);
    }
    EXPECT_TRUE(coder.encode(in.data(), 960, out.data()));
    EXPECT_TRUE(coder.decode(in.data(), 60, out.data()));
}

// The packet is six standard 10-byte frames in time order: a bare encoder fed the same
// 10 ms frames one by one writes the same bytes.
TEST(G729Coder, APacketIsSixStandardFramesInTimeOrder) {
    const QByteArray speech = Tone(700, 120, 6000);
    G729Coder coder;
    bcg729EncoderChannelContextStruct* bare = initBcg729EncoderChannel(0);
    for (int packet = 0; packet < 2; ++packet) {
        uint8_t ours[kPacketBytes];
        const auto* block = reinterpret_cast<const uint8_t*>(speech.constData()) + packet * 960;
        ASSERT_TRUE(coder.encode(block, kBlockBytes, ours));
        for (int frame = 0; frame < 6; ++frame) {
            int16_t samples[80];
            std::memcpy(samples, block + frame * 160, 160);
            uint8_t expected[10];
            uint8_t length = 0;
            bcg729Encoder(bare, samples, expected, &length);
            ASSERT_EQ(length, 10);
            EXPECT_EQ(0, std::memcmp(ours + frame * 10, expected, 10)) << packet << "/" << frame;
        }
    }
    closeBcg729EncoderChannel(bare);
}

TEST(G729Coder, ATonePassesThroughAtItsFrequency) {
    G729Coder coder;
    QByteArray decoded;
    for (int block = 0; block < 20; ++block) {
        const QByteArray tone = Tone(1000, 60, 8000, block * 480);
        uint8_t packet[kPacketBytes];
        uint8_t samples[kBlockBytes];
        ASSERT_TRUE(coder.encode(reinterpret_cast<const uint8_t*>(tone.constData()), 960, packet));
        ASSERT_TRUE(coder.decode(packet, 60, samples));
        decoded.append(reinterpret_cast<const char*>(samples), 960);
    }
    const QByteArray settled = decoded.mid(960 * 4); // the coder's first frames settle
    EXPECT_EQ(DominantFrequency(settled), 1000);
    EXPECT_GT(Level(settled), 1000);
}

TEST(JitterBuffer, HoldsAtMost200msAndDropsWhatWouldMakeItLonger) {
    JitterBuffer buffer;
    const std::vector<uint8_t> block(kBlockBytes, 7);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(buffer.push(block.data(), block.size()));
    }
    EXPECT_FALSE(buffer.push(block.data(), block.size())); // 240 ms would be too late
    EXPECT_EQ(buffer.queuedBytes(), 3 * kBlockBytes);
    EXPECT_EQ(buffer.dropped(), 1u);

    // Once the device played part of the queue a new block fits again.
    std::vector<uint8_t> out(kBlockBytes, 1);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), kBlockBytes);
    EXPECT_TRUE(buffer.push(block.data(), block.size()));
    EXPECT_LE(buffer.queuedBytes(), JitterBuffer::kCapacityBytes);
}

TEST(JitterBuffer, PlaysBlocksInOrderAcrossPulls) {
    JitterBuffer buffer;
    const std::vector<uint8_t> first(kBlockBytes, 1);
    const std::vector<uint8_t> second(kBlockBytes, 2);
    buffer.push(first.data(), first.size());
    buffer.push(second.data(), second.size());
    std::vector<uint8_t> out(700, 9);
    EXPECT_EQ(buffer.pull(out.data(), 700), 700u);
    EXPECT_EQ(out.front(), 1);
    EXPECT_EQ(buffer.pull(out.data(), 700), 700u);
    EXPECT_EQ(out[259], 1);
    EXPECT_EQ(out[260], 2);
    // 520 bytes of speech left; the rest of the pull is made up.
    EXPECT_EQ(buffer.pull(out.data(), 700), 520u);
    EXPECT_EQ(out[519], 2);
    EXPECT_EQ(buffer.played(), 2u);
}

// A late packet: the tone goes on at its own pitch, fading, for one packet's time, then falls
// silent; a packet arriving meanwhile plays at once, whole. Nothing is made up before the first
// speech or after the buffer is cleared.
TEST(JitterBuffer, ALatePacketIsBridgedByAFadingToneThenSilence) {
    JitterBuffer buffer;
    std::vector<uint8_t> out(kBlockBytes, 9);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), 0u);
    EXPECT_EQ(Level(QByteArray(reinterpret_cast<const char*>(out.data()), kBlockBytes)), 0);

    const QByteArray tone = Tone(1000, 60);
    buffer.push(reinterpret_cast<const uint8_t*>(tone.constData()), kBlockBytes);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), kBlockBytes);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), 0u);
    const QByteArray bridge(reinterpret_cast<const char*>(out.data()), kBlockBytes);
    EXPECT_EQ(DominantFrequency(bridge), 1000);
    const double early = Level(bridge.left(320));
    const double late = Level(bridge.right(320));
    EXPECT_GT(early, 2000);
    EXPECT_GT(late, 0);
    EXPECT_LT(late, early / 2) << "the bridge fades";
    EXPECT_EQ(buffer.concealed(), kBlockBytes / 2);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), 0u);
    EXPECT_EQ(Level(QByteArray(reinterpret_cast<const char*>(out.data()), kBlockBytes)), 0)
        << "after one packet's time the gap is silent";

    // A packet in the middle of a bridge plays from its first sample.
    buffer.push(reinterpret_cast<const uint8_t*>(tone.constData()), kBlockBytes);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), kBlockBytes);
    EXPECT_EQ(buffer.pull(out.data(), 200), 0u);
    buffer.push(reinterpret_cast<const uint8_t*>(tone.constData()), kBlockBytes);
    EXPECT_EQ(buffer.pull(out.data(), out.size()), kBlockBytes);
    EXPECT_EQ(std::memcmp(out.data(), tone.constData(), kBlockBytes), 0);

    buffer.clear();
    EXPECT_EQ(buffer.pull(out.data(), out.size()), 0u);
    EXPECT_EQ(Level(QByteArray(reinterpret_cast<const char*>(out.data()), kBlockBytes)), 0);
}

} // namespace
} // namespace talmor::voice

#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::ClientHarness;

// Feeds server datagrams straight to the session, as its socket would.
class Feed {
public:
    explicit Feed(ClientHarness& h) : h_(h) {
        OutPacket packet =
            testing::serverDatagram(h.client().udpSession().sessionId(), CMD_NOTICE_525, 1);
        packet.writeInt(0);
        datagram_ = testing::bytesOf(packet);
    }
    // True when the datagram with `seq` reached the listener.
    bool send(uint16_t seq) {
        const std::size_t before = h_.listener.events.size();
        datagram_[kSeqOffset] = static_cast<uint8_t>(seq >> 8);
        datagram_[kSeqOffset + 1] = static_cast<uint8_t>(seq);
        h_.client().udpSession().receiveDatagram(datagram_.data(), datagram_.size());
        return h_.listener.events.size() > before;
    }

private:
    ClientHarness& h_;
    testing::Bytes datagram_;
};

// The server counts on past 65535 to 1 (0 marks a pure acknowledgement); three laps of its
// numbers must all get through, each once.
TEST(DuplicateFilter, AcceptsEveryNumberOnEachLap) {
    ClientHarness h;
    Feed feed(h);
    uint16_t seq = 40000;
    int dropped = 0;
    for (int i = 0; i < 3 * 65535; ++i) {
        seq = static_cast<uint16_t>(seq + 1);
        if (seq == 0) {
            seq = 1;
        }
        if (!feed.send(seq)) {
            ++dropped;
        }
        if (i % 1000 == 0) {
            h.listener.events.clear();
            h.listener.eventAckSeqs.clear();
        }
    }
    EXPECT_EQ(dropped, 0);
}

TEST(DuplicateFilter, DropsRepeatsWithinHalfTheSequenceSpace) {
    ClientHarness h;
    Feed feed(h);
    EXPECT_TRUE(feed.send(100));
    EXPECT_TRUE(feed.send(101));
    EXPECT_FALSE(feed.send(100));
    for (uint16_t seq = 102; seq < 100 + 32767; ++seq) {
        feed.send(seq);
    }
    EXPECT_FALSE(feed.send(101)); // still within the window
}

// A datagram lost for good must not make the number half a lap after it look like a repeat.
TEST(DuplicateFilter, NumbersThatNeverArrivedDoNotBlockOthers) {
    ClientHarness h;
    Feed feed(h);
    uint16_t seq = 0;
    for (int i = 0; i < 65535 + 32768 + 200; ++i) {
        seq = static_cast<uint16_t>(seq + 1);
        if (seq == 0) {
            seq = 1;
        }
        const bool lost = i >= 65535 && seq >= 100 && seq < 110; // on the second lap
        if (!lost) {
            EXPECT_TRUE(feed.send(seq)) << seq;
        }
        if (i % 1000 == 0) {
            h.listener.events.clear();
            h.listener.eventAckSeqs.clear();
        }
    }
}

} // namespace
} // namespace talmor

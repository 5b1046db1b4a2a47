#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/peerstream.h"

namespace talmor {
namespace {

using Bytes = std::vector<uint8_t>;
using Outcome = PeerStreamReader::Outcome;

// A framed packet: prefix `length`, then a header naming `command`, then filler up to length.
Bytes framed(uint16_t length, uint16_t command = 0x1000) {
    Bytes bytes(2 + std::size_t{length}, 0xAB);
    bytes[0] = static_cast<uint8_t>(length >> 8);
    bytes[1] = static_cast<uint8_t>(length);
    if (length >= 12) {
        bytes[2] = 0;
        bytes[3] = 1;
        bytes[8] = static_cast<uint8_t>(command >> 8);
        bytes[9] = static_cast<uint8_t>(command);
    }
    return bytes;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct Fed {
    std::vector<uint16_t> commands;
    std::vector<std::size_t> lengths;
    Outcome last = Outcome::Waiting;
};

// Feeds `stream` in pieces of `piece` bytes, de-framing after each.
Fed feed(const Bytes& stream, std::size_t piece) {
    PeerStreamReader reader;
    Fed fed;
    for (std::size_t at = 0; at < stream.size() && fed.last == Outcome::Waiting; at += piece) {
        const std::size_t size = std::min({piece, stream.size() - at, reader.freeSize()});
        std::memcpy(reader.freeSpace(), stream.data() + at, size);
        reader.added(size);
        fed.last = reader.deframe([&](PeerInPacket& packet) {
            fed.commands.push_back(packet.command());
            fed.lengths.push_back(packet.length());
            return true;
        });
    }
    return fed;
}

TEST(PeerStream, PacketsAreCutByTheirPrefixWhateverPiecesTheBytesArriveIn) {
    const Bytes stream = join({framed(12, 1), framed(2000, 4098), framed(40, 4097)});
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{2014}, stream.size()}) {
        const Fed fed = feed(stream, piece);
        EXPECT_EQ(fed.commands, (std::vector<uint16_t>{1, 4098, 4097})) << piece;
        EXPECT_EQ(fed.lengths, (std::vector<std::size_t>{12, 2000, 40})) << piece;
        EXPECT_EQ(fed.last, Outcome::Waiting);
    }
}

TEST(PeerStream, PacketsShorterThanAHeaderAreSkippedAndTheNextIsStillRead) {
    for (uint16_t shortLength : {0, 1, 11}) {
        const Fed fed = feed(join({framed(shortLength), framed(12, 4097)}), 4096);
        EXPECT_EQ(fed.commands, std::vector<uint16_t>{4097}) << shortLength;
    }
}

TEST(PeerStream, APrefixThatCanNeverFitTheAreaIsReportedInsteadOfAwaited) {
    struct Case {
        uint16_t length;
        Outcome outcome;
    };
    // 4094 bytes after the prefix fill the 4096-byte area exactly.
    for (const Case& c : {Case{4094, Outcome::Waiting}, Case{4095, Outcome::Impossible},
                          Case{65535, Outcome::Impossible}}) {
        PeerStreamReader reader;
        reader.freeSpace()[0] = static_cast<uint8_t>(c.length >> 8);
        reader.freeSpace()[1] = static_cast<uint8_t>(c.length);
        reader.added(2);
        EXPECT_EQ(reader.deframe([](PeerInPacket&) { return true; }), c.outcome) << c.length;
    }
    const Fed whole = feed(framed(4094), 4096);
    EXPECT_EQ(whole.lengths, std::vector<std::size_t>{4094});
}

TEST(PeerStream, StoppingKeepsTheUnreadPacketsForLater) {
    const Bytes stream = join({framed(12, 1), framed(12, 2)});
    PeerStreamReader reader;
    std::memcpy(reader.freeSpace(), stream.data(), stream.size());
    reader.added(stream.size());
    std::vector<uint16_t> seen;
    EXPECT_EQ(reader.deframe([&](PeerInPacket& p) {
        seen.push_back(p.command());
        return false;
    }),
              Outcome::Stopped);
    EXPECT_EQ(seen, std::vector<uint16_t>{1});
    EXPECT_EQ(reader.buffered(), 14u);
}

} // namespace
} // namespace talmor

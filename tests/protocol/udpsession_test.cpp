#include "protocol/udpsession.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "protocol/commands.h"
#include "support/fakes.h"
#include "support/wire.h"

namespace talmor {
namespace {

using testing::Bytes;
using Lines = std::vector<std::string>;

class RecordingEvents : public SessionEvents {
public:
    bool dispatch(InPacket& packet) override {
        dispatched.emplace_back(packet.command(), packet.seq());
        if (onDispatch) {
            onDispatch(packet);
        }
        return refused.count(packet.command()) == 0;
    }
    void onConnected(bool up) override {
        connected.push_back(up);
        if (onLink) {
            onLink(up);
        }
    }
    void onRequestAcked(uint32_t seq) override { acked.push_back(seq); }
    void onRequestTimedOut(uint32_t seq) override {
        timedOut.push_back(seq);
        if (onTimedOut) {
            onTimedOut(seq);
        }
    }

    std::vector<std::pair<uint16_t, uint16_t>> dispatched; // command, seq
    std::vector<bool> connected;
    std::vector<uint32_t> acked;
    std::vector<uint32_t> timedOut;
    // Codes the command layer handles without acknowledging them.
    std::set<uint16_t> refused;
    std::function<void(InPacket&)> onDispatch;
    std::function<void(bool)> onLink;
    std::function<void(uint32_t)> onTimedOut;
};

uint16_t shortAt(const Bytes& datagram, std::size_t offset) {
    return static_cast<uint16_t>((datagram.at(offset) << 8) | datagram.at(offset + 1));
}
uint16_t commandOf(const Bytes& datagram) {
    return shortAt(datagram, 14);
}
uint16_t seqOf(const Bytes& datagram) {
    return shortAt(datagram, kSeqOffset);
}

testing::FakeRandom drawing(std::deque<uint32_t> values) {
    testing::FakeRandom random;
    random.queued = std::move(values);
    return random;
}

// A session on in-memory sockets whose first two random draws give session id 1234 and a
// first request seq of 100, unless a test picks other draws.
struct Rig {
    explicit Rig(std::deque<uint32_t> draws = {1233, 99})
        : random(drawing(std::move(draws))), session(sockets, clock, random, events) {
        handle = sockets.nextHandle - 1;
    }

    std::vector<Bytes>& sent() { return sockets.find(handle)->sent; }
    Bytes fromServer(uint16_t command, uint16_t seq, uint16_t ackSeq = 0) {
        OutPacket packet = testing::serverDatagram(session.sessionId(), command, seq, ackSeq);
        packet.writeInt(0x01020304);
        return testing::bytesOf(packet);
    }
    void receive(const Bytes& datagram) { sockets.deliver(handle, datagram); }
    uint16_t request(uint16_t command = CMD_SET_STATUS) {
        auto packet = session.newRequest(command);
        packet->writeInt(5);
        return session.queueAndSend(std::move(packet));
    }
    // Runs the retransmission pass `passes` times, ten seconds apart.
    void retransmitPasses(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(UdpSession::kRetryIntervalSeconds);
            session.checkRetransmit();
        }
    }
    Lines takeTrace() {
        Lines lines = std::move(trace.lines);
        trace.lines.clear();
        return lines;
    }

    testing::TraceCapture trace;
    testing::MemorySockets sockets;
    testing::FakeClock clock;
    testing::FakeRandom random;
    RecordingEvents events;
    UdpSession session;
    int handle = kNoSocket;
};

std::string acked(uint16_t seq) {
    return "packet " + std::to_string(seq) + " is ACKed";
}

std::string ignored(uint16_t seq) {
    return "ACK packet " + std::to_string(seq) + " is ignored";
}

TEST(UdpSession, SessionIdAndFirstSeqComeFromTheRandomSource) {
    struct Case {
        uint32_t sessionDraw;
        uint32_t seqDraw;
        uint32_t sessionId;
        uint16_t firstSeq;
    };
    const Case cases[] = {
        {0, 0, 1, 1},
        {32767, 0x3FFF, 32768, 16384},
        {0xFFFFFFFF, 0xFFFF, 0x80000000, 16384},
        {0x7FFFFFFF, 0x4001, 0x80000000, 2},
    };
    for (const Case& c : cases) {
        Rig rig({c.sessionDraw, c.seqDraw});
        EXPECT_EQ(rig.session.sessionId(), c.sessionId);
        EXPECT_EQ(rig.session.newRequest(CMD_GET_GROUPS)->seq, c.firstSeq);
    }
}

TEST(UdpSession, ConnectLearnsTheLocalAddressAndReportsTheLink) {
    Rig rig;
    rig.sockets.localAddressValue = 0x7F000105;
    ASSERT_TRUE(rig.session.connect(0x7F000001, 8000));
    EXPECT_EQ(rig.events.connected, std::vector<bool>{true});
    EXPECT_EQ(rig.session.localAddress(), 0x7F000105u);
    EXPECT_EQ(rig.sockets.find(rig.handle)->peerAddress, 0x7F000001u);
    EXPECT_EQ(rig.sockets.find(rig.handle)->peerPort, 8000);
    EXPECT_TRUE(rig.sent().empty()); // connecting a datagram socket sends nothing

    Rig failing;
    failing.sockets.failConnect = true;
    EXPECT_FALSE(failing.session.connect(0x7F000001, 8000));
    EXPECT_TRUE(failing.events.connected.empty());
}

TEST(UdpSession, RequestsCarryTheHeaderAndAnEncipheredBody) {
    Rig rig;
    rig.session.setSenderId(1001);
    rig.session.setCipherKey("secret");
    auto packet = rig.session.newRequest(CMD_SEND_MESSAGE);
    packet->writeString("hello");
    EXPECT_EQ(rig.session.queueAndSend(std::move(packet)), 100);
    EXPECT_EQ(rig.session.pendingCount(), 1u);
    ASSERT_EQ(rig.sent().size(), 1u);
    Bytes datagram = rig.sent()[0];
    InPacket header(datagram.data(), datagram.size());
    EXPECT_EQ(header.version(), PROTOCOL_VERSION);
    EXPECT_EQ(header.senderId(), 1001u);
    EXPECT_EQ(header.sessionId(), 1234u);
    EXPECT_EQ(header.command(), CMD_SEND_MESSAGE);
    EXPECT_EQ(header.seq(), 100);

    PacketCipher cipher;
    cipher.setKeyFromPassword("secret");
    ASSERT_TRUE(decipherRequest(datagram.data(), datagram.size(), cipher));
    EXPECT_EQ(testing::bodyOf(datagram), (Bytes{0, 6, 'h', 'e', 'l', 'l', 'o', 0}));
}

TEST(UdpSession, ABodyTooLongToEncipherIsRefusedNotSentPlain) {
    for (std::size_t bodySize : {4072u, 4073u, 4076u}) {
        SCOPED_TRACE(bodySize);
        Rig rig;
        rig.session.setCipherKey("secret");
        auto packet = rig.session.newRequest(CMD_SEND_MESSAGE);
        const Bytes body(bodySize, 0x41);
        packet->writeBytes(body.data(), body.size());
        const uint16_t seq = rig.session.queueAndSend(std::move(packet));
        if (bodySize == 4072u) {
            EXPECT_NE(seq, 0);
            EXPECT_EQ(rig.sent().size(), 1u);
            continue;
        }
        EXPECT_EQ(seq, 0);
        EXPECT_TRUE(rig.sent().empty());
        EXPECT_EQ(rig.session.pendingCount(), 0u);
    }
}

TEST(UdpSession, LoginTravelsInPlainText) {
    Rig rig;
    rig.session.setCipherKey("secret");
    auto packet = rig.session.newRequest(CMD_LOGIN);
    packet->writeString("secret");
    const Bytes plain = testing::bytesOf(*packet);
    rig.session.queueAndSend(std::move(packet));
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(rig.sent()[0], plain);
}

TEST(UdpSession, AcknowledgementIsAHeaderSentOnce) {
    Rig rig;
    rig.session.setSenderId(1001);
    rig.session.sendAck(4242);
    const Bytes expected = testing::bytesOf(makeDatagram(1001, 1234, CMD_ACK, 4242));
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(rig.sent()[0], expected);
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    rig.retransmitPasses(5);
    EXPECT_EQ(rig.sent().size(), 1u);
}

// Dropped datagrams reach nobody, acknowledge nothing and free no request.
TEST(UdpSession, GateDropsShortForeignAndOtherVersionDatagrams) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> spoil;
        Lines trace;
    };
    const auto putShort = [](Bytes& d, std::size_t offset, uint16_t value) {
        d[offset] = static_cast<uint8_t>(value >> 8);
        d[offset + 1] = static_cast<uint8_t>(value);
    };
    const Case cases[] = {
        {"19 bytes", [](Bytes& d) { d.resize(kDatagramHeaderSize - 1); }, {}},
        {"empty", [](Bytes& d) { d.clear(); }, {}},
        {"version 1217",
         [&](Bytes& d) { putShort(d, 0, 1217); },
         {"can not process packets of version 1217"}},
        {"peer version",
         [&](Bytes& d) { putShort(d, 0, PEER_PROTOCOL_VERSION); },
         {"can not process packets of version 1"}},
        {"another session",
         [](Bytes& d) { d[13] ^= 0x01; },
         {"packet does not belong to this session."}},
        {"session 0",
         [](Bytes& d) { d[10] = d[11] = d[12] = d[13] = 0; },
         {"packet does not belong to this session."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const uint16_t pending = rig.request();
        Bytes datagram = rig.fromServer(CMD_NOTICE_525, 7, pending);
        c.spoil(datagram);
        rig.takeTrace();
        rig.receive(datagram);
        EXPECT_EQ(rig.takeTrace(), c.trace);
        EXPECT_TRUE(rig.events.dispatched.empty());
        EXPECT_EQ(rig.sent().size(), 1u);
        EXPECT_EQ(rig.session.pendingCount(), 1u);
        EXPECT_EQ(rig.session.lastAckSeq(), 0);

        // The same datagram unspoiled passes.
        rig.receive(rig.fromServer(CMD_NOTICE_525, 7, pending));
        EXPECT_EQ(rig.takeTrace(), Lines{acked(pending)});
        EXPECT_EQ(rig.events.dispatched.size(), 1u);
        EXPECT_EQ(rig.session.pendingCount(), 0u);
    }
}

TEST(UdpSession, PureAcknowledgementFreesTheRequestAndReportsIt) {
    Rig rig;
    const uint16_t seq = rig.request();
    rig.takeTrace();
    rig.receive(rig.fromServer(CMD_ACK, 0, seq));
    EXPECT_EQ(rig.takeTrace(), Lines{acked(seq)});
    EXPECT_EQ(rig.events.acked, std::vector<uint32_t>{seq});
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    EXPECT_EQ(rig.session.lastAckSeq(), seq);
    EXPECT_TRUE(rig.events.dispatched.empty());
    EXPECT_EQ(rig.sent().size(), 1u); // a pure acknowledgement is not acknowledged

    // Once freed, a second acknowledgement changes nothing.
    rig.receive(rig.fromServer(CMD_ACK, 0, seq));
    EXPECT_EQ(rig.takeTrace(), Lines{ignored(seq)});
    EXPECT_EQ(rig.events.acked.size(), 1u);
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.sent().size(), 1u);
    EXPECT_TRUE(rig.events.timedOut.empty());
}

TEST(UdpSession, AcknowledgementOnANumberedPacketFreesWithoutReporting) {
    Rig rig;
    const uint16_t seq = rig.request();
    rig.takeTrace();
    rig.receive(rig.fromServer(CMD_USER_INFO, 7, seq));
    EXPECT_EQ(rig.takeTrace(), Lines{acked(seq)});
    EXPECT_TRUE(rig.events.acked.empty());
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    using Dispatched = std::vector<std::pair<uint16_t, uint16_t>>;
    EXPECT_EQ(rig.events.dispatched, (Dispatched{{CMD_USER_INFO, 7}}));
    ASSERT_EQ(rig.sent().size(), 2u);
    EXPECT_EQ(commandOf(rig.sent()[1]), CMD_ACK);
    EXPECT_EQ(seqOf(rig.sent()[1]), 7);
}

TEST(UdpSession, UnknownAcknowledgementIsIgnored) {
    Rig rig;
    const uint16_t seq = rig.request();
    rig.takeTrace();
    const auto stranger = static_cast<uint16_t>(seq + 5);
    rig.receive(rig.fromServer(CMD_ACK, 0, stranger));
    EXPECT_EQ(rig.takeTrace(), Lines{ignored(stranger)});
    EXPECT_EQ(rig.session.pendingCount(), 1u);
    EXPECT_TRUE(rig.events.acked.empty());
    EXPECT_EQ(rig.session.lastAckSeq(), stranger);
}

TEST(UdpSession, PacketWithNeitherSeqNorAckDoesNothing) {
    Rig rig;
    rig.request();
    rig.takeTrace();
    rig.receive(rig.fromServer(CMD_NOTICE_525, 0, 0));
    EXPECT_TRUE(rig.takeTrace().empty());
    EXPECT_TRUE(rig.events.dispatched.empty());
    EXPECT_TRUE(rig.events.acked.empty());
    EXPECT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(rig.session.pendingCount(), 1u);
}

TEST(UdpSession, SecondCopyOfAServerPacketIsDroppedUnacknowledged) {
    Rig rig;
    const Bytes datagram = rig.fromServer(CMD_NOTICE_525, 7);
    rig.receive(datagram);
    rig.receive(datagram);
    EXPECT_EQ(rig.takeTrace(), Lines{"packet 7 is duplicated"});
    EXPECT_EQ(rig.events.dispatched.size(), 1u);
    EXPECT_EQ(rig.sent().size(), 1u); // one acknowledgement
}

// The server's counter runs on past 65535 (to 1, as 0 marks a pure acknowledgement); a long
// session must keep accepting its packets lap after lap, and still drop recent repeats.
TEST(UdpSession, DuplicateFilterKeepsAcceptingAfterTheServerSeqWraps) {
    Rig rig;
    OutPacket packet = testing::serverDatagram(rig.session.sessionId(), CMD_NOTICE_525, 0);
    Bytes datagram = testing::bytesOf(packet);
    const auto receiveSeq = [&](uint16_t seq) {
        datagram[kSeqOffset] = static_cast<uint8_t>(seq >> 8);
        datagram[kSeqOffset + 1] = static_cast<uint8_t>(seq);
        const std::size_t before = rig.events.dispatched.size();
        rig.session.receiveDatagram(datagram.data(), datagram.size());
        return rig.events.dispatched.size() > before;
    };
    setTraceSink([](const std::string&) {}); // a line per repeat is not the point here
    int accepted = 0;
    for (int lap = 0; lap < 2; ++lap) {
        for (uint32_t seq = 1; seq <= 0xFFFF; ++seq) {
            accepted += receiveSeq(static_cast<uint16_t>(seq)) ? 1 : 0;
        }
        EXPECT_FALSE(receiveSeq(65535)) << "lap " << lap;
        EXPECT_FALSE(receiveSeq(40000)) << "lap " << lap;
    }
    EXPECT_EQ(accepted, 2 * 65535);
}

TEST(UdpSession, KindsTheCommandLayerRefusesAreNotAcknowledged) {
    Rig rig;
    rig.events.refused = {CMD_KEEP_ALIVE, CMD_CALL_GONE, 4242};
    rig.receive(rig.fromServer(CMD_KEEP_ALIVE, 10));
    rig.receive(rig.fromServer(CMD_CALL_GONE, 11));
    rig.receive(rig.fromServer(4242, 12));
    rig.receive(rig.fromServer(CMD_NEW_CALL, 13));
    EXPECT_EQ(rig.events.dispatched.size(), 4u);
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(commandOf(rig.sent()[0]), CMD_ACK);
    EXPECT_EQ(seqOf(rig.sent()[0]), 13);
    // Still remembered as seen.
    rig.takeTrace();
    rig.receive(rig.fromServer(CMD_CALL_GONE, 11));
    EXPECT_EQ(rig.takeTrace(), Lines{"packet 11 is duplicated"});
    EXPECT_EQ(rig.events.dispatched.size(), 4u);
}

TEST(UdpSession, ReadsEveryWaitingDatagram) {
    Rig rig;
    auto& inbox = rig.sockets.find(rig.handle)->inbox;
    inbox.push_back(rig.fromServer(CMD_NOTICE_525, 1));
    inbox.push_back(rig.fromServer(CMD_NOTICE_526, 2));
    rig.receive(rig.fromServer(CMD_NOTICE_527, 3));
    using Dispatched = std::vector<std::pair<uint16_t, uint16_t>>;
    EXPECT_EQ(rig.events.dispatched,
              (Dispatched{{CMD_NOTICE_525, 1}, {CMD_NOTICE_526, 2}, {CMD_NOTICE_527, 3}}));
}

TEST(UdpSession, RequestIsSentThreeTimesThenTimesOut) {
    Rig rig;
    const uint16_t seq = rig.request();
    const std::string n = std::to_string(seq);
    rig.takeTrace();

    // Due ten seconds after each send, not a second earlier.
    for (std::size_t sends = 1; sends < 3; ++sends) {
        rig.clock.advance(9);
        rig.session.checkRetransmit();
        EXPECT_EQ(rig.sent().size(), sends);
        rig.clock.advance(1);
        rig.session.checkRetransmit();
        EXPECT_EQ(rig.takeTrace(), Lines{"retransmit packet " + n});
        ASSERT_EQ(rig.sent().size(), sends + 1);
    }
    EXPECT_TRUE(rig.events.timedOut.empty());

    rig.retransmitPasses(1);
    EXPECT_EQ(rig.takeTrace(), Lines{"packet " + n + " timed out"});
    EXPECT_EQ(rig.events.timedOut, std::vector<uint32_t>{seq});
    EXPECT_EQ(rig.session.pendingCount(), 0u);

    rig.retransmitPasses(5);
    EXPECT_EQ(rig.sent().size(), 3u);
    EXPECT_EQ(rig.events.timedOut.size(), 1u);
    // The same enciphered bytes each time.
    EXPECT_EQ(rig.sent()[1], rig.sent()[0]);
    EXPECT_EQ(rig.sent()[2], rig.sent()[0]);
}

TEST(UdpSession, AcknowledgementStopsRetransmission) {
    Rig rig;
    const uint16_t seq = rig.request();
    rig.retransmitPasses(1);
    rig.receive(rig.fromServer(CMD_ACK, 0, seq));
    rig.retransmitPasses(4);
    EXPECT_EQ(rig.sent().size(), 2u);
    EXPECT_TRUE(rig.events.timedOut.empty());
    EXPECT_EQ(rig.events.acked, std::vector<uint32_t>{seq});
}

TEST(UdpSession, ARequestIsPendingUntilAcknowledgedOrGivenUp) {
    Rig rig;
    const uint16_t acked = rig.request();
    const uint16_t lost = rig.request();
    EXPECT_TRUE(rig.session.isPending(acked));
    EXPECT_TRUE(rig.session.isPending(lost));
    EXPECT_FALSE(rig.session.isPending(static_cast<uint16_t>(lost + 1)));
    rig.receive(rig.fromServer(CMD_ACK, 0, acked));
    EXPECT_FALSE(rig.session.isPending(acked));
    EXPECT_TRUE(rig.session.isPending(lost));
    rig.retransmitPasses(UdpSession::kMaxSends);
    ASSERT_EQ(rig.events.timedOut, std::vector<uint32_t>{lost});
    EXPECT_FALSE(rig.session.isPending(lost));
}

TEST(UdpSession, AcknowledgementsAmongRetransmissionsLeaveTheRightRequestsPending) {
    // Requests acknowledged in the middle of the queue, behind one that is retransmitted or
    // given up, must neither be sent again nor stop the pass.
    Rig rig;
    const uint16_t first = rig.request();
    const uint16_t second = rig.request();
    const uint16_t third = rig.request();
    const uint16_t fourth = rig.request();
    rig.receive(rig.fromServer(CMD_ACK, 0, second));
    rig.receive(rig.fromServer(CMD_ACK, 0, fourth));
    rig.takeTrace();
    rig.retransmitPasses(1);
    EXPECT_EQ(rig.takeTrace(), (Lines{"retransmit packet " + std::to_string(first),
                                      "retransmit packet " + std::to_string(third)}));
    rig.retransmitPasses(1);
    // The third is acknowledged after its last retransmission: when the first is given up,
    // the slot right behind it is empty.
    rig.receive(rig.fromServer(CMD_ACK, 0, third));
    rig.retransmitPasses(1);
    EXPECT_EQ(rig.events.timedOut, std::vector<uint32_t>{first});
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    EXPECT_EQ(rig.events.acked, (std::vector<uint32_t>{second, fourth, third}));
}

TEST(UdpSession, EachRequestIsRetransmittedOnItsOwnSchedule) {
    Rig rig;
    const uint16_t first = rig.request();
    rig.clock.advance(5);
    const uint16_t second = rig.request();
    rig.takeTrace();
    rig.clock.advance(5);
    rig.session.checkRetransmit();
    EXPECT_EQ(rig.takeTrace(), Lines{"retransmit packet " + std::to_string(first)});
    rig.clock.advance(5);
    rig.session.checkRetransmit();
    EXPECT_EQ(rig.takeTrace(), Lines{"retransmit packet " + std::to_string(second)});
    // A late pass catches up with both, oldest first.
    rig.clock.advance(30);
    rig.session.checkRetransmit();
    EXPECT_EQ(rig.takeTrace(), (Lines{"retransmit packet " + std::to_string(first),
                                      "retransmit packet " + std::to_string(second)}));
}

TEST(UdpSession, WhatATimeOutMeansDependsOnTheCommand) {
    struct Case {
        uint16_t command;
        std::vector<bool> connected;
        bool reportedAsTimedOut;
        int missedKeepAlives;
    };
    const Case cases[] = {
        {CMD_LOGIN, {false}, false, 0},
        {CMD_KEEP_ALIVE, {}, false, 1}, // one lost keep-alive is not yet a lost link
        {CMD_SET_STATUS, {}, true, 0},
        {CMD_TAKE_CALL, {}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Rig rig;
        const uint16_t seq = rig.request(c.command);
        rig.retransmitPasses(3);
        EXPECT_EQ(rig.sent().size(), 3u);
        EXPECT_EQ(rig.events.connected, c.connected);
        EXPECT_EQ(rig.events.timedOut,
                  c.reportedAsTimedOut ? std::vector<uint32_t>{seq} : std::vector<uint32_t>{});
        EXPECT_EQ(rig.session.missedKeepAlives(), c.missedKeepAlives);
    }
}

TEST(UdpSession, KeepAliveCarriesAFreshRandomInt) {
    Rig rig;
    rig.session.setCipherKey("pw");
    rig.random.queued = {0x00ABCDEF, 17};
    rig.session.sendKeepAlive();
    ASSERT_EQ(rig.sent().size(), 1u);
    Bytes datagram = rig.sent()[0];
    EXPECT_EQ(commandOf(datagram), CMD_KEEP_ALIVE);
    PacketCipher cipher;
    cipher.setKeyFromPassword("pw");
    ASSERT_TRUE(decipherRequest(datagram.data(), datagram.size(), cipher));
    EXPECT_EQ(testing::bodyOf(datagram), (Bytes{0x00, 0xAB, 0xCD, 0xEF, 0, 0, 0, 0}));
    EXPECT_EQ(rig.session.pendingCount(), 1u);
}

TEST(UdpSession, TwoKeepAlivesLostInARowLoseTheLink) {
    Rig rig;
    rig.session.sendKeepAlive();
    rig.retransmitPasses(3);
    EXPECT_TRUE(rig.events.connected.empty());
    rig.session.sendKeepAlive();
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.events.connected, std::vector<bool>{false});
    EXPECT_EQ(rig.session.missedKeepAlives(), 2);
}

TEST(UdpSession, AnsweredKeepAliveForgivesAnEarlierLoss) {
    Rig rig;
    rig.events.refused = {CMD_KEEP_ALIVE};
    rig.events.onDispatch = [&rig](InPacket& packet) {
        if (packet.command() == CMD_KEEP_ALIVE) {
            rig.session.keepAliveAnswered();
        }
    };
    rig.session.sendKeepAlive();
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.session.missedKeepAlives(), 1);

    rig.sent().clear();
    rig.session.sendKeepAlive();
    const uint16_t answered = seqOf(rig.sent().at(0));
    rig.receive(rig.fromServer(CMD_KEEP_ALIVE, 300, answered));
    EXPECT_EQ(rig.session.missedKeepAlives(), 0);
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    EXPECT_EQ(rig.sent().size(), 1u); // the answer is not acknowledged

    rig.session.sendKeepAlive();
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.session.missedKeepAlives(), 1);
    EXPECT_TRUE(rig.events.connected.empty());
}

// The command layer may send or log in again from a time-out; the pass must survive the
// queue changing under it, and what was queued waits for its own expiry.
TEST(UdpSession, TimeOutHandlersMayQueueAndReset) {
    Rig rig;
    rig.events.onTimedOut = [&rig](uint32_t) { rig.request(CMD_GET_GROUPS); };
    rig.events.onLink = [&rig](bool up) {
        if (!up) {
            rig.session.reset();
            rig.request(CMD_LOGIN);
        }
    };
    const uint16_t status = rig.request(CMD_SET_STATUS);
    rig.request(CMD_LOGIN);
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.events.timedOut, std::vector<uint32_t>{status});
    EXPECT_EQ(rig.events.connected, std::vector<bool>{false});
    // The reset dropped the request queued from the status time-out.
    ASSERT_EQ(rig.session.pendingCount(), 1u);
    EXPECT_EQ(commandOf(rig.sent().back()), CMD_LOGIN);
    const std::size_t sends = rig.sent().size();
    rig.session.checkRetransmit();
    EXPECT_EQ(rig.sent().size(), sends);
    rig.retransmitPasses(1);
    EXPECT_EQ(rig.sent().size(), sends + 1);
}

TEST(UdpSession, LogoutIsSentOnceAndDropsEveryPendingRequest) {
    Rig rig;
    rig.request(CMD_SET_STATUS);
    rig.request(CMD_GET_GROUPS);
    rig.sent().clear();
    rig.session.logout();
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(commandOf(rig.sent()[0]), CMD_LOGOUT);
    EXPECT_EQ(rig.sent()[0].size(), kDatagramHeaderSize);
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    rig.takeTrace();
    rig.retransmitPasses(5);
    EXPECT_EQ(rig.sent().size(), 1u);
    EXPECT_TRUE(rig.takeTrace().empty());
    EXPECT_TRUE(rig.events.timedOut.empty());
    EXPECT_TRUE(rig.events.connected.empty());
}

TEST(UdpSession, ResetStartsAFreshSession) {
    Rig rig;
    const uint16_t oldRequest = rig.request();
    rig.session.sendKeepAlive();
    rig.retransmitPasses(3); // the request times out, one keep-alive is missed
    const uint16_t pending = rig.request();
    rig.receive(rig.fromServer(CMD_NOTICE_525, 7));
    ASSERT_EQ(rig.session.missedKeepAlives(), 1);

    rig.random.queued = {41, 499};
    rig.session.reset();
    EXPECT_EQ(rig.session.sessionId(), 42u);
    EXPECT_EQ(rig.session.missedKeepAlives(), 0);
    EXPECT_EQ(rig.session.pendingCount(), 0u);
    EXPECT_EQ(rig.session.newRequest(CMD_GET_GROUPS)->seq, 500);

    rig.takeTrace();
    rig.receive(rig.fromServer(CMD_ACK, 0, pending));
    EXPECT_EQ(rig.takeTrace(), Lines{ignored(pending)});
    rig.receive(rig.fromServer(CMD_NOTICE_525, 7)); // seen before the reset
    EXPECT_EQ(rig.events.dispatched.size(), 2u);
    const std::size_t sends = rig.sent().size();
    rig.retransmitPasses(3);
    EXPECT_EQ(rig.sent().size(), sends);
    EXPECT_EQ(rig.events.timedOut, std::vector<uint32_t>{oldRequest});
}

// 0 marks a pure acknowledgement, so the counter goes from 65535 to 1.
TEST(UdpSession, RequestSeqSkipsZeroWhenItWraps) {
    Rig rig({0, 0x3FFF});
    uint16_t seq = 0;
    for (uint32_t i = 16384; i <= 65535; ++i) {
        seq = rig.session.newRequest(CMD_GET_GROUPS)->seq;
        ASSERT_EQ(seq, i);
    }
    EXPECT_EQ(rig.session.newRequest(CMD_GET_GROUPS)->seq, 1);
    EXPECT_EQ(rig.session.newRequest(CMD_GET_GROUPS)->seq, 2);
}

// A console that has just asked for 10,000 profiles: each acknowledgement frees exactly its
// own request, in any order, and the rest keep their place in the queue.
TEST(UdpSession, AcknowledgementsMatchAmongTenThousandPendingRequests) {
    Rig rig;
    constexpr int kCount = 10000;
    std::vector<uint16_t> seqs;
    for (int i = 0; i < kCount; ++i) {
        seqs.push_back(rig.request(CMD_GET_USER_INFO));
    }
    ASSERT_EQ(rig.session.pendingCount(), static_cast<std::size_t>(kCount));
    setTraceSink([](const std::string&) {});

    rig.receive(rig.fromServer(CMD_ACK, 0, seqs[kCount / 2]));
    EXPECT_EQ(rig.events.acked, std::vector<uint32_t>{seqs[kCount / 2]});
    rig.sent().clear();
    rig.retransmitPasses(1);
    ASSERT_EQ(rig.sent().size(), static_cast<std::size_t>(kCount - 1));
    std::vector<uint16_t> expected = seqs;
    expected.erase(expected.begin() + kCount / 2);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(seqOf(rig.sent()[i]), expected[i]) << i;
    }

    // The rest, in a scattered order.
    rig.events.acked.clear();
    std::vector<uint32_t> order;
    for (int i = 0; i < kCount - 1; ++i) {
        order.push_back(expected[static_cast<std::size_t>((i * 7919) % (kCount - 1))]);
    }
    for (uint32_t seq : order) {
        rig.receive(rig.fromServer(CMD_ACK, 0, static_cast<uint16_t>(seq)));
    }
    EXPECT_EQ(rig.events.acked, order);
    EXPECT_EQ(rig.session.pendingCount(), 0u);
}

} // namespace
} // namespace talmor

// Direct sessions between two consoles, each on in-memory sockets, with a link that carries
// the bytes between them; raw bytes pushed into one side for what a hostile peer sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "protocol/commands.h"
#include "protocol/peerhandlers.h"
#include "protocol/sessionrecords.h"
#include "support/peerlink.h"

namespace talmor {
namespace {

using testing::Bytes;
using testing::MemorySockets;
using testing::PeerConsole;
using testing::PeerLink;
using Lines = std::vector<std::string>;

constexpr uint32_t kAddressA = 0x7F000001; // 127.0.0.1
constexpr uint32_t kAddressB = 0x7F000007; // 127.0.0.7
constexpr uint32_t kStranger = 0x7F000063; // 127.0.0.99

struct SeenPacket {
    uint16_t command = 0;
    uint32_t sender = 0;
    Bytes body;
};

// The packets a stream socket sent, in order.
std::vector<SeenPacket> packetsSent(const MemorySockets::Socket& socket) {
    PeerStreamReader reader;
    std::vector<SeenPacket> packets;
    for (const Bytes& piece : socket.sent) {
        std::size_t at = 0;
        while (at < piece.size()) {
            const std::size_t size = std::min(piece.size() - at, reader.freeSize());
            std::copy_n(piece.begin() + static_cast<std::ptrdiff_t>(at), size, reader.freeSpace());
            reader.added(size);
            at += size;
            reader.deframe([&](PeerInPacket& packet) {
                std::size_t count = 0;
                const uint8_t* body = packet.remaining(count);
                packets.push_back({packet.command(), packet.senderId(), Bytes(body, body + count)});
                return true;
            });
        }
    }
    return packets;
}

std::vector<uint16_t> commandsOf(const std::vector<SeenPacket>& packets) {
    std::vector<uint16_t> commands;
    for (const SeenPacket& packet : packets) {
        commands.push_back(packet.command);
    }
    return commands;
}

// A peer packet with its prefix, as another console would send it.
Bytes peerBytes(uint16_t command, uint32_t sender,
                const std::function<void(OutPacket&)>& body = nullptr) {
    PeerOutPacket packet(command, sender);
    if (body) {
        body(packet);
    }
    packet.setPrefix();
    return Bytes(packet.data(), packet.data() + packet.length());
}

Bytes hello(uint32_t sender, uint8_t flag = 1) {
    return peerBytes(kPeerHello, sender, [flag](OutPacket& out) { out.writeByte(flag); });
}

Bytes chat(uint32_t sender, uint32_t number, const std::string& text) {
    return peerBytes(kPeerChatMessage, sender, [&](OutPacket& out) {
        out.writeInt(number).writeByte(1).writeInt(1234).writeString(text);
    });
}

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "peer_" + name;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Console A (1001 at 127.0.0.1) and console B (7 at 127.0.0.7), each the other's contact.
class PeerSessionsTest : public ::testing::Test {
protected:
    PeerSessionsTest() : a(1001, kAddressA), b(7, kAddressB), link(a, b) {
        a.knows(b);
        b.knows(a);
        a.h.listener.events.clear();
        b.h.listener.events.clear();
    }

    // A connection from `from` accepted by A's listener of `kind`; returns its handle.
    int acceptAtA(const std::string& kind, uint32_t from) {
        PeerSession* listener = a.peers.findSession(kind, 0);
        EXPECT_TRUE(listener != nullptr && listener->isListener());
        a.h.sockets.acceptAddress = from;
        const int handle = a.h.sockets.nextHandle;
        listener->onIncoming(listener->socketHandle());
        return handle;
    }

    bool open(PeerConsole& console, int handle) {
        return console.h.sockets.find(handle) != nullptr;
    }

    PeerConsole a;
    PeerConsole b;
    PeerLink link;
};

TEST(PeerLogin, TheMessageListenerIsOnTheReportedAddressAndItsPortGoesIntoTheLogin) {
    testing::ClientHarness h;
    h.sockets.localAddressValue = kAddressA;
    PeerSessionManager peers(h.listener, h.sockets, h.clock, h.timers);
    h.listener.setPeerSessions(&peers);
    h.connect();
    const PeerSession* listener = peers.findSession(kMessageKind, 0);
    ASSERT_NE(listener, nullptr);
    ASSERT_TRUE(listener->isListener());
    EXPECT_EQ(h.sockets.find(listener->socketHandle())->listenAddress, kAddressA);
    const auto sent = h.takeSent();
    ASSERT_FALSE(sent.empty());
    testing::BodyReader reader(sent.front().body);
    const LoginRequest login = LoginRequest::read(reader.in());
    EXPECT_EQ(login.messagePort, h.sockets.localPort(listener->socketHandle()));
    EXPECT_NE(login.messagePort, 0);
}

TEST_F(PeerSessionsTest, AChatMessageGoesDirectAndIsAcknowledgedByItsNumber) {
    const uint32_t first = a.peers.sendChatMessage(1, 7, "hello", false);
    const uint32_t second = a.peers.sendChatMessage(1, 7, "again", false);
    EXPECT_GT(first, 65535u);
    EXPECT_EQ(second, first - 1);
    link.pump();
    const std::string time = std::to_string(a.h.clock.now());
    EXPECT_EQ(b.h.listener.events, (Lines{"OnMessage(1,1,1001," + time + ",\"hello\")",
                                          "OnMessage(1,1,1001," + time + ",\"again\")"}));
    // Acknowledged by the number and routed by the session's peer.
    EXPECT_EQ(a.h.listener.events, (Lines{"OnPeerMessageAcked(7," + std::to_string(first) + ")",
                                          "OnPeerMessageAcked(7," + std::to_string(second) + ")"}));
    EXPECT_TRUE(a.h.takeSentCommands().empty()); // nothing through the server

    // B answers over the session A opened.
    b.peers.sendChatMessage(1, 1001, "back", false);
    link.pump();
    EXPECT_TRUE(contains(a.h.listener.events, "OnMessage(1,1,7," + time + ",\"back\")"));
    EXPECT_EQ(a.peers.size(), 2u); // the listener and the one session
    EXPECT_EQ(b.peers.size(), 2u);
}

TEST_F(PeerSessionsTest, MessagesWrittenWhileConnectingLeaveInOrderRightAfterTheHello) {
    a.peers.sendChatMessage(1, 7, "one", false);
    a.peers.sendChatMessage(1, 7, "two", false);
    const int handle = a.newestStream();
    EXPECT_TRUE(a.h.sockets.find(handle)->sent.empty());
    link.pump();
    const auto packets = packetsSent(*a.h.sockets.find(handle));
    EXPECT_EQ(commandsOf(packets), (std::vector<uint16_t>{kPeerHello, 4096, 4096}));
    EXPECT_EQ(packets[0].body, Bytes{1}); // the initiator flag
    EXPECT_EQ(packets[0].sender, 1001u);
    EXPECT_EQ(b.h.listener.events.size(), 2u);
    EXPECT_EQ(b.peers.findSession(kMessageKind, 1001)->initiator(), 0);
}

TEST_F(PeerSessionsTest, WithoutADirectPathTheMessageGoesThroughTheServer) {
    struct Case {
        const char* why;
        uint32_t peer;
        bool viaServer;
        bool reachable;
    };
    for (const Case& c : {Case{"asked to", 7, true, true}, Case{"no address", 7, false, false},
                          Case{"not a contact", 99, false, true}}) {
        a.knows(b, c.reachable);
        a.h.takeSent();
        const uint32_t seq = a.peers.sendChatMessage(1, c.peer, "x", c.viaServer);
        const auto sent = a.h.takeSent();
        ASSERT_EQ(sent.size(), 1u) << c.why;
        EXPECT_EQ(sent[0].command, CMD_SEND_MESSAGE) << c.why;
        EXPECT_EQ(sent[0].seq, seq) << c.why;
        EXPECT_EQ(testing::u32At(sent[0].body, 1), c.peer) << c.why;
        EXPECT_EQ(a.newestStream(), kNoSocket) << c.why;
    }
}

TEST_F(PeerSessionsTest, AFailedConnectFallsBackUntilThePeerComesOnlineAgain) {
    a.h.listener.storePresence(7, kStatusOnline, kAddressB, 4000, b.messagePort() + 1, kAddressB);
    a.peers.sendChatMessage(1, 7, "lost", false);
    link.pump(); // the connect finds no listener
    EXPECT_EQ(a.peers.findSession(kMessageKind, 7)->state(), PeerState::NotConnected);
    a.h.takeSent();
    a.peers.sendChatMessage(1, 7, "via server", false);
    EXPECT_EQ(a.h.takeSentCommands(), std::vector<uint16_t>{CMD_SEND_MESSAGE});

    a.knows(b); // B announced again, at its real port
    EXPECT_EQ(a.peers.findSession(kMessageKind, 7), nullptr);
    a.peers.sendChatMessage(1, 7, "direct", false);
    link.pump();
    EXPECT_TRUE(a.h.takeSentCommands().empty());
    ASSERT_EQ(b.h.listener.events.size(), 1u);
    EXPECT_NE(b.h.listener.events[0].find("\"direct\""), std::string::npos);
}

TEST_F(PeerSessionsTest, AHelloIsTakenOnlyFromAContactAtItsKnownAddress) {
    a.h.listener.storePresence(8, kStatusOnline, 0x7F000008, 4000, 6000, 0x7F000008);
    a.peers.listenFor(kVoiceKind, 8); // a talk with 8 was accepted
    struct Case {
        const char* why;
        const char* kind;
        uint32_t sender;
        uint32_t from;
        bool kept;
    };
    for (const Case& c : {
             Case{"contact at its address", kMessageKind, 7, kAddressB, true},
             Case{"stranger's id", kMessageKind, 99, kAddressB, false},
             Case{"contact's id from elsewhere", kMessageKind, 7, kStranger, false},
             Case{"own id", kMessageKind, 1001, kAddressA, false},
             Case{"the accepted peer", kVoiceKind, 8, 0x7F000008, true},
             Case{"another contact on a talk", kVoiceKind, 7, kAddressB, false},
         }) {
        const int handle = acceptAtA(c.kind, c.from);
        a.h.sockets.deliver(handle, hello(c.sender));
        EXPECT_EQ(open(a, handle), c.kept) << c.why;
        if (c.kept) {
            EXPECT_EQ(a.peers.findSession(c.kind, c.sender)->state(), PeerState::Connected);
        }
    }
}

TEST_F(PeerSessionsTest, AConnectionIsClosedUnreadUnlessAnOnlineContactAnnouncedItsAddress) {
    constexpr uint32_t kAddress8 = 0x0A000008;
    constexpr uint32_t kAddress9 = 0x0A000009;
    a.h.listener.storePresence(8, kStatusOnline, kAddress8, 4000, 6000, kAddress8);
    a.h.listener.storePresence(9, kStatusOnline, kAddress9, 4000, 6000, kAddress9);
    a.h.listener.OnContactOffline(9);
    a.peers.listenFor(kVoiceKind, 8); // a talk with 8 was accepted
    a.peers.listenFor(kVideoKind, 0); // no talk accepted
    struct Case {
        const char* why;
        const char* kind;
        uint32_t from;
        bool kept;
    };
    for (const Case& c : {
             Case{"a contact's address", kMessageKind, kAddressB, true},
             Case{"a stranger's address", kMessageKind, kStranger, false},
             Case{"a contact gone offline", kMessageKind, kAddress9, false},
             Case{"no address at all", kMessageKind, 0, false},
             Case{"the accepted peer's address", kVoiceKind, kAddress8, true},
             Case{"another contact on a talk", kVoiceKind, kAddressB, false},
             Case{"a talk nobody was accepted for", kVideoKind, kAddressB, false},
         }) {
        const int handle = acceptAtA(c.kind, c.from);
        EXPECT_EQ(open(a, handle), c.kept) << c.why;
    }
}

TEST_F(PeerSessionsTest, SilentConnectionsAreCappedOldestFirstAndClosedAfterTenSeconds) {
    std::vector<int> handles;
    for (std::size_t i = 0; i < kHelloWaitLimit + 5; ++i) {
        handles.push_back(acceptAtA(kMessageKind, kAddressB));
    }
    EXPECT_EQ(a.peers.waitingForHello(), kHelloWaitLimit);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        EXPECT_EQ(open(a, handles[i]), i >= 5) << i;
    }
    EXPECT_TRUE(a.h.timers.isRunning(kHelloSweepTimer));

    // The contact connecting after the flood still gets in.
    const int contact = acceptAtA(kMessageKind, kAddressB);
    a.h.sockets.deliver(contact, hello(7));
    a.h.sockets.deliver(contact, chat(7, 70, "after the flood"));
    EXPECT_EQ(a.h.listener.events, Lines{"OnMessage(1,1,7,1234,\"after the flood\")"});

    a.h.clock.advance(kHelloWaitSeconds - 1);
    const int late = acceptAtA(kMessageKind, kAddressB);
    a.peers.onTimer(kHelloSweepTimer);
    EXPECT_EQ(a.peers.waitingForHello(), kHelloWaitLimit);
    a.h.clock.advance(1);
    a.peers.onTimer(kHelloSweepTimer);
    EXPECT_EQ(a.peers.waitingForHello(), 1u);
    EXPECT_TRUE(open(a, late));
    EXPECT_TRUE(open(a, contact)); // it said hello in time
    a.h.clock.advance(kHelloWaitSeconds);
    a.peers.onTimer(kHelloSweepTimer);
    EXPECT_FALSE(open(a, late));
    EXPECT_EQ(a.peers.waitingForHello(), 0u);
    EXPECT_FALSE(a.h.timers.isRunning(kHelloSweepTimer));
}

TEST_F(PeerSessionsTest, AContactGoneOfflineIsNoLongerTakenAtItsOldAddress) {
    const int before = acceptAtA(kMessageKind, kAddressB);
    a.h.listener.OnContactOffline(7);
    // Connected while 7 was online: its hello now is somebody else's.
    a.h.sockets.deliver(before, hello(7));
    EXPECT_FALSE(open(a, before));
    EXPECT_EQ(a.peers.findSession(kMessageKind, 7), nullptr);
    // Its peerAddress stays, but whoever holds that address now is not the contact.
    EXPECT_FALSE(open(a, acceptAtA(kMessageKind, kAddressB)));

    a.knows(b); // back online
    const int after = acceptAtA(kMessageKind, kAddressB);
    a.h.sockets.deliver(after, hello(7));
    EXPECT_TRUE(open(a, after));
}

TEST_F(PeerSessionsTest, TheHelloFlagSetsTheAcceptingSidesInitiator) {
    for (uint8_t flag : {0, 1, 2}) {
        a.peers.closeSessions(kMessageKind, 7);
        const int handle = acceptAtA(kMessageKind, kAddressB);
        a.h.sockets.deliver(handle, hello(7, flag));
        EXPECT_EQ(a.peers.findSession(kMessageKind, 7)->initiator(), flag == 0 ? 1 : 0);
    }
}

TEST_F(PeerSessionsTest, PacketsThatAreNotThePeersAreDropped) {
    const int handle = acceptAtA(kMessageKind, kAddressB);
    a.h.sockets.deliver(handle, chat(7, 50, "before hello"));
    a.h.sockets.deliver(handle, hello(7));
    a.h.sockets.deliver(handle, chat(8, 51, "claims to be 8"));
    a.h.sockets.deliver(handle, chat(7, 52, "fine"));
    EXPECT_EQ(a.h.listener.events, Lines{"OnMessage(1,1,7,1234,\"fine\")"});
    // Only the accepted message is answered, by its number.
    const auto packets = packetsSent(*a.h.sockets.find(handle));
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].command, kPeerChatAck);
    EXPECT_EQ(testing::u32At(packets[0].body, 0), 52u);
}

TEST_F(PeerSessionsTest, AnImpossibleLengthPrefixClosesTheSessionAndShortPacketsAreSkipped) {
    const int handle = acceptAtA(kMessageKind, kAddressB);
    Bytes stream = hello(7);
    const Bytes shortOne = {0x00, 0x0B, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    stream.insert(stream.end(), shortOne.begin(), shortOne.end());
    const Bytes message = chat(7, 60, "after the short one");
    stream.insert(stream.end(), message.begin(), message.end());
    a.h.sockets.deliver(handle, stream);
    EXPECT_EQ(a.h.listener.events.size(), 1u);
    ASSERT_TRUE(open(a, handle));

    a.h.sockets.deliver(handle, Bytes{0xFF, 0xFF, 0, 1});
    EXPECT_FALSE(open(a, handle));
    EXPECT_EQ(a.peers.findSession(kMessageKind, 7), nullptr);
}

TEST_F(PeerSessionsTest, ALongBurstIsReadWhollyOnOneNotification) {
    const int handle = acceptAtA(kMessageKind, kAddressB);
    Bytes stream = hello(7);
    for (uint32_t i = 0; i < 400; ++i) {
        const Bytes message = chat(7, 1000 + i, std::string(30, 'm'));
        stream.insert(stream.end(), message.begin(), message.end());
    }
    ASSERT_GT(stream.size(), 3u * kPacketCapacity);
    a.h.sockets.deliver(handle, stream);
    EXPECT_EQ(a.h.listener.events.size(), 400u);
}

TEST_F(PeerSessionsTest, APeerThatClosesRemovesItsSessionAfterItsLastBytes) {
    const int handle = acceptAtA(kMessageKind, kAddressB);
    a.h.sockets.find(handle)->peerClosed = true;
    Bytes stream = hello(7);
    const Bytes message = chat(7, 70, "last words");
    stream.insert(stream.end(), message.begin(), message.end());
    a.h.sockets.deliver(handle, stream);
    EXPECT_EQ(a.h.listener.events.size(), 1u);
    EXPECT_FALSE(open(a, handle));
    EXPECT_EQ(a.peers.size(), 1u); // the listener
}

TEST_F(PeerSessionsTest, AFullPendingAreaRefusesPacketsInsteadOfGrowing) {
    a.peers.sendChatMessage(1, 7, "open", false);
    link.pump();
    const int handle = a.newestStream();
    MemorySockets::Socket& socket = *a.h.sockets.find(handle);
    PeerSession& session = *a.peers.findSession(kMessageKind, 7);
    const std::size_t sentBefore = socket.sent.size();

    socket.takeLimit = 0; // the system takes nothing for now
    int accepted = 0;
    for (int i = 0; i < 10; ++i) {
        PeerOutPacket packet = session.newPacket(kPeerData);
        const Bytes filler(1000, static_cast<uint8_t>(i));
        packet.writeBytes(filler.data(), filler.size());
        accepted += session.sendPacket(packet) ? 1 : 0;
    }
    EXPECT_EQ(accepted, 4); // 4 x 1014 bytes fit the 4096-byte area, the fifth does not
    EXPECT_TRUE(socket.writeEnabled);
    EXPECT_EQ(socket.sent.size(), sentBefore);

    // A socket whose own backlog is full is not handed more either.
    socket.takeLimit = SIZE_MAX;
    socket.unsent = kPeerSocketBacklog;
    session.onWritable();
    EXPECT_EQ(socket.sent.size(), sentBefore);

    socket.unsent = 0;
    session.onWritable();
    const auto packets = packetsSent(socket);
    ASSERT_EQ(packets.size(), 4u + 2u); // hello and "open" before
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(packets[2 + i].body.front(), i); // in the order they were sent
    }
}

TEST_F(PeerSessionsTest, QueuedMessagesCanBeDroppedBeforeTheConnectionIsUp) {
    a.peers.sendChatMessage(1, 7, "never", false);
    a.peers.dropMessageQueue(7);
    link.pump();
    EXPECT_TRUE(b.h.listener.events.empty());
    a.peers.sendChatMessage(1, 7, "later", false);
    link.pump();
    EXPECT_EQ(b.h.listener.events.size(), 1u);
}

TEST_F(PeerSessionsTest, FilesCrossASendFileSessionByteForByteInChunksOf2048) {
    struct Case {
        std::size_t size;
        std::size_t chunks;
    };
    for (const Case& c : {Case{0, 0}, Case{2048, 1}, Case{2049, 2}, Case{10000, 5}}) {
        Bytes content(c.size);
        for (std::size_t i = 0; i < c.size; ++i) {
            content[i] = static_cast<uint8_t>(i * 7 + c.size);
        }
        const std::string from = tempPath("from_" + std::to_string(c.size));
        const std::string to = tempPath("to_" + std::to_string(c.size));
        writeFile(from, content);
        std::remove(to.c_str());
        b.h.listener.transferPath = to;
        b.h.listener.transferSize = static_cast<uint32_t>(c.size);
        a.h.listener.events.clear();
        b.h.listener.events.clear();

        const uint16_t port = b.peers.listenFor(kFileKind, 1001);
        ASSERT_TRUE(a.peers.startFileTransfer(7, port, static_cast<uint32_t>(c.size), from));
        const int handle = a.newestStream();
        link.pump();

        EXPECT_EQ(readFile(to), content) << c.size;
        const std::string total = std::to_string(c.size);
        EXPECT_EQ(a.h.listener.events.back(), "OnFileTransferDone(7)") << c.size;
        EXPECT_EQ(b.h.listener.events.back(), "OnFileTransferDone(1001)") << c.size;
        EXPECT_EQ(
            std::count_if(b.h.listener.events.begin(), b.h.listener.events.end(),
                          [](const std::string& e) { return e.rfind("OnFileProgress", 0) == 0; }),
            static_cast<long>(c.chunks));
        if (c.chunks > 0) {
            EXPECT_TRUE(
                contains(a.h.listener.events, "OnFileProgress(7," + total + "," + total + ")"));
        }
        EXPECT_FALSE(open(a, handle)) << c.size;
        EXPECT_EQ(a.peers.findSession(kFileKind, 7), nullptr);
        EXPECT_EQ(b.peers.findSession(kFileKind, 1001), nullptr);
    }
}

TEST_F(PeerSessionsTest, AFileThatCannotBeReadOrWrittenEndsTheTransferWithItsReason) {
    struct Case {
        const char* what;
        uint32_t announced;  // the sender's size
        uint32_t expected;   // the receiver's size
        std::size_t written; // bytes in the sender's file
        bool receiverCanWrite;
        std::string failure; // the event, on the side that failed
        bool atReceiver;
    };
    const std::string nowhere = tempPath("no_such_folder/f");
    for (const Case& c : {
             Case{"no folder to write in", 100, 100, 100, false, "OnFileFailed(1001,2)", true},
             Case{"file shorter than announced", 5000, 5000, 3000, true, "OnFileFailed(7,0)",
                  false},
             Case{"more bytes than announced", 5000, 3000, 5000, true, "OnFileFailed(1001,27)",
                  true},
         }) {
        const std::string from = tempPath("fail_from");
        const std::string to = tempPath("fail_to");
        writeFile(from, Bytes(c.written, 3));
        std::remove(to.c_str());
        b.h.listener.transferPath = c.receiverCanWrite ? to : nowhere;
        b.h.listener.transferSize = c.expected;
        a.h.listener.events.clear();
        b.h.listener.events.clear();

        ASSERT_TRUE(
            a.peers.startFileTransfer(7, b.peers.listenFor(kFileKind, 1001), c.announced, from));
        link.pump();

        const Lines& failed = c.atReceiver ? b.h.listener.events : a.h.listener.events;
        EXPECT_TRUE(contains(failed, c.failure)) << c.what;
        EXPECT_FALSE(contains(a.h.listener.events, "OnFileTransferDone(7)")) << c.what;
        EXPECT_FALSE(contains(b.h.listener.events, "OnFileTransferDone(1001)")) << c.what;
        EXPECT_EQ(a.peers.findSession(kFileKind, 7), nullptr) << c.what;
        EXPECT_EQ(b.peers.findSession(kFileKind, 1001), nullptr) << c.what;
        // Never more than announced reaches the disk.
        EXPECT_LE(readFile(to).size(), c.expected) << c.what;
    }
}

TEST_F(PeerSessionsTest, ListeningForFilesAgainEndsTheTransferRunning) {
    const std::string from = tempPath("running");
    writeFile(from, Bytes(5000, 1));
    a.peers.startFileTransfer(7, b.peers.listenFor(kFileKind, 1001), 5000, from);
    ASSERT_NE(a.peers.findSession(kFileKind, 7), nullptr);
    a.peers.listenFor(kFileKind, 8);
    EXPECT_EQ(a.peers.findSession(kFileKind, 7), nullptr);
    EXPECT_TRUE(a.peers.findSession(kFileKind, 0)->isListener());
}

TEST_F(PeerSessionsTest, TalksRaiseReadyAndStartedOnTheRightSidesThenCarryData) {
    struct Case {
        const char* kind;
        const char* name;
    };
    for (const Case& c : {Case{kVoiceKind, "Voice"}, Case{kVideoKind, "Video"}}) {
        const bool voice = std::string(c.kind) == kVoiceKind;
        a.h.listener.events.clear();
        b.h.listener.events.clear();
        const uint16_t port = b.peers.listenFor(c.kind, 1001);
        ASSERT_TRUE(voice ? a.peers.startVoice(7, port) : a.peers.startVideo(7, port));
        const uint8_t data[] = {1, 2, 3};
        EXPECT_FALSE(voice ? a.peers.sendVoiceData(7, data, 3) : a.peers.sendVideoData(7, data, 3));
        link.pump();
        EXPECT_EQ(b.h.listener.events,
                  Lines{std::string("On") + c.name + "ChannelReady(1001,false)"});
        EXPECT_EQ(a.h.listener.events,
                  Lines{std::string("On") + c.name + "ChannelStarted(7,false)"});

        EXPECT_TRUE(voice ? a.peers.sendVoiceData(7, data, 3) : a.peers.sendVideoData(7, data, 3));
        EXPECT_TRUE(voice ? b.peers.sendVoiceData(1001, data, 2)
                          : b.peers.sendVideoData(1001, data, 2));
        link.pump();
        EXPECT_EQ(b.h.listener.events.back(),
                  std::string("On") + c.name + "Data(1001,\"\x01\x02\x03\",3)");
        EXPECT_EQ(a.h.listener.events.back(),
                  std::string("On") + c.name + "Data(7,\"\x01\x02\",2)");
    }
}

TEST_F(PeerSessionsTest, VideoBytesNotYetOnTheNetworkAreCounted) {
    EXPECT_EQ(a.peers.unsentVideoBytes(7), 0u);
    ASSERT_TRUE(a.peers.startVideo(7, b.peers.listenFor(kVideoKind, 1001)));
    link.pump();
    MemorySockets::Socket& socket = *a.h.sockets.find(a.newestStream());
    EXPECT_EQ(a.peers.unsentVideoBytes(7), 0u);
    socket.unsent = 300; // the system still holds bytes of earlier packets
    EXPECT_EQ(a.peers.unsentVideoBytes(7), 300u);
    socket.unsent = 0;
    socket.takeLimit = 10; // the system takes part of the next packet
    const Bytes picture(100, 5);
    ASSERT_TRUE(a.peers.sendVideoData(7, picture.data(), picture.size()));
    EXPECT_GT(a.peers.unsentVideoBytes(7), 100u - 10u);
    EXPECT_EQ(a.peers.unsentVideoBytes(8), 0u) << "no session with that peer";
}

TEST_F(PeerSessionsTest, MediaDataOnATalkThatNeverStartedIsDropped) {
    a.peers.listenFor(kVoiceKind, 7);
    const int handle = acceptAtA(kVoiceKind, kAddressB);
    a.h.sockets.deliver(handle, hello(7));
    a.h.sockets.deliver(handle, peerBytes(kPeerData, 7, [](OutPacket& out) { out.writeByte(9); }));
    EXPECT_TRUE(a.h.listener.events.empty());
    a.h.sockets.deliver(handle, peerBytes(kPeerStart, 7));
    a.h.sockets.deliver(handle, peerBytes(kPeerData, 7, [](OutPacket& out) { out.writeByte(9); }));
    EXPECT_EQ(a.h.listener.events,
              (Lines{"OnVoiceChannelReady(7,false)", "OnVoiceData(7,\"\t\",1)"}));
}

TEST_F(PeerSessionsTest, ClosingByContactStatusAndOfflineKeepsOrDropsTheListener) {
    a.peers.sendChatMessage(1, 7, "x", false);
    link.pump();
    ASSERT_EQ(a.peers.size(), 2u);
    a.peers.closeContactSessions(false); // going invisible
    EXPECT_EQ(a.peers.size(), 1u);
    EXPECT_NE(a.peers.findSession(kMessageKind, 0), nullptr);

    a.peers.sendChatMessage(1, 7, "y", false);
    link.pump();
    a.h.listener.OnContactOffline(7);
    link.pump();
    EXPECT_EQ(a.peers.findSession(kMessageKind, 7), nullptr);
    EXPECT_EQ(b.peers.findSession(kMessageKind, 1001), nullptr); // B saw the close

    a.h.client().goOffline();
    EXPECT_EQ(a.peers.size(), 0u);
}

TEST_F(PeerSessionsTest, AConnectOnlyGoesToThePeersKnownAddress) {
    struct Case {
        uint32_t address;
        PeerState state;
    };
    for (const Case& c : {Case{0, PeerState::Connecting}, Case{kAddressB, PeerState::Connecting},
                          Case{kStranger, PeerState::NotConnected}}) {
        PeerSession* session =
            a.peers.ConnectPeer(makePeerHandler(kMessageKind), 7, c.address, b.messagePort());
        EXPECT_EQ(session->state(), c.state) << c.address;
        a.peers.closeSessions("", 7);
    }
}

} // namespace
} // namespace talmor

// Two consoles' protocol cores and a real quorvane-server on loopback: chat directly between
// the consoles and through the server when the direct path is absent or fails, messages kept
// for an operator who is offline, files, voice and video over direct sessions, and a forged
// hello from a stranger's address.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QTcpSocket>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "protocol/peerhandlers.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor::e2e {
namespace {

constexpr int kWaitMs = 20000;
constexpr uint16_t kRequestSendMessage = 15;
constexpr uint8_t kThroughServer = 2; // MessageRecord flag

using Bytes = std::vector<uint8_t>;

class PeerEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        control = std::make_unique<ControlClient>(server.httpPort());
    }

    std::unique_ptr<TestConsole> ready(uint32_t operatorId) {
        auto console = std::make_unique<TestConsole>();
        console->connect(operatorId, "talmor" + std::to_string(operatorId), server.udpPort());
        EXPECT_TRUE(waitFor([&] { return console->ready(); }, kWaitMs)) << operatorId;
        return console;
    }

    // 1024 and 1025, each having seen the other online.
    void bothReady() {
        a = ready(1024);
        b = ready(1025);
        ASSERT_TRUE(waitFor([&] { return a->onlineContacts.count(1025) != 0; }, kWaitMs));
        ASSERT_TRUE(waitFor([&] { return b->onlineContacts.count(1024) != 0; }, kWaitMs));
    }

    void setAddress(uint32_t operatorId, const char* mode) {
        ASSERT_TRUE(
            control->post(QString("/api/address?operator=%1&mode=%2").arg(operatorId).arg(mode)));
    }

    std::multiset<int> requestsOf(uint32_t operatorId) {
        std::multiset<int> commands;
        if (auto log = control->get(QString("/api/log?operator=%1").arg(operatorId))) {
            for (const QJsonValue& entry : log->array()) {
                commands.insert(entry.toObject().value("command").toInt());
            }
        }
        return commands;
    }

    // The text of the messages `console` received, with whether each came through the server.
    static std::vector<std::pair<std::string, bool>> received(const TestConsole& console) {
        std::vector<std::pair<std::string, bool>> texts;
        for (const MessageRecord& message : console.messages) {
            texts.emplace_back(message.text, (message.flags & kThroughServer) != 0);
        }
        return texts;
    }

    ServerProcess server;
    std::unique_ptr<ControlClient> control;
    std::unique_ptr<TestConsole> a;
    std::unique_ptr<TestConsole> b;
};

using Received = std::vector<std::pair<std::string, bool>>;

TEST_F(PeerEndToEnd, AChatMessageGoesDirectAndIsAcknowledgedByItsNumber) {
    bothReady();
    const uint32_t number = a->peers().sendChatMessage(1, 1025, "direct hello", false);
    EXPECT_GT(number, 65535u);
    ASSERT_TRUE(waitFor([&] { return a->acked.count(number) != 0; }, kWaitMs));
    EXPECT_EQ(received(*b), (Received{{"direct hello", false}}));
    EXPECT_EQ(b->messages[0].peerId, 1024u);
    EXPECT_EQ(requestsOf(1024).count(kRequestSendMessage), 0u);
}

TEST_F(PeerEndToEnd, AnOperatorAnnouncedWithoutAddressIsReachedThroughTheServer) {
    setAddress(1025, "none");
    bothReady();
    const uint32_t seq = a->peers().sendChatMessage(1, 1025, "relayed", false);
    EXPECT_LE(seq, 65535u);
    ASSERT_TRUE(waitFor([&] { return !b->messages.empty(); }, kWaitMs));
    EXPECT_EQ(received(*b), (Received{{"relayed", true}}));
    EXPECT_EQ(requestsOf(1024).count(kRequestSendMessage), 1u);
    EXPECT_TRUE(waitFor([&] { return a->acked.count(seq) != 0; }, kWaitMs));
}

TEST_F(PeerEndToEnd, AFailedDirectAttemptFallsBackToTheServer) {
    setAddress(1025, "unreachable");
    bothReady();
    const uint32_t number = a->peers().sendChatMessage(1, 1025, "will fall back", false);
    EXPECT_GT(number, 65535u); // tried directly first
    // What the chat window does when 5 seconds pass without the acknowledgement.
    EXPECT_FALSE(waitFor([&] { return a->acked.count(number) != 0; }, 5000));
    a->peers().dropMessageQueue(1025);
    a->peers().sendChatMessage(1, 1025, "will fall back", true);
    ASSERT_TRUE(waitFor([&] { return !b->messages.empty(); }, kWaitMs));
    EXPECT_EQ(received(*b), (Received{{"will fall back", true}}));
    EXPECT_EQ(requestsOf(1024).count(kRequestSendMessage), 1u);
}

TEST_F(PeerEndToEnd, AMessageToAnOfflineOperatorArrivesWhenItLogsIn) {
    a = ready(1024);
    a->peers().sendChatMessage(1, 1025, "while you were away", false);
    a->peers().sendChatMessage(1, 1025, "and another", false);
    ASSERT_TRUE(waitFor([&] { return requestsOf(1024).count(kRequestSendMessage) == 2; }, kWaitMs));
    b = ready(1025);
    ASSERT_TRUE(waitFor([&] { return b->messages.size() == 2; }, kWaitMs));
    EXPECT_EQ(received(*b), (Received{{"while you were away", true}, {"and another", true}}));
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PeerEndToEnd, FilesCrossASendFileSessionByteForByte) {
    bothReady();
    for (std::size_t size :
         {std::size_t{0}, std::size_t{2048}, std::size_t{2049}, std::size_t{1} << 20}) {
        Bytes content(size);
        for (std::size_t i = 0; i < size; ++i) {
            content[i] = static_cast<uint8_t>((i * 31) ^ (i >> 9));
        }
        const std::string from = ::testing::TempDir() + "e2e_send_" + std::to_string(size);
        const std::string to = ::testing::TempDir() + "e2e_recv_" + std::to_string(size);
        std::ofstream(from, std::ios::binary)
            .write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(size));
        std::remove(to.c_str());
        a->peerEvents.clear();
        b->peerEvents.clear();
        b->incomingFiles[1024] = {to, static_cast<uint32_t>(size)};

        const uint16_t port = b->peers().listenFor(kFileKind, 1024);
        ASSERT_NE(port, 0);
        ASSERT_TRUE(a->peers().startFileTransfer(1025, port, static_cast<uint32_t>(size), from));
        ASSERT_TRUE(
            waitFor([&] { return !a->peerEvents.empty() && !b->peerEvents.empty(); }, kWaitMs))
            << size;
        EXPECT_EQ(a->peerEvents, std::vector<std::string>{"FileTransferDone(1025,false)"});
        EXPECT_EQ(b->peerEvents, std::vector<std::string>{"FileTransferDone(1024,false)"});
        EXPECT_EQ(readFile(to), content) << size;
    }
}

TEST_F(PeerEndToEnd, VoiceAndVideoSessionsRaiseReadyAndStartedOnTheRightSides) {
    bothReady();
    const Bytes frame = {0x10, 0x20, 0x30, 0x40};
    for (bool voice : {true, false}) {
        a->peerEvents.clear();
        b->peerEvents.clear();
        const char* kind = voice ? kVoiceKind : kVideoKind;
        const std::string name = voice ? "Voice" : "Video";
        const uint16_t port = b->peers().listenFor(kind, 1024);
        ASSERT_TRUE(voice ? a->peers().startVoice(1025, port) : a->peers().startVideo(1025, port));
        ASSERT_TRUE(
            waitFor([&] { return !a->peerEvents.empty() && !b->peerEvents.empty(); }, kWaitMs));
        EXPECT_EQ(b->peerEvents, std::vector<std::string>{name + "ChannelReady(1024,false)"});
        EXPECT_EQ(a->peerEvents, std::vector<std::string>{name + "ChannelStarted(1025,false)"});

        ASSERT_TRUE(voice ? b->peers().sendVoiceData(1024, frame.data(), frame.size())
                          : b->peers().sendVideoData(1024, frame.data(), frame.size()));
        auto& data = voice ? a->voiceData[1025] : a->videoData[1025];
        ASSERT_TRUE(waitFor([&] { return data.size() == frame.size(); }, kWaitMs));
        EXPECT_EQ(data, frame);
    }
}

// A raw stream from `from` to B's message port, saying it is 1024 and sending a message.
bool forgedMessageArrives(TestConsole& b, const QString& from, bool& closedByB) {
    QTcpSocket socket;
    if (!socket.bind(QHostAddress(from), 0)) {
        ADD_FAILURE() << "cannot bind " << from.toStdString();
        return false;
    }
    socket.connectToHost(QHostAddress::LocalHost, b.messagePort());
    if (!waitFor(
            [&] {
                return socket.state() == QAbstractSocket::ConnectedState ||
                       socket.state() == QAbstractSocket::UnconnectedState;
            },
            kWaitMs) ||
        socket.state() != QAbstractSocket::ConnectedState) {
        // Turned away at once, before a byte was sent.
        closedByB = socket.error() == QAbstractSocket::RemoteHostClosedError;
        return false;
    }
    PeerOutPacket hello(kPeerHello, 1024);
    hello.writeByte(1);
    hello.setPrefix();
    PeerOutPacket message(kPeerChatMessage, 1024);
    message.writeInt(77).writeByte(1).writeInt(0).writeString("forged?");
    message.setPrefix();
    socket.write(reinterpret_cast<const char*>(hello.data()), static_cast<qint64>(hello.length()));
    socket.write(reinterpret_cast<const char*>(message.data()),
                 static_cast<qint64>(message.length()));
    const std::size_t before = b.messages.size();
    const bool arrived = waitFor([&] { return b.messages.size() > before; }, 2000);
    closedByB = waitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 2000);
    return arrived;
}

TEST_F(PeerEndToEnd, AHelloFromAStrangersAddressClaimingAContactIsDropped) {
    bothReady();
    bool closed = false;
    EXPECT_FALSE(forgedMessageArrives(*b, "127.0.0.2", closed));
    EXPECT_TRUE(closed);
    // The same bytes from 1024's known address are taken: the address made the difference.
    EXPECT_TRUE(forgedMessageArrives(*b, "127.0.0.1", closed));
    EXPECT_FALSE(closed);
}

} // namespace
} // namespace talmor::e2e

// Direct sessions between two consoles' protocol cores on loopback (both logged in to a real
// quorvane-server), each beside a bare TCP exchange of the same bytes made in the same run and
// on the same event loop:
//   - chat round trip: a message (4096) out and its acknowledgement (4097) back, one at a time,
//     beside a bare ping-pong of packets of the same sizes (goal: within 1.5 times);
//   - "SendFile" of a 64 MiB file, beside a bare stop-and-wait loop that reads, sends, writes
//     and acknowledges 2048-byte chunks the same way (goal: at least 0.8 times its speed).
//
//   bench_peer [--runs N] [--round-trips N] [--megabytes M]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "protocol/peerhandlers.h"
#include "protocol/trace.h"
#include "support/benchtools.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace {

using namespace talmor;
using namespace talmor::e2e;

constexpr int kTimeoutMs = 300000;
const std::string kChatText(40, 'c');

// The bytes of a peer packet of `command` with a body of `bodySize` bytes, prefix included.
QByteArray peerPacketOfSize(uint16_t command, std::size_t bodySize) {
    PeerOutPacket packet(command, 1024);
    const std::vector<uint8_t> body(bodySize, 0x5A);
    packet.writeBytes(body.data(), body.size());
    packet.setPrefix();
    return QByteArray(reinterpret_cast<const char*>(packet.data()),
                      static_cast<qsizetype>(packet.length()));
}

// A loopback TCP connection between two plain sockets of this process.
struct BarePair {
    BarePair() {
        server.listen(QHostAddress::LocalHost, 0);
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        waitFor([&] { return server.hasPendingConnections(); }, kTimeoutMs);
        accepted = server.nextPendingConnection();
        waitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }, kTimeoutMs);
        client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        accepted->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
    QTcpServer server;
    QTcpSocket client;
    QTcpSocket* accepted = nullptr;
};

// Reads what waits on `socket` and counts whole packets of `size` bytes.
int takePackets(QTcpSocket& socket, qint64 size, qint64& buffered) {
    buffered += socket.readAll().size();
    const int whole = static_cast<int>(buffered / size);
    buffered %= size;
    return whole;
}

qint64 bareRoundTrips(int count) {
    // The same sizes as the console's: the message body and the acknowledgement's number.
    const QByteArray ping =
        peerPacketOfSize(kPeerChatMessage, 4 + 1 + 4 + 2 + kChatText.size() + 1);
    const QByteArray pong = peerPacketOfSize(kPeerChatAck, 4);
    BarePair pair;
    qint64 atServer = 0;
    qint64 atClient = 0;
    int answered = 0;
    QObject::connect(pair.accepted, &QIODevice::readyRead, [&] {
        for (int n = takePackets(*pair.accepted, ping.size(), atServer); n > 0; --n) {
            pair.accepted->write(pong);
        }
    });
    QObject::connect(&pair.client, &QIODevice::readyRead,
                     [&] { answered += takePackets(pair.client, pong.size(), atClient); });
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        pair.client.write(ping);
        if (!waitFor([&] { return answered > i; }, kTimeoutMs)) {
            return -1;
        }
    }
    return timer.nsecsElapsed();
}

qint64 consoleRoundTrips(TestConsole& a, int count) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const uint32_t number = a.peers().sendChatMessage(1, 1025, kChatText, false);
        if (!waitFor([&] { return a.acked.count(number) != 0; }, kTimeoutMs)) {
            return -1;
        }
    }
    return timer.nsecsElapsed();
}

qint64 bareFileTransfer(const std::string& from, const std::string& to, qint64 size) {
    constexpr qint64 kChunk = 2048;
    BarePair pair;
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    const QByteArray ready = peerPacketOfSize(kPeerAnswer, 0);
    const QByteArray header = peerPacketOfSize(kPeerData, 0);
    qint64 sent = 0;
    qint64 received = 0;
    QByteArray incoming;
    qint64 atSender = 0;
    // The sender answers each "ready" with the next chunk read from its file.
    auto sendChunk = [&] {
        char chunk[kChunk];
        const auto count = static_cast<qint64>(
            std::fread(chunk, 1, static_cast<std::size_t>(std::min(kChunk, size - sent)), in));
        QByteArray packet = header;
        const auto length = static_cast<uint16_t>(header.size() - 2 + count);
        packet[0] = static_cast<char>(length >> 8);
        packet[1] = static_cast<char>(length);
        packet.append(chunk, static_cast<qsizetype>(count));
        pair.client.write(packet);
        sent += count;
    };
    QObject::connect(&pair.client, &QIODevice::readyRead, [&] {
        for (int n = takePackets(pair.client, ready.size(), atSender); n > 0 && sent < size; --n) {
            sendChunk();
        }
    });
    // The receiver writes each whole chunk and asks for the next.
    QObject::connect(pair.accepted, &QIODevice::readyRead, [&] {
        incoming += pair.accepted->readAll();
        while (incoming.size() >= 2) {
            const qint64 length =
                (static_cast<uint8_t>(incoming[0]) << 8) | static_cast<uint8_t>(incoming[1]);
            if (incoming.size() < 2 + length) {
                break;
            }
            const qint64 data = length - (header.size() - 2);
            std::fwrite(incoming.constData() + header.size(), 1, static_cast<std::size_t>(data),
                        out);
            received += data;
            incoming.remove(0, static_cast<qsizetype>(2 + length));
            if (received < size) {
                pair.accepted->write(ready);
            }
        }
    });
    QElapsedTimer timer;
    timer.start();
    pair.accepted->write(ready);
    const bool done = waitFor([&] { return received >= size; }, kTimeoutMs);
    std::fclose(in);
    std::fclose(out);
    return done ? timer.nsecsElapsed() : -1;
}

qint64 consoleFileTransfer(TestConsole& a, TestConsole& b, const std::string& from,
                           const std::string& to, uint32_t size) {
    a.peerEvents.clear();
    b.peerEvents.clear();
    b.incomingFiles[1024] = {to, size};
    QElapsedTimer timer;
    timer.start();
    const uint16_t port = b.peers().listenFor(kFileKind, 1024);
    if (!a.peers().startFileTransfer(1025, port, size, from)) {
        return -1;
    }
    const bool done =
        waitFor([&] { return !a.peerEvents.empty() && !b.peerEvents.empty(); }, kTimeoutMs);
    return done && b.peerEvents.front().rfind("FileTransferDone", 0) == 0 ? timer.nsecsElapsed()
                                                                          : -1;
}

bool sameFiles(const std::string& first, const std::string& second) {
    QFile a(QString::fromStdString(first));
    QFile b(QString::fromStdString(second));
    return a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int runs = intOption(args, "--runs", 3);
    const int roundTrips = intOption(args, "--round-trips", 2000);
    const int megabytes = intOption(args, "--megabytes", 64);
    setTraceSink([](const std::string&) {});

    ServerProcess server;
    if (!startServer(server, TALMOR_DEMO_SEED)) {
        return 1;
    }
    TestConsole a;
    TestConsole b;
    a.connect(1024, "talmor1024", server.udpPort());
    b.connect(1025, "talmor1025", server.udpPort());
    if (!waitFor([&] { return a.ready() && b.ready() && a.onlineContacts.count(1025) != 0; },
                 kTimeoutMs)) {
        std::fprintf(stderr, "the consoles did not get ready\n");
        return 1;
    }

    QTemporaryDir dir;
    const std::string from = dir.filePath("source.bin").toStdString();
    const std::string toConsole = dir.filePath("console.bin").toStdString();
    const std::string toBare = dir.filePath("bare.bin").toStdString();
    const qint64 size = qint64{megabytes} << 20;
    {
        QFile file(QString::fromStdString(from));
        file.open(QIODevice::WriteOnly);
        QByteArray block(1 << 20, 0);
        for (int m = 0; m < megabytes; ++m) {
            for (int i = 0; i < block.size(); ++i) {
                block[i] = static_cast<char>((i * 13 + m) & 0xFF);
            }
            file.write(block);
        }
    }

    std::vector<qint64> consoleChat, bareChat, consoleFile, bareFile;
    for (int run = 0; run < runs; ++run) {
        consoleChat.push_back(consoleRoundTrips(a, roundTrips));
        bareChat.push_back(bareRoundTrips(roundTrips));
        consoleFile.push_back(
            consoleFileTransfer(a, b, from, toConsole, static_cast<uint32_t>(size)));
        bareFile.push_back(bareFileTransfer(from, toBare, size));
    }
    const qint64 chat = bestRun(consoleChat);
    const qint64 bareChatBest = bestRun(bareChat);
    const qint64 file = bestRun(consoleFile);
    const qint64 bareFileBest = bestRun(bareFile);
    if (chat < 0 || bareChatBest < 0 || file < 0 || bareFileBest < 0 ||
        !sameFiles(from, toConsole) || !sameFiles(from, toBare)) {
        std::fprintf(stderr, "a run did not complete\n");
        return 1;
    }
    const double chatUs = static_cast<double>(chat) / roundTrips / 1000.0;
    const double bareChatUs = static_cast<double>(bareChatBest) / roundTrips / 1000.0;
    const double fileMBs =
        static_cast<double>(size) / (1 << 20) / (static_cast<double>(file) / 1e9);
    const double bareFileMBs =
        static_cast<double>(size) / (1 << 20) / (static_cast<double>(bareFileBest) / 1e9);
    std::printf("direct chat round trip (4096 out, 4097 back): %8.1f us  (best of %d x %d)\n",
                chatUs, runs, roundTrips);
    std::printf("bare TCP ping-pong of the same sizes:         %8.1f us  console/bare %.2f "
                "(goal: at most 1.5)\n",
                bareChatUs, chatUs / bareChatUs);
    std::printf("\"SendFile\" of %d MiB:                         %8.1f MiB/s\n", megabytes,
                fileMBs);
    std::printf("bare TCP stop-and-wait, 2048-byte chunks:     %8.1f MiB/s  console/bare %.2f "
                "(goal: at least 0.8)\n",
                bareFileMBs, fileMBs / bareFileMBs);
    return 0;
}

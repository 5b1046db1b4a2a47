// Chat relayed by a real quorvane-server between two consoles' protocol cores on loopback:
// request 15 in, message 519 out, both acknowledged, with up to 32 messages on their way at a
// time; beside the bare datagram exchange of the same shape made in the same run: a plain UDP
// relay process that acknowledges each datagram of the request's size and forwards one of the
// message's size, which the receiver acknowledges.
//
//   bench_relay [--runs N] [--messages N]
//   bench_relay --relay     the bare relay (started by the benchmark itself)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "protocol/packet.h"
#include "protocol/sessionrecords.h"
#include "protocol/trace.h"
#include "support/benchtools.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace {

using namespace talmor;
using namespace talmor::e2e;

constexpr int kTimeoutMs = 30000;
constexpr int kWindow = 32;
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
const std::string kText(40, 'r');

// The sizes of the datagrams of one relayed message.
struct Sizes {
    int request = 0; // 15, its body padded to the cipher's blocks
    int message = 0; // 519
    int ack = static_cast<int>(kDatagramHeaderSize);
};

Sizes datagramSizes() {
    Sizes sizes;
    OutPacket request = makeDatagram(1024, 1, 15, 1);
    request.writeByte(1).writeInt(1025).writeString(kText);
    const std::size_t body = request.length() - kDatagramHeaderSize;
    sizes.request = static_cast<int>(kDatagramHeaderSize + (body + 7) / 8 * 8);
    OutPacket message = makeDatagram(0, 1, 519, 1);
    ServerMessage{1, 1024, 0, kText}.write(message);
    sizes.message = static_cast<int>(message.length());
    return sizes;
}

// Names the receiver of the bare relay's messages.
const QByteArray kRegister("R");

// The bare relay: a one-byte datagram names the receiver; every datagram of another size than
// an acknowledgement is acknowledged to its sender and forwarded to the receiver as a message.
int bareRelay() {
    const Sizes sizes = datagramSizes();
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0)) {
        return 1;
    }
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                           QVariant(kReceiveBufferBytes));
    QHostAddress receiver;
    quint16 receiverPort = 0;
    const QByteArray ack(sizes.ack, 'a');
    const QByteArray message(sizes.message, 'm');
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram in = socket.receiveDatagram();
            if (in.data().size() == kRegister.size()) {
                receiver = in.senderAddress();
                receiverPort = static_cast<quint16>(in.senderPort());
                continue;
            }
            if (in.data().size() == sizes.ack) {
                continue; // the receiver acknowledged a message
            }
            socket.writeDatagram(ack, in.senderAddress(), static_cast<quint16>(in.senderPort()));
            socket.writeDatagram(message, receiver, receiverPort);
        }
    });
    std::printf("relay ready: %u\n", socket.localPort());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

qint64 bareExchange(uint16_t port, int count) {
    const Sizes sizes = datagramSizes();
    QUdpSocket sender;
    QUdpSocket receiver;
    sender.connectToHost(QHostAddress::LocalHost, port);
    receiver.connectToHost(QHostAddress::LocalHost, port);
    for (QUdpSocket* socket : {&sender, &receiver}) {
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                QVariant(kReceiveBufferBytes));
    }
    const QByteArray request(sizes.request, 'q');
    const QByteArray ack(sizes.ack, 'a');
    receiver.write(kRegister);
    waitFor([] { return false; }, 50);
    int acked = 0;
    int delivered = 0;
    int sent = 0;
    // A message is done once it was delivered and its request acknowledged; the next ones go
    // while fewer than the window are on their way.
    auto refill = [&] {
        for (; sent < count && sent - std::min(acked, delivered) < kWindow; ++sent) {
            sender.write(request);
        }
    };
    QObject::connect(&sender, &QUdpSocket::readyRead, [&] {
        while (sender.hasPendingDatagrams()) {
            sender.receiveDatagram();
            ++acked;
        }
        refill();
    });
    QObject::connect(&receiver, &QUdpSocket::readyRead, [&] {
        while (receiver.hasPendingDatagrams()) {
            receiver.receiveDatagram();
            receiver.write(ack);
            ++delivered;
        }
        refill();
    });
    QElapsedTimer timer;
    timer.start();
    refill();
    const bool done = waitFor([&] { return acked >= count && delivered >= count; }, kTimeoutMs);
    if (!done) {
        std::fprintf(stderr, "bare relay stopped: %d acknowledged, %d delivered of %d\n", acked,
                     delivered, count);
    }
    return done ? timer.nsecsElapsed() : -1;
}

qint64 consoleExchange(TestConsole& a, TestConsole& b, int count) {
    const std::size_t before = b.messages.size();
    std::vector<uint16_t> seqs;
    auto done = [&](int i) {
        return a.acked.count(seqs[static_cast<std::size_t>(i)]) != 0 &&
               b.messages.size() - before > static_cast<std::size_t>(i);
    };
    QElapsedTimer timer;
    timer.start();
    int finished = 0;
    while (finished < count) {
        while (static_cast<int>(seqs.size()) < count &&
               static_cast<int>(seqs.size()) - finished < kWindow) {
            seqs.push_back(a.client().sendMessage(1, 1025, kText));
        }
        if (!waitFor([&] { return done(finished); }, kTimeoutMs)) {
            std::fprintf(stderr, "relayed chat stopped after %d messages (%zu delivered)\n",
                         finished, b.messages.size() - before);
            return -1;
        }
        while (finished < static_cast<int>(seqs.size()) && done(finished)) {
            ++finished;
        }
    }
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains("--relay")) {
        return bareRelay();
    }
    const int runs = intOption(args, "--runs", 3);
    const int messages = intOption(args, "--messages", 5000);
    setTraceSink([](const std::string&) {});

    ServerProcess server;
    if (!startServer(server, TALMOR_DEMO_SEED)) {
        return 1;
    }
    QProcess relay;
    const uint16_t relayPort = startReference(relay, "--relay", "relay ready");
    if (relayPort == 0) {
        return 1;
    }

    TestConsole a;
    TestConsole b;
    a.connect(1024, "talmor1024", server.udpPort());
    b.connect(1025, "talmor1025", server.udpPort());
    if (!waitFor([&] { return a.ready() && b.ready(); }, kTimeoutMs)) {
        std::fprintf(stderr, "the consoles did not get ready\n");
        return 1;
    }
    std::vector<qint64> relayed, bare;
    for (int run = 0; run < runs; ++run) {
        relayed.push_back(consoleExchange(a, b, messages));
        bare.push_back(bareExchange(relayPort, messages));
    }
    relay.terminate();
    relay.waitForFinished(5000);
    const qint64 console = bestRun(relayed);
    const qint64 reference = bestRun(bare);
    if (console < 0 || reference < 0) {
        std::fprintf(stderr, "a run did not complete\n");
        return 1;
    }
    const double perSecond = messages / (static_cast<double>(console) / 1e9);
    const double barePerSecond = messages / (static_cast<double>(reference) / 1e9);
    std::printf("chat relayed by quorvane-server (15 in, 519 out, both acknowledged, %d at a "
                "time): %8.0f messages/s (best of %d x %d)\n",
                kWindow, perSecond, runs, messages);
    std::printf("bare UDP relay of the same datagrams:                                        "
                "%8.0f messages/s  server/bare %.2f\n",
                barePerSecond, perSecond / barePerSecond);
    return 0;
}

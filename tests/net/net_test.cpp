// The protocol core's sockets, timers and host lookup on Qt's event loop, over loopback.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "net/qtdatagramport.h"
#include "net/qthostresolver.h"
#include "net/qtsocketlayer.h"
#include "net/qttimerhost.h"
#include "support/eventloop.h"

namespace talmor {
namespace {

using e2e::ensureApplication;
using e2e::waitFor;

constexpr uint32_t kLoopback = 0x7F000001;

// Records notifications; on readable it drains as the protocol core does.
struct Sink : SocketSink {
    SocketLayer* layer = nullptr;
    int handle = kNoSocket;
    std::vector<std::string> received;
    int readable = 0;
    int connected = 0;
    int failed = 0;
    int writable = 0;
    int closed = 0;
    bool closeOnReadable = false;
    // Runs after each datagram or piece taken, as the handling of it would.
    std::function<void()> afterEach;

    void onReadable() override {
        ++readable;
        uint8_t buffer[4096];
        for (;;) {
            const long size = layer->receiveBytes(handle, buffer, sizeof buffer);
            if (size <= 0) {
                break;
            }
            received.emplace_back(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size));
            if (closeOnReadable) {
                layer->closeSocket(handle);
                return;
            }
            if (afterEach) {
                afterEach();
            }
        }
    }
    void onConnected(bool success) override { ++(success ? connected : failed); }
    void onWritable() override { ++writable; }
    void onClosed() override { ++closed; }
};

struct Listener : ListenSink {
    SocketLayer* layer = nullptr;
    Sink* acceptInto = nullptr;
    int accepted = kNoSocket;
    void onIncoming(int listenHandle) override {
        accepted = layer->acceptSocket(listenHandle, acceptInto);
        acceptInto->handle = accepted;
    }
};

// A datagram socket of the layer connected to a plain server socket.
struct DatagramPair {
    DatagramPair() {
        ensureApplication();
        server.bind(QHostAddress::LocalHost, 0);
        sink.layer = &layer;
        sink.handle = layer.createSocket(SocketType::Datagram, &sink);
    }
    bool connect() { return layer.connectSocket(sink.handle, kLoopback, server.localPort()); }

    QUdpSocket server;
    QtSocketLayer layer;
    Sink sink;
};

TEST(QtSocketLayer, ADatagramSocketConnectsLearnsItsAddressAndDrainsEveryWaitingDatagram) {
    DatagramPair pair;
    QUdpSocket& server = pair.server;
    QtSocketLayer& layer = pair.layer;
    Sink& sink = pair.sink;
    ASSERT_TRUE(pair.connect());
    EXPECT_EQ(layer.localAddress(sink.handle), kLoopback);
    EXPECT_NE(layer.localPort(sink.handle), 0);

    const uint8_t hello[] = {'h', 'i'};
    EXPECT_EQ(layer.sendBytes(sink.handle, hello, 2), 2);
    ASSERT_TRUE(waitFor([&] { return server.hasPendingDatagrams(); }));
    EXPECT_EQ(server.receiveDatagram().data(), QByteArray("hi"));

    // Several datagrams behind one notification are all taken.
    for (int i = 0; i < 20; ++i) {
        server.writeDatagram(QByteArray::number(i), QHostAddress::LocalHost,
                             layer.localPort(sink.handle));
    }
    ASSERT_TRUE(waitFor([&] { return sink.received.size() == 20; }));
    EXPECT_LT(sink.readable, 20);
    EXPECT_EQ(sink.received.front(), "0");
    EXPECT_EQ(sink.received.back(), "19");
    uint8_t buffer[16];
    EXPECT_EQ(layer.receiveBytes(sink.handle, buffer, sizeof buffer), -1);
}

TEST(QtSocketLayer, AFloodOfSlowlyHandledDatagramsLeavesTheEventLoopTurnsAndLosesNothing) {
    DatagramPair pair;
    Sink& sink = pair.sink;
    ASSERT_TRUE(pair.connect());
    // Each datagram takes a millisecond to handle: 300 of them would hold the loop for 300 ms.
    sink.afterEach = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    int turnsDuringFlood = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const std::size_t got = sink.received.size();
        turnsDuringFlood += got > 0 && got < 300 ? 1 : 0;
    });
    turn.start(0);
    for (int i = 0; i < 300; ++i) {
        pair.server.writeDatagram(QByteArray::number(i), QHostAddress::LocalHost,
                                  pair.layer.localPort(sink.handle));
    }
    ASSERT_TRUE(waitFor([&] { return sink.received.size() == 300; }));
    EXPECT_GT(turnsDuringFlood, 0);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(sink.received[static_cast<std::size_t>(i)], std::to_string(i));
    }
}

TEST(QtSocketLayer, ASinkThatRunsANestedEventLoopKeepsReceivingAfterIt) {
    // A message box opened while one datagram is handled runs its own event loop; the datagrams
    // behind it wait for the handler to return, and none is lost or left unreported.
    DatagramPair pair;
    Sink& sink = pair.sink;
    ASSERT_TRUE(pair.connect());
    const uint16_t port = pair.layer.localPort(sink.handle);
    bool nested = false;
    sink.afterEach = [&] {
        if (nested) {
            return;
        }
        nested = true;
        QEventLoop box;
        QTimer::singleShot(300, &box, &QEventLoop::quit);
        box.exec();
    };
    for (int i = 0; i < 50; ++i) {
        pair.server.writeDatagram(QByteArray::number(i), QHostAddress::LocalHost, port);
    }
    ASSERT_TRUE(waitFor([&] { return sink.received.size() == 50; }));
    // The socket is still notified for what comes later.
    pair.server.writeDatagram("later", QHostAddress::LocalHost, port);
    ASSERT_TRUE(waitFor([&] { return sink.received.size() == 51; }));
    EXPECT_EQ(sink.received.front(), "0");
    EXPECT_EQ(sink.received[49], "49");
    EXPECT_EQ(sink.received.back(), "later");
}

TEST(QtSocketLayer, ASocketClosedInsideItsOwnNotificationNeverNotifiesAgain) {
    DatagramPair pair;
    QUdpSocket& server = pair.server;
    QtSocketLayer& layer = pair.layer;
    Sink& sink = pair.sink;
    sink.closeOnReadable = true;
    ASSERT_TRUE(pair.connect());
    const uint16_t port = layer.localPort(sink.handle);
    server.writeDatagram("one", QHostAddress::LocalHost, port);
    server.writeDatagram("two", QHostAddress::LocalHost, port);
    ASSERT_TRUE(waitFor([&] { return sink.readable == 1; }));
    waitFor([] { return false; }, 200);
    EXPECT_EQ(sink.readable, 1);
    EXPECT_EQ(sink.received.size(), 1u);
    const uint8_t byte = 1;
    EXPECT_EQ(layer.sendBytes(sink.handle, &byte, 1), -1);
}

TEST(QtSocketLayer, StreamsConnectAcceptCarryBytesAndReportTheirClose) {
    ensureApplication();
    QtSocketLayer layer;
    Sink serverSide;
    serverSide.layer = &layer;
    Listener listener;
    listener.layer = &layer;
    listener.acceptInto = &serverSide;
    const int listening = layer.listenSocket(&listener, kLoopback);
    ASSERT_NE(listening, kNoSocket);
    const uint16_t port = layer.localPort(listening);
    ASSERT_NE(port, 0);

    Sink client;
    client.layer = &layer;
    client.handle = layer.createSocket(SocketType::Stream, &client);
    ASSERT_TRUE(layer.connectSocket(client.handle, kLoopback, port));
    ASSERT_TRUE(waitFor([&] { return client.connected == 1 && listener.accepted != kNoSocket; }));

    layer.enableWrite(client.handle);
    ASSERT_TRUE(waitFor([&] { return client.writable == 1; }));
    const std::string text = "stream bytes";
    EXPECT_EQ(
        layer.sendBytes(client.handle, reinterpret_cast<const uint8_t*>(text.data()), text.size()),
        static_cast<long>(text.size()));
    ASSERT_TRUE(waitFor([&] { return !serverSide.received.empty(); }));
    EXPECT_EQ(serverSide.received.front(), text);

    // Bytes sent just before the close still arrive; then the close is reported.
    EXPECT_EQ(layer.sendBytes(client.handle, reinterpret_cast<const uint8_t*>("end"), 3), 3);
    layer.closeSocket(client.handle);
    ASSERT_TRUE(waitFor([&] { return serverSide.closed == 1; }));
    std::string all;
    for (const std::string& piece : serverSide.received) {
        all += piece;
    }
    EXPECT_EQ(all, text + "end");
    uint8_t buffer[8];
    EXPECT_EQ(layer.receiveBytes(serverSide.handle, buffer, sizeof buffer), 0);
    EXPECT_EQ(client.closed, 0); // closed by its owner: no notification
}

// Reads at most `limit` bytes per notification, as a reader with a small area would.
struct SippingSink : Sink {
    std::size_t limit = 100;
    std::string all;
    void onReadable() override {
        ++readable;
        std::vector<uint8_t> buffer(limit);
        const long size = layer->receiveBytes(handle, buffer.data(), buffer.size());
        if (size > 0) {
            all.append(reinterpret_cast<char*>(buffer.data()), static_cast<std::size_t>(size));
        }
    }
};

TEST(QtSocketLayer, AStreamReaderThatLeavesBytesIsToldAgainUntilItTookThemAll) {
    ensureApplication();
    QtSocketLayer layer;
    SippingSink serverSide;
    serverSide.layer = &layer;
    Listener listener;
    listener.layer = &layer;
    listener.acceptInto = &serverSide;
    const int listening = layer.listenSocket(&listener, kLoopback);
    ASSERT_NE(listening, kNoSocket);
    EXPECT_EQ(layer.localAddress(listening), kLoopback);

    Sink client;
    client.layer = &layer;
    client.handle = layer.createSocket(SocketType::Stream, &client);
    ASSERT_TRUE(layer.connectSocket(client.handle, kLoopback, layer.localPort(listening)));
    ASSERT_TRUE(waitFor([&] { return client.connected == 1 && listener.accepted != kNoSocket; }));
    EXPECT_EQ(layer.remoteAddress(listener.accepted), kLoopback);
    EXPECT_EQ(layer.remoteAddress(listening), 0u);

    // One write, far more than one notification's read: no further bytes arrive to announce
    // the rest, yet all of it is read.
    std::string text(5000, 'x');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(
        layer.sendBytes(client.handle, reinterpret_cast<const uint8_t*>(text.data()), text.size()),
        static_cast<long>(text.size()));
    ASSERT_TRUE(waitFor([&] { return serverSide.all.size() == text.size(); }))
        << serverSide.all.size();
    EXPECT_EQ(serverSide.all, text);
    EXPECT_GE(serverSide.readable, 50);
}

TEST(QtSocketLayer, UnsentBytesCountWhatAStreamHasNotHandedToTheSystem) {
    ensureApplication();
    QtSocketLayer layer;
    Sink serverSide;
    serverSide.layer = &layer;
    Listener listener;
    listener.layer = &layer;
    listener.acceptInto = &serverSide;
    const int listening = layer.listenSocket(&listener, kLoopback);
    Sink client;
    client.layer = &layer;
    client.handle = layer.createSocket(SocketType::Stream, &client);
    ASSERT_TRUE(layer.connectSocket(client.handle, kLoopback, layer.localPort(listening)));
    ASSERT_TRUE(waitFor([&] { return client.connected == 1; }));
    // More than the system takes at once: the stream hands it what fits at once and keeps the
    // rest until the reader makes room.
    const std::vector<uint8_t> bytes(64u << 20, 7);
    EXPECT_EQ(layer.sendBytes(client.handle, bytes.data(), bytes.size()),
              static_cast<long>(bytes.size()));
    const std::size_t waiting = layer.unsentBytes(client.handle);
    EXPECT_GT(waiting, 0u);
    EXPECT_LT(waiting, bytes.size());
    ASSERT_TRUE(waitFor([&] { return layer.unsentBytes(client.handle) == 0; }));
    EXPECT_EQ(layer.unsentBytes(kNoSocket), 0u);
}

TEST(QtSocketLayer, AStreamConnectToNoListenerFails) {
    ensureApplication();
    QtSocketLayer layer;
    // A port that was free a moment ago.
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const uint16_t port = probe.localPort();
    Sink client;
    client.layer = &layer;
    client.handle = layer.createSocket(SocketType::Stream, &client);
    layer.connectSocket(client.handle, kLoopback, port);
    ASSERT_TRUE(waitFor([&] { return client.failed + client.connected > 0; }));
    EXPECT_EQ(client.failed, 1);
}

// A stream of the layer connected to one the layer accepted, over loopback.
struct StreamPair {
    StreamPair() {
        ensureApplication();
        serverSide.layer = &layer;
        client.layer = &layer;
        listener.layer = &layer;
        listener.acceptInto = &serverSide;
        listening = layer.listenSocket(&listener, kLoopback);
        client.handle = layer.createSocket(SocketType::Stream, &client);
    }
    bool connect() {
        return layer.connectSocket(client.handle, kLoopback, layer.localPort(listening)) &&
               waitFor([&] { return client.connected == 1 && listener.accepted != kNoSocket; });
    }
    long send(const std::string& bytes) {
        return layer.sendBytes(client.handle, reinterpret_cast<const uint8_t*>(bytes.data()),
                               bytes.size());
    }
    std::string receivedAll() const {
        std::string all;
        for (const std::string& piece : serverSide.received) {
            all += piece;
        }
        return all;
    }

    QtSocketLayer layer;
    Sink serverSide;
    Sink client;
    Listener listener;
    int listening = kNoSocket;
};

TEST(QtSocketLayer, AStreamReaderThatRunsANestedEventLoopIsNotCalledAgainInsideIt) {
    StreamPair pair;
    ASSERT_TRUE(pair.connect());
    int depth = 0;
    int deepest = 0;
    bool nested = false;
    pair.serverSide.afterEach = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (!nested) {
            // A message box while the first piece is handled; more bytes arrive meanwhile.
            nested = true;
            pair.send("during");
            QEventLoop box;
            QTimer::singleShot(200, &box, &QEventLoop::quit);
            box.exec();
        }
        --depth;
    };
    ASSERT_EQ(pair.send("first"), 5);
    ASSERT_TRUE(waitFor([&] { return pair.receivedAll() == "firstduring"; })) << pair.receivedAll();
    EXPECT_EQ(deepest, 1);
    ASSERT_EQ(pair.send("later"), 5);
    ASSERT_TRUE(waitFor([&] { return pair.receivedAll() == "firstduringlater"; }));
}

TEST(QtSocketLayer, AClosedStreamStillHandsOverWhatTheSystemHadNotTakenThenTheCloseIsReported) {
    StreamPair pair;
    ASSERT_TRUE(pair.connect());
    std::string bytes(8u << 20, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 251);
    }
    ASSERT_EQ(pair.send(bytes), static_cast<long>(bytes.size()));
    ASSERT_GT(pair.layer.unsentBytes(pair.client.handle), 0u);
    pair.layer.closeSocket(pair.client.handle);
    ASSERT_TRUE(waitFor([&] { return pair.serverSide.closed == 1; }, 20000));
    EXPECT_TRUE(pair.receivedAll() == bytes) << pair.receivedAll().size();
    waitFor([] { return false; }, 100);
    EXPECT_EQ(pair.serverSide.closed, 1);
    EXPECT_EQ(pair.client.closed, 0);
}

TEST(QtSocketLayer, AConnectionNobodyTakesIsClosedAndTheListenerKeepsServing) {
    StreamPair pair;
    struct Ignoring : ListenSink {
        int announced = 0;
        void onIncoming(int) override { ++announced; }
    } ignoring;
    const int listening = pair.layer.listenSocket(&ignoring, kLoopback);
    ASSERT_NE(listening, kNoSocket);
    ASSERT_TRUE(
        pair.layer.connectSocket(pair.client.handle, kLoopback, pair.layer.localPort(listening)));
    ASSERT_TRUE(waitFor([&] { return pair.client.connected == 1; }));
    // The peer sees the connection end instead of waiting on it for ever.
    ASSERT_TRUE(waitFor([&] { return pair.client.closed == 1; }));
    EXPECT_EQ(ignoring.announced, 1);
    // A second connection is announced as well.
    Sink second;
    second.layer = &pair.layer;
    second.handle = pair.layer.createSocket(SocketType::Stream, &second);
    ASSERT_TRUE(
        pair.layer.connectSocket(second.handle, kLoopback, pair.layer.localPort(listening)));
    ASSERT_TRUE(waitFor([&] { return ignoring.announced == 2 && second.closed == 1; }));
}

TEST(QtSocketLayer, WithoutDescriptorsLeftTheListenerRestsAndTakesTheConnectionLater) {
    StreamPair pair;
    struct Counting : ListenSink {
        SocketLayer* layer = nullptr;
        Sink* into = nullptr;
        int accepted = 0;
        void onIncoming(int listenHandle) override {
            into->handle = layer->acceptSocket(listenHandle, into);
            accepted += into->handle != kNoSocket ? 1 : 0;
        }
    } counting;
    Sink server;
    server.layer = &pair.layer;
    counting.layer = &pair.layer;
    counting.into = &server;
    const int listening = pair.layer.listenSocket(&counting, kLoopback);
    ASSERT_NE(listening, kNoSocket);

    // Every descriptor taken, then a connection waits in the backlog.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 1024);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    ASSERT_TRUE(
        pair.layer.connectSocket(pair.client.handle, kLoopback, pair.layer.localPort(listening)));
    std::vector<int> filler;
    for (int fd = ::dup(0); fd >= 0; fd = ::dup(0)) {
        filler.push_back(fd);
    }
    EXPECT_EQ(errno, EMFILE);

    // A listener told again and again wakes the event loop on every turn: count the turns (on
    // a busy machine the processor time of a spinning loop can still be small).
    int turns = 0;
    const QMetaObject::Connection counter = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++turns; });
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(counter);
    EXPECT_EQ(counting.accepted, 0);
    EXPECT_LT(turns, 50) << "the event loop spun on the connection it could not take";

    for (int fd : filler) {
        ::close(fd);
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_TRUE(waitFor([&] { return counting.accepted == 1; }));
}

TEST(QtTimerHost, NumberedTimersCallBackWithTheirIdUntilStopped) {
    ensureApplication();
    std::vector<int> fired;
    QtTimerHost timers([&](int id) {
        fired.push_back(id);
        if (id == 1002) {
            timers.stopTimer(1002); // stopping the timer that called is allowed
        }
    });
    timers.startTimer(1001, 10);
    timers.startTimer(1002, 10);
    ASSERT_TRUE(waitFor([&] { return std::count(fired.begin(), fired.end(), 1001) >= 3; }));
    EXPECT_EQ(std::count(fired.begin(), fired.end(), 1002), 1);
    EXPECT_TRUE(timers.isRunning(1001));
    EXPECT_FALSE(timers.isRunning(1002));
    timers.stopTimer(1001);
    const std::size_t count = fired.size();
    waitFor([] { return false; }, 100);
    EXPECT_EQ(fired.size(), count);
}

TEST(QtHostResolver, AnswersWithTheFirstIpv4AddressOrZero) {
    ensureApplication();
    QtHostResolver resolver;
    uint32_t local = 1;
    bool localDone = false;
    resolver.lookup("localhost", [&](uint32_t address) {
        local = address;
        localDone = true;
    });
    uint32_t bad = 1;
    bool badDone = false;
    resolver.lookup("no-such-host.invalid", [&](uint32_t address) {
        bad = address;
        badDone = true;
    });
    ASSERT_TRUE(waitFor([&] { return localDone && badDone; }, 20000));
    EXPECT_EQ(local, kLoopback);
    EXPECT_EQ(bad, 0u);
}

TEST(QtDatagramPort, ReceivesWithTheSendersAddressAndAnswersIt) {
    ensureApplication();
    std::vector<std::pair<std::string, uint16_t>> got;
    QtDatagramPort* portPointer = nullptr;
    QtDatagramPort port(
        [&](const uint8_t* bytes, std::size_t size, uint32_t address, uint16_t from) {
            got.emplace_back(std::string(reinterpret_cast<const char*>(bytes), size), from);
            EXPECT_EQ(address, kLoopback);
            portPointer->send(address, from, bytes, size);
        });
    portPointer = &port;
    ASSERT_TRUE(port.bind(kLoopback, 0, 1 << 20));
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress::LocalHost, 0));
    client.writeDatagram("ping", QHostAddress::LocalHost, port.port());
    ASSERT_TRUE(waitFor([&] { return client.hasPendingDatagrams(); }));
    EXPECT_EQ(client.receiveDatagram().data(), QByteArray("ping"));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].second, client.localPort());
}

} // namespace
} // namespace talmor

// Login of an operator with 50 groups of 200 contacts (10,000 contacts, one profile request
// each) against a real quorvane-server, from the login request to the last profile received,
// beside the same number of request/answer exchanges by a bare UDP client and server made in
// the same run: datagrams of the sizes of a profile request and its answer, once with one
// request waiting for its answer before the next goes, once with up to 256 requests out at a
// time (the server's send window), like the login's burst.
//
//   bench_login [--runs N]     the benchmark
//   bench_login --echo         the bare server (started by the benchmark itself)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "protocol/trace.h"
#include "support/benchtools.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace {

using namespace talmor;
using namespace talmor::e2e;

constexpr int kGroups = 50;
constexpr int kContactsPerGroup = 200;
constexpr int kContacts = kGroups * kContactsPerGroup;
constexpr int kRequestBytes = 28; // header, a user id, cipher padding
constexpr int kAnswerBytes = 140; // header, a user id and a profile of short texts
constexpr int kTimeoutMs = 120000;
// The receive buffer the console and the server ask for, so the bare exchange gets the same.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

QByteArray seedJson() {
    QJsonArray groups;
    QJsonArray subscribers;
    uint32_t next = 100000;
    for (int g = 0; g < kGroups; ++g) {
        QJsonArray members;
        for (int c = 0; c < kContactsPerGroup; ++c, ++next) {
            members.append(static_cast<qint64>(next));
            subscribers.append(QJsonObject{
                {"id", static_cast<qint64>(next)},
                {"nick", QString("subscriber %1").arg(next)},
                {"age", 70},
                {"sex", 1},
                {"area", QJsonObject{{"province", "P"}, {"city", "C"}}},
            });
        }
        groups.append(QJsonObject{
            {"id", g + 1}, {"name", QString("group %1").arg(g + 1)}, {"contacts", members}});
    }
    QJsonObject op{{"id", 1024},
                   {"password", "talmor1024"},
                   {"nick", "op"},
                   {"rights", "all"},
                   {"groups", groups}};
    return QJsonDocument(QJsonObject{{"operators", QJsonArray{op}}, {"subscribers", subscribers}})
        .toJson(QJsonDocument::Compact);
}

// Milliseconds from the login request to the last of the 10,000 profiles; -1 on failure.
qint64 loginOnce(uint16_t port) {
    TestConsole console;
    QElapsedTimer timer;
    timer.start();
    console.connect(1024, "talmor1024", port);
    const bool ready = waitFor([&] { return console.ready(); }, kTimeoutMs);
    const qint64 elapsed = timer.elapsed();
    if (!ready || console.profiles.size() != static_cast<std::size_t>(kContacts)) {
        std::fprintf(stderr, "login did not complete: %zu profiles\n", console.profiles.size());
        return -1;
    }
    if (console.profileAnswers != static_cast<std::size_t>(kContacts)) {
        std::fprintf(stderr, "%zu profile answers for %d contacts\n", console.profileAnswers,
                     kContacts);
        return -1;
    }
    return elapsed;
}

int echoServer() {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0)) {
        return 1;
    }
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                           QVariant(kReceiveBufferBytes));
    const QByteArray answer(kAnswerBytes, 'a');
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram request = socket.receiveDatagram();
            socket.writeDatagram(answer, request.senderAddress(),
                                 static_cast<quint16>(request.senderPort()));
        }
    });
    std::printf("echo ready: %u\n", socket.localPort());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// Milliseconds for 10,000 request/answer exchanges with the bare server, with up to `window`
// requests out at a time; -1 on failure.
qint64 bareExchange(uint16_t port, int window) {
    QUdpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                           QVariant(kReceiveBufferBytes));
    const QByteArray request(kRequestBytes, 'r');
    int answered = 0;
    int sent = 0;
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            socket.receiveDatagram();
            ++answered;
            if (sent < kContacts) {
                socket.write(request);
                ++sent;
            }
        }
    });
    QElapsedTimer timer;
    timer.start();
    for (; sent < window && sent < kContacts; ++sent) {
        socket.write(request);
    }
    const bool done = waitFor([&] { return answered >= kContacts; }, kTimeoutMs);
    return done ? timer.elapsed() : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains("--echo")) {
        return echoServer();
    }
    const int runs = intOption(args, "--runs", 3);
    // The protocol core's trace lines would measure the terminal, not the login; only the
    // retransmissions are counted, since a lost datagram shows there.
    int retransmissions = 0;
    setTraceSink([&retransmissions](const std::string& line) {
        if (line.rfind("retransmit", 0) == 0) {
            ++retransmissions;
        }
    });

    QTemporaryDir dir;
    const QString seedPath = dir.filePath("bench-seed.json");
    QFile seed(seedPath);
    if (!seed.open(QIODevice::WriteOnly) || seed.write(seedJson()) < 0) {
        std::fprintf(stderr, "cannot write the seed\n");
        return 1;
    }
    seed.close();
    ServerProcess server;
    if (!startServer(server, seedPath)) {
        return 1;
    }

    QProcess echo;
    const uint16_t echoPort = startReference(echo, "--echo", "echo ready");
    if (echoPort == 0) {
        return 1;
    }

    constexpr int kWindow = 256;
    std::vector<qint64> logins;
    std::vector<qint64> serial;
    std::vector<qint64> windowed;
    for (int i = 0; i < runs; ++i) {
        logins.push_back(loginOnce(server.udpPort()));
        serial.push_back(bareExchange(echoPort, 1));
        windowed.push_back(bareExchange(echoPort, kWindow));
    }
    echo.terminate();
    echo.waitForFinished(5000);

    const qint64 login = bestRun(logins);
    const qint64 bareSerial = bestRun(serial);
    const qint64 bareWindowed = bestRun(windowed);
    if (login < 0 || bareSerial < 0 || bareWindowed < 0) {
        std::fprintf(stderr, "a run did not complete\n");
        return 1;
    }
    const auto ratio = [login](qint64 bare) {
        return bare > 0 ? static_cast<double>(login) / static_cast<double>(bare) : 0.0;
    };
    std::printf("login, %d contacts, %d profile requests:      %6lld ms (best of %d)\n", kContacts,
                kContacts, static_cast<long long>(login), runs);
    std::printf("bare UDP, %d exchanges one at a time:         %6lld ms  login/bare %.2f\n",
                kContacts, static_cast<long long>(bareSerial), ratio(bareSerial));
    std::printf("bare UDP, %d exchanges, %d at a time:        %6lld ms  login/bare %.2f\n",
                kContacts, kWindow, static_cast<long long>(bareWindowed), ratio(bareWindowed));
    std::printf("every login run:");
    for (qint64 run : logins) {
        std::printf(" %lld", static_cast<long long>(run));
    }
    std::printf(" ms\n");
    std::printf("console retransmissions in all login runs: %d (goal: login under 2000 ms and "
                "at most 3 times the bare exchange)\n",
                retransmissions);
    return 0;
}

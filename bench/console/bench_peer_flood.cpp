// The real console program under a flood of silent connections to its message listener, from
// a contact's own address and from a stranger's: how long the console takes to acknowledge a
// new call of the server, how long a contact's chat message takes to be acknowledged, and the
// console's processor use; the same figures without a flood, measured in the same run.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "protocol/trace.h"
#include "support/consoleprocess.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/rawpeer.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

using namespace talmor;
using namespace talmor::e2e;

namespace {

constexpr int kTimeoutMs = 60000;
constexpr int kRounds = 20;
constexpr int kRoundGapMs = 250;
constexpr int kCategory = 5; // a pane of its own, no seed calls
int gFlood = 500;            // silent connections kept open from the contact's address
constexpr int kStrangersPerRound = 50;

// Processor seconds the process has used (user and system).
double ProcessSeconds(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    // The fields after the command name, which may hold spaces, start after its ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Figures {
    std::vector<double> ackMs;  // a new call sent to its acknowledgement by the console
    std::vector<double> chatMs; // the contact's chat message to its acknowledgement
    double cpuPercent = -1;
    int opened = 0; // connections of the flood opened in the phase
    int closedByConsole = 0;
    int strangers = 0;
    int strangersClosed = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

double Longest(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

class Bench {
public:
    Bench(ServerProcess& server, MarkedProcess& console, TestConsole& peer, uint16_t port)
        : control_(server.httpPort()), console_(console), peer_(peer), port_(port) {}

    Figures phase(bool flood) {
        Figures figures;
        std::vector<std::unique_ptr<RawPeerConnection>> silent;
        std::vector<std::unique_ptr<RawPeerConnection>> strangers;
        const auto topUp = [&] {
            if (!flood) {
                return;
            }
            for (auto& connection : silent) {
                if (connection->closedByConsole()) {
                    ++figures.closedByConsole;
                    connection = std::make_unique<RawPeerConnection>(kLoopbackAddress, port_);
                    ++figures.opened;
                }
            }
            while (static_cast<int>(silent.size()) < gFlood) {
                silent.push_back(std::make_unique<RawPeerConnection>(kLoopbackAddress, port_));
                ++figures.opened;
            }
            for (auto& stranger : strangers) {
                figures.strangersClosed += stranger->closedByConsole() ? 1 : 0;
            }
            strangers.clear();
            for (int i = 0; i < kStrangersPerRound; ++i) {
                strangers.push_back(std::make_unique<RawPeerConnection>(kStrangerAddress, port_));
                ++figures.strangers;
            }
        };
        topUp();
        waitFor([] { return false; }, 1000); // the flood reaches the console
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = ProcessSeconds(console_.process().processId());
        for (int round = 0; round < kRounds; ++round) {
            topUp();
            figures.ackMs.push_back(callAcknowledged());
            figures.chatMs.push_back(chatAcknowledged(round));
            waitFor([] { return false; }, kRoundGapMs);
        }
        const double cpu = ProcessSeconds(console_.process().processId()) - cpuBefore;
        figures.cpuPercent = 100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0);
        for (auto& stranger : strangers) {
            figures.strangersClosed += stranger->closedByConsole() ? 1 : 0;
        }
        return figures;
    }

private:
    int unacknowledged() {
        const auto consoles = control_.get("/api/consoles");
        for (const QJsonValue& entry : consoles ? consoles->array() : QJsonArray()) {
            const QJsonObject console = entry.toObject();
            if (console.value("operator").toInt() == 1024 &&
                console.value("state").toString() == "active") {
                return console.value("unacknowledged").toInt();
            }
        }
        return -1;
    }

    double callAcknowledged() {
        QElapsedTimer clock;
        clock.start();
        if (!control_.post(
                QString("/api/calls/inject?category=%1&user=2001&count=1").arg(kCategory)) ||
            !waitFor([&] { return unacknowledged() == 0; }, kTimeoutMs)) {
            return -1;
        }
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }

    double chatAcknowledged(int round) {
        QElapsedTimer clock;
        clock.start();
        const std::string text = "round " + std::to_string(round);
        const uint32_t number = peer_.peers().sendChatMessage(1, 1024, text, false);
        if (!waitFor([&] { return peer_.acked.count(number) != 0; }, kTimeoutMs)) {
            return -1;
        }
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }

    ControlClient control_;
    MarkedProcess& console_;
    TestConsole& peer_;
    uint16_t port_;
};

void Print(const char* name, const Figures& f) {
    std::printf("  %-9s console CPU %5.1f %%   call acknowledged: median %6.1f ms, longest %6.1f "
                "ms   chat acknowledged: median %6.1f ms, longest %6.1f ms\n",
                name, f.cpuPercent, Median(f.ackMs), Longest(f.ackMs), Median(f.chatMs),
                Longest(f.chatMs));
}

bool Complete(const Figures& f) {
    const auto failed = [](const std::vector<double>& values) {
        return std::count(values.begin(), values.end(), -1.0) != 0;
    };
    return !failed(f.ackMs) && !failed(f.chatMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc > 1) {
        bool ok = false;
        const int count = QString::fromLocal8Bit(argv[1]).toInt(&ok);
        gFlood = ok && count > 0 ? count : gFlood;
    }
    setTraceSink([](const std::string&) {});
    ServerProcess server;
    QString error;
    if (!server.start(TALMOR_DEMO_SEED, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ConsoleHome home(server.udpPort(), server.httpPort());
    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                  home.environment());
    if (console.waitForMark("ready", kTimeoutMs) < 0) {
        std::fprintf(stderr, "the console did not get ready:\n%s\n", qPrintable(console.output()));
        return 1;
    }
    TestConsole peer;
    peer.connect(1025, "talmor1025", server.udpPort());
    uint16_t port = 0;
    if (!waitFor(
            [&] {
                const ContactRecord* contact = peer.contacts().find(1024);
                port = contact != nullptr && peer.ready() ? contact->messagePort : 0;
                return port != 0;
            },
            kTimeoutMs)) {
        std::fprintf(stderr, "the contact never learnt the console's message port\n");
        return 1;
    }
    Bench bench(server, console, peer, port);
    const Figures quiet = bench.phase(false);
    const Figures flooded = bench.phase(true);
    const Figures after = bench.phase(false);

    std::printf("peer flood benchmark: %d silent connections kept open from a contact's address "
                "and %d new ones a round from a stranger's, %d rounds (offscreen)\n",
                gFlood, kStrangersPerRound, kRounds);
    Print("no flood", quiet);
    Print("flood", flooded);
    Print("after", after);
    std::printf("  flood: %d connections opened, %d closed by the console while silent; "
                "%d of %d strangers' connections closed\n",
                flooded.opened, flooded.closedByConsole, flooded.strangersClosed,
                flooded.strangers);
    const bool met = Complete(quiet) && Complete(flooded) &&
                     Longest(flooded.ackMs) <= std::max(3 * Longest(quiet.ackMs), 500.0) &&
                     flooded.cpuPercent < 25;
    std::printf("  goals (every call and chat acknowledged, acknowledgements within 3x of the "
                "quiet run or 500 ms, CPU under 25 %%): %s\n",
                met ? "met" : "NOT met");
    return Complete(quiet) && Complete(flooded) ? 0 : 1;
}

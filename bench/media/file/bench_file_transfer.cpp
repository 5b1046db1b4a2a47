// The file transfer between two whole consoles (main windows with their chat and file parts,
// in this process on real sockets) through a local quorvane-server, each figure beside a bare
// stop-and-wait loop of the same 2048-byte chunks measured in the same run:
// - direct: a 64 MiB file over the consoles' peer session, beside a bare TCP loop;
// - relay: a 4 MiB file through the server, beside bare datagrams through a minimal relay;
// - relay under 10% loss each way (1 MiB, the repetition sped up to 100 ms on both sides).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "bareloops.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "media/file/filepart.h"
#include "media/file/filetransfer.h"
#include "protocol/commands.h"
#include "protocol/trace.h"
#include "support/benchtools.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fileconsole.h"
#include "support/lossyproxy.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor {
namespace {

using e2e::FileConsole;
using e2e::waitFor;

constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;

struct Pair {
    std::unique_ptr<e2e::ControlClient> control;
    std::unique_ptr<FileConsole> a;
    std::unique_ptr<FileConsole> b;
};

bool Online(FileConsole& console, uint32_t peer) {
    const ContactRecord* record = console.window().contacts().find(peer);
    return record != nullptr && record->status == kStatusOnline;
}

// Both consoles logged in, B announcing `address`; A through `aPort`.
bool Start(Pair& pair, e2e::ServerProcess& server, const char* address, uint16_t aPort,
           int timeFactor) {
    pair.control = std::make_unique<e2e::ControlClient>(server.httpPort());
    for (uint32_t id : {kA, kB}) {
        pair.control->post(QStringLiteral("/api/address?operator=%1&mode=%2")
                               .arg(id)
                               .arg(QString::fromLatin1(address)));
    }
    pair.b = std::make_unique<FileConsole>(server.udpPort(), server.httpPort(), timeFactor);
    pair.a = std::make_unique<FileConsole>(aPort, server.httpPort(), timeFactor);
    return pair.b->login(kB, "talmor1025", kA) && pair.a->login(kA, "talmor1024", kB) &&
           waitFor([&] { return Online(*pair.a, kB) && Online(*pair.b, kA); }, 30000);
}

// A sends `source` to B; the milliseconds from the moment the data path is chosen (at once
// for the direct path, the relay's first answer for the relay) to both sides done, or -1.
double Transfer(Pair& pair, const QString& source, const QString& target, bool relay) {
    QFile::remove(target);
    pair.a->offer(kB, source);
    if (!waitFor([&] { return pair.b->files().transfer(kA) != nullptr; }, 10000)) {
        return -1;
    }
    QElapsedTimer clock;
    clock.start();
    pair.b->accept(kA, target);
    bool started = !relay;
    const bool done = waitFor(
        [&] {
            const FileTransfer* sending = pair.a->files().transfer(kB);
            if (!started && sending != nullptr && sending->phase() == FileTransfer::Phase::Relay) {
                started = true;
                clock.restart();
            }
            return sending == nullptr && pair.b->files().transfer(kA) == nullptr;
        },
        600000);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return done && e2e::FileSha256(target) == e2e::FileSha256(source) ? ms : -1;
}

double Best(double x, double y) {
    return x < 0 ? y : y < 0 ? x : std::min(x, y);
}

double MiBps(qint64 bytes, double ms) {
    return ms > 0 ? static_cast<double>(bytes) / 1048576.0 / (ms / 1000.0) : 0;
}

int Run() {
    testing::EnsureApplication();
    setTraceSink([](const std::string&) {}); // the per-datagram trace would time the terminal
    testing::TempFolder folder;
    setApplicationFolders({folder.path(), folder.path()});
    const QString base = QString::fromStdString(folder.path());
    e2e::ServerProcess server;
    if (!e2e::startServer(server, QStringLiteral(TALMOR_DEMO_SEED))) {
        return 1;
    }

    // Direct: 64 MiB, two runs of each, the better counts.
    const qint64 directSize = qint64{64} << 20;
    const QString direct = base + "direct.bin";
    e2e::WritePatternFile(direct, directSize, 1);
    double console = -1;
    double bare = -1;
    double polled = -1;
    {
        Pair pair;
        if (!Start(pair, server, "real", server.udpPort(), 1)) {
            std::fprintf(stderr, "the consoles did not log in\n");
            return 1;
        }
        for (int run = 0; run < 2; ++run) {
            console = Best(console, Transfer(pair, direct, base + "direct_in.bin", false));
            bare = Best(bare, bench::BareTcpStopAndWait(QFile::encodeName(direct).toStdString(),
                                                        (folder.path() + "bare_in.bin")));
            polled =
                Best(polled, bench::PolledTcpStopAndWait(QFile::encodeName(direct).toStdString(),
                                                         (folder.path() + "polled_in.bin")));
        }
    }
    // Relay: 4 MiB through the server; the 5-second wait for the direct path is not timed.
    const qint64 relaySize = qint64{4} << 20;
    const QString relayed = base + "relay.bin";
    e2e::WritePatternFile(relayed, relaySize, 2);
    double consoleRelay = -1;
    double bareRelay = -1;
    long bareRepeats = 0;
    {
        Pair pair;
        if (!Start(pair, server, "none", server.udpPort(), 1)) {
            std::fprintf(stderr, "the consoles did not log in for the relay\n");
            return 1;
        }
        consoleRelay = Transfer(pair, relayed, base + "relay_in.bin", true);
        bareRelay =
            bench::BareRelayStopAndWait(QFile::encodeName(relayed).toStdString(),
                                        folder.path() + "bare_relay_in.bin", 0, 2000, &bareRepeats);
    }
    // Under 10% loss each way between A and the server (1 MiB), repetition after 100 ms.
    const qint64 lossySize = qint64{1} << 20;
    const QString lossy = base + "lossy.bin";
    e2e::WritePatternFile(lossy, lossySize, 3);
    double consoleLossy = -1;
    std::size_t lossyRequests = 0;
    int lossyDropped = 0;
    long bareLossyRepeats = 0;
    double bareLossy = -1;
    {
        e2e::LossyProxy proxy(server.udpPort(), 0, 0, 1218);
        Pair pair;
        if (!Start(pair, server, "none", proxy.port(), 20)) {
            std::fprintf(stderr, "the consoles did not log in through the proxy\n");
            return 1;
        }
        const std::size_t before = pair.control->loggedBodies(kA, CMD_FILE_RELAY_DATA).size();
        proxy.setDropPercent(10);
        consoleLossy = Transfer(pair, lossy, base + "lossy_in.bin", true);
        lossyDropped = proxy.dropped;
        lossyRequests = pair.control->loggedBodies(kA, CMD_FILE_RELAY_DATA).size() - before;
        bareLossy = bench::BareRelayStopAndWait(QFile::encodeName(lossy).toStdString(),
                                                folder.path() + "bare_lossy_in.bin", 10, 100,
                                                &bareLossyRepeats);
    }

    std::printf("file transfer benchmark (offscreen, loopback, quorvane-server)\n");
    std::printf("  direct 64 MiB:  console %8.0f ms %7.1f MiB/s   bare TCP stop-and-wait %8.0f ms "
                "%7.1f MiB/s   ratio %.2fx (goal >= 0.80x)\n",
                console, MiBps(directSize, console), bare, MiBps(directSize, bare),
                console > 0 ? bare / console : 0.0);
    std::printf("                  the same loop waiting in poll() before each packet, as an event "
                "loop does: %8.0f ms %7.1f MiB/s   console at %.2fx of it\n",
                polled, MiBps(directSize, polled), console > 0 ? polled / console : 0.0);
    std::printf("  relay 4 MiB:    console %8.0f ms %7.1f MiB/s   bare datagram relay %8.0f ms "
                "%7.1f MiB/s   ratio %.2fx\n",
                consoleRelay, MiBps(relaySize, consoleRelay), bareRelay,
                MiBps(relaySize, bareRelay), consoleRelay > 0 ? bareRelay / consoleRelay : 0.0);
    std::printf("  relay 1 MiB at 10%% loss, repetition 100 ms: console %8.0f ms, %d datagrams "
                "dropped, %zu chunk requests reached the server for 512 chunks;   bare %8.0f "
                "ms, %ld repetitions\n",
                consoleLossy, lossyDropped, lossyRequests, bareLossy, bareLossyRepeats);
    const bool ok = console > 0 && bare > 0 && polled > 0 && consoleRelay > 0 && bareRelay > 0 &&
                    consoleLossy > 0 && bareLossy > 0;
    if (!ok) {
        std::fprintf(stderr, "a transfer failed or its file differs\n");
    }
    server.stop();
    return ok ? 0 : 1;
}

} // namespace
} // namespace talmor

int main() {
    return talmor::Run();
}

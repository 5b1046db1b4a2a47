// A two-way video chat between two consoles (operators 1024 and 1025, both on the test pattern
// at 15 pictures a second), in this process on real sockets against a real quorvane-server,
// once on the direct path and once through the server's relay. Printed for each:
//   - CPU share of one core per console, beside the same two consoles logged in and idle for
//     the same time in the same run (both consoles share this process, so each gets half);
//   - end-to-end picture latency, from the sender handing a picture to its transport to the
//     receiver drawing it (median and 95th percentile), beside a bare loopback TCP exchange of
//     packets of the same size at the same rate.
//
//   bench_video_chat [--seconds N]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "console/talmormanagerdlg.h"
#include "media/video/videochatlink.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "support/benchtools.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/videoconsole.h"

namespace {

using namespace talmor;
using namespace talmor::e2e;
using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 30000;
constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;
constexpr int kPacketBytes = 2800; // about one compressed pattern picture with its header

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop for `milliseconds` without waking it otherwise.
void Pump(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Latencies {
    std::vector<double> ms;
    double percentile(double p) {
        if (ms.empty()) {
            return -1;
        }
        std::sort(ms.begin(), ms.end());
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(p * double(ms.size())))];
    }
};

struct Figures {
    double cpuShare = -1; // of one core, per console
    Latencies latency;
    uint64_t drawn = 0;
};

class Run {
public:
    explicit Run(const char* address) {
        if (!startServer(server_, QStringLiteral(TALMOR_DEMO_SEED))) {
            return;
        }
        ControlClient control(server_.httpPort());
        control.post(QStringLiteral("/api/address?operator=%1&mode=%2").arg(kB).arg(address));
        b_ = std::make_unique<VideoConsole>(server_.udpPort(), server_.httpPort(),
                                            QStringLiteral("testpattern"));
        b_->login(kB, "talmor1025");
        if (!waitFor([this] { return b_->ready(); }, kTimeoutMs)) {
            return;
        }
        a_ = std::make_unique<VideoConsole>(server_.udpPort(), server_.httpPort(),
                                            QStringLiteral("testpattern"));
        a_->login(kA, "talmor1024");
        ok_ = waitFor([this] { return a_->ready() && a_->seesOnline(kB) && b_->seesOnline(kA); },
                      kTimeoutMs);
    }
    ~Run() {
        a_.reset();
        b_.reset();
        server_.stop();
    }
    bool ok() const { return ok_; }

    // The two consoles doing nothing for `seconds`.
    double idleShare(int seconds) {
        Pump(1000);
        return measure(seconds);
    }

    Figures chat(int seconds, bool expectRelay) {
        Figures figures;
        a_->chatWith(kB).command(chat::kCmdVideo);
        if (!waitFor(
                [this] {
                    return b_->video(kA) != nullptr &&
                           b_->video(kA)->chat().state() == VideoChat::State::Offered;
                },
                kTimeoutMs)) {
            return figures;
        }
        emit b_->findChat(kA)->display().notification(kAcceptVideo);
        VideoChat* chatA = nullptr;
        VideoChat* chatB = nullptr;
        if (!waitFor(
                [&] {
                    chatA = &a_->video(kB)->chat();
                    chatB = &b_->video(kA)->chat();
                    return chatA->state() == VideoChat::State::Streaming &&
                           chatB->state() == VideoChat::State::Streaming;
                },
                kTimeoutMs) ||
            chatA->relayed() != expectRelay) {
            return figures;
        }
        std::array<std::array<Clock::time_point, 256>, 2> sent{};
        bool recording = false;
        auto probe = [&](int side) {
            return [&, side](bool drawn, uint8_t counter) {
                if (!drawn) {
                    sent[side][counter] = Clock::now();
                } else if (recording) {
                    const auto at = sent[1 - side][counter];
                    figures.latency.ms.push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - at).count());
                }
            };
        };
        chatA->setProbe(probe(0));
        chatB->setProbe(probe(1));
        Pump(1000);
        const uint64_t before = chatA->peerPicturesDrawn() + chatB->peerPicturesDrawn();
        recording = true;
        figures.cpuShare = measure(seconds);
        recording = false;
        figures.drawn = chatA->peerPicturesDrawn() + chatB->peerPicturesDrawn() - before;
        chatA->setProbe({});
        chatB->setProbe({});
        emit a_->findChat(kB)->display().notification(kCancelVideo);
        Pump(500);
        return figures;
    }

private:
    double measure(int seconds) {
        const double cpu = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        Pump(seconds * 1000);
        return (ProcessCpuSeconds() - cpu) / (double(wall.elapsed()) / 1000.0) / 2.0;
    }

    ServerProcess server_;
    std::unique_ptr<VideoConsole> a_;
    std::unique_ptr<VideoConsole> b_;
    bool ok_ = false;
};

// One-way times of packets of the picture's size over a bare loopback TCP connection of this
// process, sent at the same rate.
Latencies BareLoopback(int seconds) {
    Latencies latencies;
    QTcpServer listener;
    listener.listen(QHostAddress::LocalHost, 0);
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    waitFor([&] { return listener.hasPendingConnections(); }, kTimeoutMs);
    QTcpSocket* accepted = listener.nextPendingConnection();
    const QByteArray packet(kPacketBytes, 'v');
    Clock::time_point sentAt;
    qint64 received = 0;
    QObject::connect(accepted, &QTcpSocket::readyRead, [&] {
        received += accepted->readAll().size();
        if (received >= kPacketBytes) {
            received -= kPacketBytes;
            latencies.ms.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - sentAt).count());
        }
    });
    for (int i = 0; i < seconds * 15; ++i) {
        sentAt = Clock::now();
        client.write(packet);
        Pump(1000 / 15);
    }
    return latencies;
}

void Print(const char* path, Figures& chat, double idle, Latencies& bare) {
    std::printf("%-8s CPU per console %5.1f %% of a core (idle consoles: %5.1f %%); pictures drawn "
                "%llu\n",
                path, chat.cpuShare * 100, idle * 100, static_cast<unsigned long long>(chat.drawn));
    std::printf("%-8s latency median %6.2f ms, p95 %6.2f ms (bare loopback TCP: median %6.2f ms, "
                "p95 %6.2f ms)\n",
                path, chat.latency.percentile(0.5), chat.latency.percentile(0.95),
                bare.percentile(0.5), bare.percentile(0.95));
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    const int seconds = intOption(args, "--seconds", 10);
    talmor::testing::EnsureApplication();
    int status = 0;
    for (const char* address : {"real", "none"}) {
        const bool relayed = std::string(address) == "none";
        Run run(address);
        if (!run.ok()) {
            std::fprintf(stderr, "bench_video_chat: the consoles did not log in\n");
            return 1;
        }
        const double idle = run.idleShare(seconds);
        Figures chat = run.chat(seconds, relayed);
        if (chat.cpuShare < 0 || chat.drawn == 0) {
            std::fprintf(stderr, "bench_video_chat: the %s chat did not stream\n",
                         relayed ? "relayed" : "direct");
            status = 1;
            continue;
        }
        Latencies bare = BareLoopback(seconds);
        Print(relayed ? "relayed" : "direct", chat, idle, bare);
    }
    return status;
}

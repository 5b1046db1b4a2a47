// Times the console program from outside: process start to the login dialog, start URL to the
// ready window against a local quorvane-server, and its resident memory once ready; each
// beside a bare Qt Widgets program that shows one dialog, measured in the same run.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/consoleprocess.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"

using talmor::e2e::ConsoleHome;
using talmor::e2e::MarkedProcess;

namespace {

constexpr int kRounds = 5;
constexpr int kTimeoutMs = 60000;
// Memory is read this long after the milestone, once the first pages and replies are in.
constexpr int kSettleMs = 1500;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

struct Sample {
    double ms = -1;
    double mb = -1;
};

Sample Run(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment, const QString& milestone) {
    MarkedProcess process;
    process.start(program, arguments, environment);
    Sample sample;
    sample.ms = static_cast<double>(process.waitForMark(milestone, kTimeoutMs));
    if (sample.ms >= 0) {
        talmor::e2e::waitFor([] { return false; }, kSettleMs);
        sample.mb = static_cast<double>(process.residentKb()) / 1024.0;
    } else {
        std::fprintf(stderr, "%s did not reach '%s':\n%s\n", qPrintable(program),
                     qPrintable(milestone), qPrintable(process.output()));
    }
    return sample;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    talmor::e2e::ServerProcess server;
    QString error;
    if (!server.start(TALMOR_DEMO_SEED, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::vector<double> bareMs, bareMb, dialogMs, readyMs, readyMb;
    for (int round = 0; round < kRounds; ++round) {
        QProcessEnvironment bareEnvironment = QProcessEnvironment::systemEnvironment();
        bareEnvironment.insert("QT_QPA_PLATFORM", "offscreen");
        const Sample bare = Run(TALMOR_BARE_DIALOG_BINARY, {}, bareEnvironment, "dialog shown");
        bareMs.push_back(bare.ms);
        bareMb.push_back(bare.mb);

        const ConsoleHome dialogHome(server.udpPort(), server.httpPort());
        dialogMs.push_back(
            Run(TALMOR_CONSOLE_BINARY, {}, dialogHome.environment(), "login dialog shown").ms);

        const ConsoleHome readyHome(server.udpPort(), server.httpPort());
        const Sample ready =
            Run(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                readyHome.environment(), "ready");
        readyMs.push_back(ready.ms);
        readyMb.push_back(ready.mb);
    }
    std::printf("console benchmark, median of %d rounds (offscreen, local quorvane-server)\n",
                kRounds);
    std::printf(
        "  process start to login dialog shown: %7.0f ms   (bare Qt dialog shown: %5.0f ms)\n",
        Median(dialogMs), Median(bareMs));
    std::printf(
        "  start URL to ready main window:      %7.0f ms   (bare Qt dialog shown: %5.0f ms)\n",
        Median(readyMs), Median(bareMs));
    std::printf(
        "  resident memory once ready:          %7.1f MB   (bare Qt dialog:       %5.1f MB)\n",
        Median(readyMb), Median(bareMb));
    const bool met = Median(dialogMs) >= 0 && Median(dialogMs) < 500 && Median(readyMs) >= 0 &&
                     Median(readyMs) < 1000 && Median(readyMb) < 150;
    std::printf("  goals (dialog < 500 ms, ready < 1000 ms, memory < 150 MB): %s\n",
                met ? "met" : "NOT met");
    return 0;
}

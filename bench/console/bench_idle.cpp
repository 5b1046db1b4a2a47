// Idle work of the console: the CPU time the ready console (its browser processes included)
// uses over 60 s with no call waiting, the notice strip scrolling, beside a bare Qt Widgets
// program that shows one dialog for the same 60 s; both on an X desktop of their own (Xvfb, a
// software renderer), read from /proc in the same run.
#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "support/consoleprocess.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/xdesktop.h"

using talmor::e2e::ConsoleHome;
using talmor::e2e::MarkedProcess;

namespace {

constexpr int kTimeoutMs = 60000;
// Once ready, the first pages and replies settle before the measurement starts.
constexpr int kSettleMs = 5000;
constexpr int kMeasureMs = 60000;
constexpr int kPanelHeight = 32;

// User and system CPU time of `pid` so far, in seconds; -1 when it cannot be read.
double OwnCpuSeconds(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    // The fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return -1;
    }
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return (fields[11].toDouble() + fields[12].toDouble()) / ticks;
}

// The children of `pid` (the browser's helper processes of a console).
QList<qint64> Children(qint64 pid) {
    QList<qint64> children;
    QFile list(QString("/proc/%1/task/%1/children").arg(pid));
    if (list.open(QIODevice::ReadOnly)) {
        for (const QByteArray& child : list.readAll().split(' ')) {
            if (!child.trimmed().isEmpty()) {
                children.append(child.trimmed().toLongLong());
            }
        }
    }
    return children;
}

// The CPU time of `pid` and of every process below it.
double CpuSeconds(qint64 pid) {
    double total = OwnCpuSeconds(pid);
    if (total < 0) {
        return -1;
    }
    for (const qint64 child : Children(pid)) {
        total += std::max(0.0, CpuSeconds(child));
    }
    return total;
}

// The share of one core `process` used over kMeasureMs once `milestone` was reached, in percent.
double IdlePercent(MarkedProcess& process, const QString& milestone) {
    if (process.waitForMark(milestone, kTimeoutMs) < 0) {
        std::fprintf(stderr, "did not reach '%s':\n%s\n", qPrintable(milestone),
                     qPrintable(process.output()));
        return -1;
    }
    talmor::e2e::waitFor([] { return false; }, kSettleMs);
    const qint64 pid = process.process().processId();
    const double before = CpuSeconds(pid);
    talmor::e2e::waitFor([] { return false; }, kMeasureMs);
    const double after = CpuSeconds(pid);
    if (before < 0 || after < 0) {
        return -1;
    }
    return (after - before) * 100000.0 / kMeasureMs;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    talmor::e2e::XDesktop desktop;
    talmor::e2e::ServerProcess server;
    QString error;
    // The seed without calls: nothing waits, nothing blinks.
    if (!desktop.start(QSize(1280, 800), kPanelHeight, error) ||
        !server.start(TALMOR_CONTACTS_SEED, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    MarkedProcess bare;
    bare.start(TALMOR_BARE_DIALOG_BINARY, {},
               desktop.environment(QProcessEnvironment::systemEnvironment()));
    const double barePercent = IdlePercent(bare, "dialog shown");
    bare.process().kill();

    const ConsoleHome home(server.udpPort(), server.httpPort());
    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                  desktop.environment(home.environment()));
    const double consolePercent = IdlePercent(console, "ready");

    std::printf("idle benchmark: CPU over %d s once ready, nothing waiting (X desktop with a "
                "software renderer, local quorvane-server)\n",
                kMeasureMs / 1000);
    std::printf(
        "  console and its browser processes: %6.2f %% of a core   (bare Qt dialog: %5.2f %%)\n",
        consolePercent, barePercent);
    const bool met = consolePercent >= 0 && consolePercent < 2.0;
    std::printf("  goal (console < 2 %% of a core): %s\n", met ? "met" : "NOT met");
    return 0;
}

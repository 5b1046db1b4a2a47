#include "support/serverprocess.h"

#include <QRegularExpression>

#include "support/eventloop.h"

namespace talmor::e2e {

namespace {
constexpr int kStartTimeoutMs = 20000;
constexpr int kStopTimeoutMs = 10000;
} // namespace

ServerProcess::~ServerProcess() {
    if (process_.state() != QProcess::NotRunning) {
        stop();
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kStopTimeoutMs);
        }
    }
}

QString ServerProcess::output() {
    output_ += QString::fromUtf8(process_.readAllStandardOutput());
    return output_;
}

bool ServerProcess::start(const QString& seed, QString& error, uint16_t udpPort,
                          uint16_t httpPort) {
    ensureApplication();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    output_.clear();
    // Port 0: the server takes free ports and names them in its ready line.
    process_.start(QString(TALMOR_SERVER_BINARY),
                   {"--seed", seed, "--port", QString::number(udpPort), "--http-port",
                    QString::number(httpPort)});
    if (!process_.waitForStarted(kStartTimeoutMs)) {
        error = "cannot start quorvane-server: " + process_.errorString();
        return false;
    }
    static const QRegularExpression ready("quorvane-server ready: udp (\\d+), http (\\d+)");
    QRegularExpressionMatch match;
    const bool started = waitFor(
        [&] {
            match = ready.match(output());
            return match.hasMatch() || process_.state() == QProcess::NotRunning;
        },
        kStartTimeoutMs);
    if (!started || !match.hasMatch()) {
        error = "quorvane-server did not get ready: " + output();
        return false;
    }
    udpPort_ = static_cast<uint16_t>(match.captured(1).toUInt());
    httpPort_ = static_cast<uint16_t>(match.captured(2).toUInt());
    return true;
}

bool ServerProcess::stop() {
    if (process_.state() == QProcess::NotRunning) {
        return false;
    }
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

} // namespace talmor::e2e

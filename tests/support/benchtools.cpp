#include "support/benchtools.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

#include "support/eventloop.h"

namespace talmor::e2e {

qint64 bestRun(const std::vector<qint64>& runs) {
    if (runs.empty() || std::find(runs.begin(), runs.end(), -1) != runs.end()) {
        return -1;
    }
    return *std::min_element(runs.begin(), runs.end());
}

int intOption(const QStringList& args, const char* name, int fallback) {
    const int at = static_cast<int>(args.indexOf(name));
    return at >= 0 ? std::max(1, args.value(at + 1).toInt()) : fallback;
}

uint16_t startReference(QProcess& process, const QString& flag, const QString& readyText) {
    process.start(QCoreApplication::applicationFilePath(), {flag});
    const QRegularExpression ready(readyText + ": (\\d+)");
    QRegularExpressionMatch match;
    QByteArray output;
    const bool started = waitFor(
        [&] {
            output += process.readAllStandardOutput();
            match = ready.match(QString::fromLatin1(output));
            return match.hasMatch();
        },
        20000);
    if (!started) {
        std::fprintf(stderr, "the bare reference server did not start\n");
        return 0;
    }
    return static_cast<uint16_t>(match.captured(1).toUInt());
}

bool startServer(ServerProcess& server, const QString& seed) {
    QString error;
    if (!server.start(seed, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

} // namespace talmor::e2e

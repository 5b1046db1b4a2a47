#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "support/serverprocess.h"

namespace talmor::e2e {

// What the end-to-end benchmarks share.

// The fastest of the runs; -1 when there is none or one failed (-1).
qint64 bestRun(const std::vector<qint64>& runs);
// The number after `name` on the command line (at least 1), else `fallback`.
int intOption(const QStringList& args, const char* name, int fallback);
// Starts this program again with `flag` as the bare reference server and waits for its line
// "<readyText>: <port>"; the port, or 0 (with a message) when it did not start.
uint16_t startReference(QProcess& process, const QString& flag, const QString& readyText);
// Starts quorvane-server on `seed`; false (with a message) when it did not start.
bool startServer(ServerProcess& server, const QString& seed);

} // namespace talmor::e2e

#pragma once

#include <QString>

#include <cstdint>
#include <string>

#include "support/mediaconsole.h"

namespace talmor::e2e {

// A console of the media harness with the file transfer's verbs: what the operator does in the
// chat window to offer, accept and cancel a file.
class FileConsole : public MediaConsole {
public:
    // `timeFactor` runs the file transfers' timers that many times faster.
    FileConsole(uint16_t udpPort, uint16_t httpPort, int timeFactor = 1);

    using MediaConsole::login;
    // Logs in and waits until `contact` is in the list; false when it did not come.
    bool login(uint32_t operatorId, const std::string& password, uint32_t contact);

    // The operator offers `path` to `peer` from the chat window.
    void offer(uint32_t peer, const QString& path);
    // The operator clicks " 接受 " in the chat with `peer` and saves into `path`.
    void accept(uint32_t peer, const QString& path);
    // The operator clicks " 取消 ".
    void cancel(uint32_t peer);
};

// The SHA-256 of a file's bytes in hex; empty when it cannot be read.
QByteArray FileSha256(const QString& path);
// Writes `size` bytes of a pattern made from `seed` to `path`.
bool WritePatternFile(const QString& path, qint64 size, uint32_t seed);

} // namespace talmor::e2e

#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "console/qtenvironment.h"
#include "support/fakeui.h"

namespace talmor {
class CSendMsgDlg;
class CTalmorManagerDlg;
class ChatPart;
class FilePart;
} // namespace talmor

namespace talmor::e2e {

// A whole console in this process on real sockets and timers: the main window with its chat
// and file parts, logged in to a quorvane-server; a fake operator answers its dialogs.
class FileConsole {
public:
    // `timeFactor` runs the file transfers' timers that many times faster.
    FileConsole(uint16_t udpPort, uint16_t httpPort, int timeFactor = 1);
    ~FileConsole();
    FileConsole(const FileConsole&) = delete;
    FileConsole& operator=(const FileConsole&) = delete;

    // Logs in and waits until `contact` is in the list; false when it did not come.
    bool login(uint32_t operatorId, const std::string& password, uint32_t contact);

    CTalmorManagerDlg& window() { return *window_; }
    ChatPart& chats();
    FilePart& files();
    CSendMsgDlg& chatWith(uint32_t peer);
    // The chat display's text with `peer`; empty when no chat window is open.
    QString shown(uint32_t peer);

    // The operator offers `path` to `peer` from the chat window.
    void offer(uint32_t peer, const QString& path);
    // The operator clicks " 接受 " in the chat with `peer` and saves into `path`.
    void accept(uint32_t peer, const QString& path);
    // The operator clicks " 取消 ".
    void cancel(uint32_t peer);

    testing::FakeUi ui;

private:
    QtEnvironment environment_;
    std::unique_ptr<CTalmorManagerDlg> window_;
    uint16_t udpPort_;
    uint16_t httpPort_;
    int timeFactor_;
};

// The SHA-256 of a file's bytes in hex; empty when it cannot be read.
QByteArray FileSha256(const QString& path);
// Writes `size` bytes of a pattern made from `seed` to `path`.
bool WritePatternFile(const QString& path, qint64 size, uint32_t seed);

} // namespace talmor::e2e

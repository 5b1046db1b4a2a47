#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "console/qtenvironment.h"
#include "kit/deployment.h"
#include "support/fakeui.h"

namespace talmor {
class CSendMsgDlg;
class CTalmorManagerDlg;
class ChatPart;
class VideoChatLink;
} // namespace talmor

namespace talmor::e2e {

// The console's main window with its chat and media parts, in this process on real Qt sockets
// and timers, logged in to a real quorvane-server; its pictures come from `videoSource` (the
// [video] source key). A fake operator answers its message boxes with Yes.
class VideoConsole {
public:
    VideoConsole(uint16_t udpPort, uint16_t httpPort, const QString& videoSource);
    ~VideoConsole();

    void login(uint32_t operatorId, const std::string& password);
    bool ready() const;
    // Whether `peer` is in the contact list and online.
    bool seesOnline(uint32_t peer) const;

    CTalmorManagerDlg& window() { return *window_; }
    ChatPart& chats();
    // The open chat window with `peer`, or none; chatWith opens it.
    CSendMsgDlg* findChat(uint32_t peer);
    CSendMsgDlg& chatWith(uint32_t peer);
    // The video chat of the open chat window with `peer`, or none.
    VideoChatLink* video(uint32_t peer);

    testing::FakeUi ui;

private:
    QtEnvironment environment_;
    Deployment deployment_;
    std::unique_ptr<CTalmorManagerDlg> window_;
};

// One application folder for the consoles of this process.
void UseVideoApplicationFolder();

} // namespace talmor::e2e

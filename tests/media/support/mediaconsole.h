#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "console/qtenvironment.h"
#include "kit/deployment.h"
#include "media/mediaparts.h"
#include "support/fakeui.h"

namespace talmor {
class CSendMsgDlg;
class CTalmorManagerDlg;
class ChatPart;
class VideoChatLink;
} // namespace talmor

namespace talmor::e2e {

class ControlClient;

// A whole console in this process on real Qt sockets and timers: the main window with its chat
// and media parts, for a quorvane-server on loopback; a fake operator answers its dialogs.
class MediaConsole {
public:
    explicit MediaConsole(const Deployment& deployment);
    virtual ~MediaConsole();
    MediaConsole(const MediaConsole&) = delete;
    MediaConsole& operator=(const MediaConsole&) = delete;

    // Starts the login; false when it could not start.
    bool login(uint32_t operatorId, const std::string& password);
    bool ready() const;
    // Whether `peer` is in the contact list and online.
    bool seesOnline(uint32_t peer) const;

    CTalmorManagerDlg& window() { return *window_; }
    ChatPart& chats();
    FilePart& files() { return *parts_.file; }
    VoicePart& voice() { return *parts_.voice; }
    // The open chat window with `peer`, or none; chatWith opens it.
    CSendMsgDlg* findChat(uint32_t peer);
    CSendMsgDlg& chatWith(uint32_t peer);
    // The chat display's text with `peer`; empty when no chat window is open.
    QString shown(uint32_t peer);
    // The video chat of the open chat window with `peer`, or none.
    VideoChatLink* video(uint32_t peer);

    testing::FakeUi ui;

private:
    QtEnvironment environment_;
    std::unique_ptr<CTalmorManagerDlg> window_;
    MediaParts parts_;
};

// The deployment of a console talking to the server on `udpPort`, its back office on
// `httpPort`.
Deployment MediaDeployment(uint16_t udpPort, uint16_t httpPort);

// Tells the server what the presence of `operatorId` announces ("real", "none" or
// "unreachable"); what went wrong, if anything.
std::optional<QString> AnnounceAddress(ControlClient& control, uint32_t operatorId,
                                       const char* mode);

// Waits until `a` sees `b` online and `b` sees `a`; what went wrong, if anything.
std::optional<QString> WaitOnlineToEachOther(MediaConsole& a, uint32_t idA, MediaConsole& b,
                                             uint32_t idB, int waitMs);

} // namespace talmor::e2e

#include "support/mediaconsole.h"

#include "console/talmormanagerdlg.h"
#include "media/video/videopart.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/qtapp.h"

namespace talmor::e2e {

MediaConsole::MediaConsole(const Deployment& deployment) {
    testing::EnsureApplication();
    window_ = std::make_unique<CTalmorManagerDlg>(environment_.services(), deployment, ui, false);
    environment_.setTimerTarget([this](int id) { window_->onTimer(id); });
    InstallMessagingParts(*window_);
    parts_ = InstallMediaParts(*window_);
}

MediaConsole::~MediaConsole() {
    environment_.setTimerTarget({});
    // Chat windows are top-level windows of their own: they go before the window they serve.
    for (const auto& record : window_->contacts().records()) {
        delete chats().findChat(record->id);
    }
    window_.reset();
}

bool MediaConsole::login(uint32_t operatorId, const std::string& password) {
    return window_->StartLogin(operatorId, password);
}

bool MediaConsole::ready() const {
    return window_->ready();
}

bool MediaConsole::seesOnline(uint32_t peer) const {
    const ContactRecord* record = window_->contacts().find(peer);
    return record != nullptr && record->status == kStatusOnline;
}

ChatPart& MediaConsole::chats() {
    return *window_->routes().chat;
}

CSendMsgDlg* MediaConsole::findChat(uint32_t peer) {
    return chats().findChat(peer);
}

CSendMsgDlg& MediaConsole::chatWith(uint32_t peer) {
    chats().openChat(peer, MessagingReceiver::ChatStart::Open);
    return *chats().findChat(peer);
}

QString MediaConsole::shown(uint32_t peer) {
    CSendMsgDlg* chat = findChat(peer);
    return chat != nullptr ? chat->display().toPlainText() : QString();
}

VideoChatLink* MediaConsole::video(uint32_t peer) {
    return parts_.video->linkFor(peer);
}

Deployment MediaDeployment(uint16_t udpPort, uint16_t httpPort) {
    Deployment deployment;
    deployment.port = udpPort;
    deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(httpPort);
    return deployment;
}

std::optional<QString> AnnounceAddress(ControlClient& control, uint32_t operatorId,
                                       const char* mode) {
    if (!control.post(QStringLiteral("/api/address?operator=%1&mode=%2")
                          .arg(operatorId)
                          .arg(QString::fromLatin1(mode)))) {
        return QStringLiteral("the server did not take the address mode of %1").arg(operatorId);
    }
    return std::nullopt;
}

std::optional<QString> WaitOnlineToEachOther(MediaConsole& a, uint32_t idA, MediaConsole& b,
                                             uint32_t idB, int waitMs) {
    if (!waitFor([&] { return a.seesOnline(idB) && b.seesOnline(idA); }, waitMs)) {
        return QStringLiteral("%1 and %2 never saw each other online").arg(idA).arg(idB);
    }
    return std::nullopt;
}

} // namespace talmor::e2e

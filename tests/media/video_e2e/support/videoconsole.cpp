#include "support/videoconsole.h"

#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "media/mediaparts.h"
#include "media/video/videochatlink.h"
#include "media/video/videopart.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "support/qtapp.h"

namespace talmor::e2e {

void UseVideoApplicationFolder() {
    static testing::TempFolder folder;
    setApplicationFolders({folder.path(), folder.path()});
}

VideoConsole::VideoConsole(uint16_t udpPort, uint16_t httpPort, const QString& videoSource) {
    testing::EnsureApplication();
    UseVideoApplicationFolder();
    ui.answerYes = true;
    deployment_.port = udpPort;
    deployment_.backOfficeHost = QString("127.0.0.1:%1").arg(httpPort);
    deployment_.videoSource = videoSource;
    window_ = std::make_unique<CTalmorManagerDlg>(environment_.services(), deployment_, ui, false);
    environment_.setTimerTarget([this](int id) { window_->onTimer(id); });
    InstallMessagingParts(*window_);
    InstallMediaParts(*window_);
}

VideoConsole::~VideoConsole() {
    environment_.setTimerTarget({});
    if (window_ != nullptr) {
        for (const auto& record : window_->contacts().records()) {
            delete chats().findChat(record->id);
        }
    }
    window_.reset();
}

void VideoConsole::login(uint32_t operatorId, const std::string& password) {
    window_->StartLogin(operatorId, password);
}

bool VideoConsole::ready() const {
    return window_->ready();
}

bool VideoConsole::seesOnline(uint32_t peer) const {
    const ContactRecord* record = window_->contacts().find(peer);
    return record != nullptr && record->status == kStatusOnline;
}

ChatPart& VideoConsole::chats() {
    return *window_->routes().chat;
}

CSendMsgDlg* VideoConsole::findChat(uint32_t peer) {
    return chats().findChat(peer);
}

CSendMsgDlg& VideoConsole::chatWith(uint32_t peer) {
    chats().openChat(peer, MessagingReceiver::ChatStart::Open);
    return *chats().findChat(peer);
}

VideoChatLink* VideoConsole::video(uint32_t peer) {
    return dynamic_cast<VideoPart*>(window_->routes().video)->linkFor(peer);
}

} // namespace talmor::e2e

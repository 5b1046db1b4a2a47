#include "media/video/videopart.h"

#include "kit/consolehost.h"
#include "kit/deployment.h"
#include "media/video/videochatlink.h"
#include "media/video/videosource.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/platformclient.h"

namespace talmor {

VideoPart::VideoPart(ConsoleHost& window)
    : QObject(&window.mainWidget()), window_(window), chats_(window.routes().chat) {
    window.client().setVideoCapable(VideoSourcePresent(window.deployment().videoSource));
    if (chats_ != nullptr) {
        connect(chats_, &ChatPart::chatOpened, this, &VideoPart::attach);
    }
}

void VideoPart::attach(CSendMsgDlg* chat) {
    new VideoChatLink(window_, *chat);
}

VideoChatLink* VideoPart::linkFor(uint32_t peer) const {
    CSendMsgDlg* chat = chats_ != nullptr ? chats_->findChat(peer) : nullptr;
    return chat != nullptr ? chat->findChild<VideoChatLink*>(QString(), Qt::FindDirectChildrenOnly)
                           : nullptr;
}

template <typename Event> void VideoPart::toChat(uint32_t peer, Event event) {
    if (VideoChatLink* link = linkFor(peer)) {
        event(link->chat());
        if (CSendMsgDlg* chat = qobject_cast<CSendMsgDlg*>(link->parent())) {
            chat->videoRunning = link->chat().running();
        }
    }
}

void VideoPart::onOffer(uint32_t peer) {
    if (chats_ != nullptr) {
        chats_->chatWith(peer, true);
    }
    toChat(peer, [](VideoChat& chat) { chat.onOffer(); });
}

void VideoPart::onAccepted(uint32_t peer, uint16_t port) {
    toChat(peer, [port](VideoChat& chat) { chat.onAccepted(port); });
}

void VideoPart::onCancelled(uint32_t peer) {
    toChat(peer, [](VideoChat& chat) { chat.onCancelled(); });
}

void VideoPart::onChannelReady(uint32_t peer, bool relayed) {
    toChat(peer, [relayed](VideoChat& chat) { chat.onChannel(relayed); });
}

void VideoPart::onChannelStarted(uint32_t peer, bool relayed) {
    toChat(peer, [relayed](VideoChat& chat) { chat.onChannel(relayed); });
}

void VideoPart::onData(uint32_t peer, const uint8_t* data, uint32_t length) {
    if (VideoChatLink* link = linkFor(peer)) {
        link->chat().onPacket(data, length);
    }
}

} // namespace talmor

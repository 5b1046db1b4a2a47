#pragma once

#include <QObject>

#include "kit/eventroutes.h"

namespace talmor {

class ChatPart;
class CSendMsgDlg;
class ConsoleHost;
class VideoChatLink;

// The receiver of the video events: each chat window gets its video pane and video chat when
// it opens, and the events of a contact reach the chat in that contact's window. Installed as
// the main window's routes().video; it also tells the login whether a video source exists.
class VideoPart : public QObject, public TalkReceiver {
    Q_OBJECT
public:
    explicit VideoPart(ConsoleHost& window);

    // The video chat of the open chat window with `peer`, or none.
    VideoChatLink* linkFor(uint32_t peer) const;

    void onOffer(uint32_t peer) override;
    void onAccepted(uint32_t peer, uint16_t port) override;
    void onCancelled(uint32_t peer) override;
    void onChannelReady(uint32_t peer, bool relayed) override;
    void onChannelStarted(uint32_t peer, bool relayed) override;
    void onData(uint32_t peer, const uint8_t* data, uint32_t length) override;

private:
    void attach(CSendMsgDlg* chat);
    // The open chat's link; after the event the chat window's flag follows the chat.
    template <typename Event> void toChat(uint32_t peer, Event event);

    ConsoleHost& window_;
    // The chat part, installed before the media parts; its windows hold the video chats.
    ChatPart* chats_;
};

} // namespace talmor

#include "messaging/chat/chatpart.h"

#include <QApplication>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "messaging/chat/chathistory.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/historysearchdlg.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/contactstore.h"
#include "protocol/messagebody.h"
#include "protocol/ownprofile.h"
#include "protocol/peersessionmanager.h"
#include "protocol/registeredwindow.h"
#include "storage/consoleoptions.h"

namespace talmor {

ChatPart::ChatPart(ConsoleHost& window)
    : QObject(&window.mainWidget()), window_(window),
      outbox_(
          window.windows(), [this](const MessageRecord& message) { store(message); },
          [this](const MessageRecord& message) { serverTimedOut(message); }),
      history_(&StoreInHistory) {
    history_.setFailureHandler([this](bool failing) {
        if (failing) {
            historyRetry_.start(kHistoryRetryMs);
            window_.ui().notice(nullptr, QString::fromUtf8(chat::kHistoryNotWritten));
        } else {
            historyRetry_.stop();
        }
    });
    connect(&historyRetry_, &QTimer::timeout, this, [this] { history_.retry(); });
    window.addMenuCommand(QString::fromUtf8(chat::kContactsMenu), CHistorySearchDlg::kCommand,
                          QString::fromUtf8(chat::kSearchAllTitle), false,
                          [this] { openHistorySearch(); });
}

CHistorySearchDlg* ChatPart::openHistorySearch() {
    if (search_ == nullptr) {
        search_ = new CHistorySearchDlg(window_);
    }
    search_->show();
    search_->raise();
    return search_;
}

CSendMsgDlg* ChatPart::findChat(uint32_t peer) const {
    return dynamic_cast<CSendMsgDlg*>(
        window_.windows().findWindow(CSendMsgDlg::kWindowType, peer, 0));
}

CSendMsgDlg* ChatPart::chatWith(uint32_t peer, bool fromIncoming) {
    if (CSendMsgDlg* open = findChat(peer)) {
        if (!fromIncoming) {
            open->showNormal();
            open->raise();
            open->activateWindow();
        }
        QApplication::alert(open);
        return open;
    }
    auto* chat = new CSendMsgDlg(window_, peer, fromIncoming);
    emit chatOpened(chat);
    return chat;
}

void ChatPart::onMessage(MessageRecord message) {
    ContactRecord* contact = window_.contacts().find(message.peerId);
    if (contact == nullptr) {
        return; // not a contact: neither shown nor answered
    }
    if (contact->status == kStatusOffline && (message.flags & kMessageViaServer) == 0) {
        // It wrote directly, so it is there: the contact pane and its chat window show it.
        if (ContactReceiver* pane = window_.routes().contacts) {
            pane->onContactOnline(message.peerId, kStatusOnline, false);
        }
        contact->status = kStatusOnline;
        onContactChanged(message.peerId);
    }
    chatWith(message.peerId, true)->showIncoming(message);
    if (message.kind != kMessageKindFormatted) {
        return;
    }
    autoReply(message);
    store(message);
}

void ChatPart::store(const MessageRecord& message) {
    history_.store(message);
}

void ChatPart::serverTimedOut(const MessageRecord& message) {
    // A closed window opens again (flashing) so that the operator hears of the message.
    chatWith(message.peerId, true)->askResend(message);
}

void ChatPart::autoReply(const MessageRecord& message) {
    const storage::ConsoleOptions& options = window_.options();
    if (window_.own().status != kStatusAway || !options.bit(storage::kOptionAutoReply) ||
        options.autoReplyText.empty()) {
        return;
    }
    MessageRecord reply;
    reply.kind = kMessageKindAutoReply;
    reply.peerId = message.peerId;
    reply.text = options.autoReplyText;
    window_.peers().sendChatMessage(reply.kind, reply.peerId, encodeMessageBody(reply), false);
}

void ChatPart::onContactChanged(uint32_t userId) {
    if (CSendMsgDlg* chat = findChat(userId)) {
        chat->refreshContact();
    }
}

void ChatPart::openChat(uint32_t userId, ChatStart start) {
    if (window_.contacts().find(userId) == nullptr) {
        return;
    }
    CSendMsgDlg* window = chatWith(userId, false);
    switch (start) {
    case ChatStart::Open:
        break;
    case ChatStart::SendFile:
        window->command(chat::kCmdFile);
        break;
    case ChatStart::Voice:
        window->command(chat::kCmdVoice);
        break;
    case ChatStart::Video:
        window->command(chat::kCmdVideo);
        break;
    }
}

} // namespace talmor

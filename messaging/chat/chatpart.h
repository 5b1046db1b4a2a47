#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "kit/eventroutes.h"
#include "messaging/chat/chatoutbox.h"
#include "messaging/chat/historywriter.h"

namespace talmor {

class CHistorySearchDlg;
class CSendMsgDlg;
class ConsoleHost;

// The receiver of the chat events: it opens the chat windows (one per contact), hands them the
// messages that arrive, answers them automatically while the operator is away, and files them
// in the history. Installed as the main window's routes().messaging; the file, voice and video
// parts show their notices and strips in the windows it opens.
class ChatPart : public QObject, public MessagingReceiver {
    Q_OBJECT
public:
    explicit ChatPart(ConsoleHost& window);

    // The open chat window with `peer`, or none.
    CSendMsgDlg* findChat(uint32_t peer) const;
    // The chat window with `peer`: the open one, flashed, or a new one.
    CSendMsgDlg* chatWith(uint32_t peer, bool fromIncoming);

    // The search over every contact's history (main menu), opened or shown again.
    CHistorySearchDlg* openHistorySearch();

    // The messages sent through the server that wait for its acknowledgement.
    ChatOutbox& outbox() { return outbox_; }
    // Every message sent or received goes into the history through here.
    void store(const MessageRecord& message);
    HistoryWriter& history() { return history_; }
    // How often messages that could not be stored are tried again.
    static constexpr int kHistoryRetryMs = 5000;

    void onMessage(MessageRecord message) override;
    void onContactChanged(uint32_t userId) override;
    void openChat(uint32_t userId, ChatStart start) override;

signals:
    // A new chat window opened (the file, voice and video parts connect to it).
    void chatOpened(CSendMsgDlg* chat);

private:
    // The automatic reply to `message`, when one is due.
    void autoReply(const MessageRecord& message);
    // The server never acknowledged `message`: its chat window asks whether to send it again.
    void serverTimedOut(const MessageRecord& message);

    ConsoleHost& window_;
    QPointer<CHistorySearchDlg> search_;
    ChatOutbox outbox_;
    HistoryWriter history_;
    QTimer historyRetry_;
};

} // namespace talmor

#pragma once

#include <QObject>
#include <QPointer>

#include "console/eventroutes.h"

namespace talmor {

class CHistorySearchDlg;
class CSendMsgDlg;
class CTalmorManagerDlg;

// The receiver of the chat events: it opens the chat windows (one per contact), hands them the
// messages that arrive, answers them automatically while the operator is away, and files them
// in the history. Installed as the main window's routes().messaging; the file, voice and video
// events reach the chat window's notices, the rest of them are reported until their sessions
// take them.
class ChatPart : public QObject, public MessagingReceiver {
    Q_OBJECT
public:
    explicit ChatPart(CTalmorManagerDlg& window);

    // The open chat window with `peer`, or none.
    CSendMsgDlg* findChat(uint32_t peer) const;
    // The chat window with `peer`: the open one, flashed, or a new one.
    CSendMsgDlg* chatWith(uint32_t peer, bool fromIncoming);

    // The search over every contact's history (main menu), opened or shown again.
    CHistorySearchDlg* openHistorySearch();

    void onMessage(MessageRecord message) override;
    void onContactChanged(uint32_t userId) override;
    void openChat(uint32_t userId, ChatStart start) override;

    void onFileOffer(uint32_t peer, uint32_t size, const std::string& name) override;
    void onFileAccepted(uint32_t peer, uint16_t port) override;
    void onFileCancelled(uint32_t peer) override;
    void onFileRelayReady(uint32_t peer, uint32_t received, bool relayed) override;
    void onFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length,
                         uint32_t sent) override;
    void onFileTransferDone(uint32_t peer) override;
    void onFileProgress(uint32_t peer, uint32_t total, uint32_t done) override;
    std::string transferFilePath(uint32_t peer) override;
    uint32_t transferFileSize(uint32_t peer) override;
    void onVoiceOffer(uint32_t peer) override;
    void onVoiceAccepted(uint32_t peer, uint16_t port) override;
    void onVoiceCancelled(uint32_t peer) override;
    void onVoiceChannelReady(uint32_t peer, bool relayed) override;
    void onVoiceChannelStarted(uint32_t peer, bool relayed) override;
    void onVoiceData(uint32_t peer, const uint8_t* data, uint32_t length) override;
    void onVideoOffer(uint32_t peer) override;
    void onVideoAccepted(uint32_t peer, uint16_t port) override;
    void onVideoCancelled(uint32_t peer) override;
    void onVideoChannelReady(uint32_t peer, bool relayed) override;
    void onVideoChannelStarted(uint32_t peer, bool relayed) override;
    void onVideoData(uint32_t peer, const uint8_t* data, uint32_t length) override;

private:
    // The automatic reply to `message`, when one is due.
    void autoReply(const MessageRecord& message);

    CTalmorManagerDlg& window_;
    QPointer<CHistorySearchDlg> search_;
};

} // namespace talmor

#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>

#include "kit/eventroutes.h"
#include "media/voice/audiodevices.h"
#include "media/voice/voicetalks.h"

namespace talmor {

class CSendMsgDlg;
class CSendWaveDlg;
class ConsoleHost;
class ChatPart;

// The receiver of the voice events (routes().voice): it runs the talks with the contacts in
// their chat windows, answers the voice button and the notice links, shows the strip of a
// running talk and carries its packets directly or through the server's relay.
class VoicePart : public QObject, public TalkReceiver, private voice::VoiceHost {
    Q_OBJECT
public:
    static constexpr int kRelayTimerMs = 5000; // timer 100003

    VoicePart(ConsoleHost& window, std::unique_ptr<voice::AudioBackend> backend);
    ~VoicePart() override;

    voice::VoiceTalks& talks() { return talks_; }
    // The strip of the talk with `peer`, when one runs.
    CSendWaveDlg* strip(uint32_t peer) const;
    // Timer 100003 of the chat window with `peer`, when it runs.
    QTimer* relayTimer(uint32_t peer) const;

    void onOffer(uint32_t peer) override;
    void onAccepted(uint32_t peer, uint16_t port) override;
    void onCancelled(uint32_t peer) override;
    void onChannelReady(uint32_t peer, bool relayed) override;
    void onChannelStarted(uint32_t peer, bool relayed) override;
    void onData(uint32_t peer, const uint8_t* data, uint32_t length) override;

private:
    ChatPart& chats() const;
    // Connects to the hooks of a chat window once.
    void watch(CSendMsgDlg* chat);
    CSendMsgDlg* chat(uint32_t peer);
    // The voice button of the chat with `peer`.
    void voiceCommand(uint32_t peer);
    void send(uint32_t peer, const uint8_t* packet, std::size_t length);

    void sendOffer(uint32_t peer) override;
    bool ownOfferWins(uint32_t peer) const override;
    void sendAccept(uint32_t peer, uint16_t port) override;
    void sendCancel(uint32_t peer) override;
    void sendRelayAsk(uint32_t peer) override;
    uint16_t listenFor(uint32_t peer) override;
    void startDirect(uint32_t peer, uint16_t port) override;
    void closeSessions(uint32_t peer) override;
    void showRequestNotice(uint32_t peer) override;
    void showOfferNotice(uint32_t peer) override;
    void showLine(uint32_t peer, voice::TalkLine line) override;
    void setRunning(uint32_t peer, bool running) override;
    void startRelayTimer(uint32_t peer) override;
    void stopRelayTimer(uint32_t peer) override;
    void openStrip(uint32_t peer) override;
    void closeStrip(uint32_t peer) override;
    bool confirmEndTalk(uint32_t peer, uint32_t running) override;

    ConsoleHost& window_;
    std::unique_ptr<voice::AudioBackend> backend_;
    voice::VoiceTalks talks_;
    std::map<uint32_t, QPointer<QTimer>> timers_;
};

} // namespace talmor

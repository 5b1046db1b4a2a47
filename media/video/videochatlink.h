#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

#include "media/video/sendvideodlg.h"
#include "media/video/videochat.h"

namespace talmor {

class CSendMsgDlg;
class ConsoleHost;
class VideoSource;

// Timer 100004: the requesting side's switch to the server's relay.
constexpr int kVideoFallbackTimer = 100004;

// The video chat of one chat window: the chat's logic wired to the console (requests, the
// "SendVideo" session, timer 100004), to the chat window (notices, links, the video command,
// the right-hand pane) and to the video source. Everything runs on the user-interface thread.
class VideoChatLink : public QObject, public VideoChatHost {
    Q_OBJECT
public:
    VideoChatLink(ConsoleHost& main, CSendMsgDlg& chat);
    ~VideoChatLink() override;

    VideoChat& chat() { return chat_; }
    CSendVideoDlg* pane() const { return pane_; }
    uint32_t peer() const { return peer_; }
    bool ownOfferWins() const override;
    bool fallbackRunning() const { return fallback_.isActive(); }

    // The chat window's video command: a request, or the question whether to end the chat.
    void videoCommand();
    // The chat window's notice links 10005 and 10006.
    void onNotification(int code);

    void sendOffer() override;
    void sendAccept(uint16_t port) override;
    void sendCancel() override;
    void sendRelayAsk() override;
    uint16_t sendRelayData(const std::vector<uint8_t>& packet) override;
    bool requestPending(uint16_t seq) const override;
    uint16_t listenForVideo() override;
    void startDirect(uint16_t port) override;
    bool sendDirect(const std::vector<uint8_t>& packet) override;
    std::size_t directUnsent() const override;
    void closeDirect() override;
    void startFallbackTimer() override;
    void stopFallbackTimer() override;
    void showNotice(VideoNotice notice) override;
    void showVideoPane(bool shown) override;
    bool openSource() override;
    void closeSource() override;
    void drawOwn(const uint8_t* rgb) override;
    void drawPeer(const uint8_t* rgb) override;

private:
    // Keeps the chat window's flag in step with the chat.
    void syncRunning();

    ConsoleHost& main_;
    QPointer<CSendMsgDlg> window_;
    QPointer<CSendVideoDlg> pane_;
    uint32_t peer_;
    QTimer fallback_;
    std::unique_ptr<VideoSource> source_;
    VideoChat chat_;
};

} // namespace talmor

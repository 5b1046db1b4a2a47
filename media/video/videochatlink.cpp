#include "media/video/videochatlink.h"

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/deployment.h"
#include "media/video/sendvideodlg.h"
#include "media/video/videosource.h"
#include "media/video/videotexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/ownprofile.h"
#include "protocol/peersession.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

VideoChatLink::VideoChatLink(ConsoleHost& main, CSendMsgDlg& chat)
    : QObject(&chat), main_(main), window_(&chat), peer_(chat.peerId()), chat_(*this) {
    auto* pane = new CSendVideoDlg(main.windows(), peer_);
    pane_ = pane;
    chat.setVideoPane(pane);
    fallback_.setInterval(VideoChat::kFallbackMs);
    connect(&fallback_, &QTimer::timeout, this, [this] {
        chat_.onFallbackTimer();
        syncRunning();
    });
    connect(&chat, &CSendMsgDlg::mediaRequested, this, [this](int command) {
        if (command == chat::kCmdVideo) {
            videoCommand();
        }
    });
    connect(&chat, &CSendMsgDlg::notification, this, &VideoChatLink::onNotification);
}

VideoChatLink::~VideoChatLink() {
    // The chat window closes (it asked the operator already): the peer is told.
    chat_.end();
}

bool VideoChatLink::ownOfferWins() const {
    return main_.own().record.id < peer_;
}

void VideoChatLink::videoCommand() {
    if (!chat_.running()) {
        chat_.request();
    } else if (main_.ui().question(window_, QString::fromUtf8(video::kCancelQuestion))) {
        chat_.cancel();
    }
    syncRunning();
}

void VideoChatLink::onNotification(int code) {
    if (code == kAcceptVideo) {
        chat_.accept();
    } else if (code == kCancelVideo) {
        chat_.cancel();
    }
    syncRunning();
}

void VideoChatLink::syncRunning() {
    if (window_ != nullptr) {
        window_->videoRunning = chat_.running();
    }
}

void VideoChatLink::sendOffer() {
    main_.client().videoOffer(peer_);
}

void VideoChatLink::sendAccept(uint16_t port) {
    main_.client().videoAccept(peer_, port);
}

void VideoChatLink::sendCancel() {
    main_.client().videoCancel(peer_);
}

void VideoChatLink::sendRelayAsk() {
    main_.client().videoRelayAsk(peer_);
}

uint16_t VideoChatLink::sendRelayData(const std::vector<uint8_t>& packet) {
    return main_.client().videoRelayData(peer_, packet.data(), packet.size());
}

bool VideoChatLink::requestPending(uint16_t seq) const {
    return main_.client().udpSession().isPending(seq);
}

uint16_t VideoChatLink::listenForVideo() {
    PeerSessionManager& peers = main_.peers();
    // Opening a listener closes every video session: while a chat with another contact uses
    // one, this one gets no listener (port 0) and goes through the relay instead of ending it.
    peers.closeSessionsFor(kVideoKind, peer_);
    return peers.findSession(kVideoKind, 0) != nullptr ? 0 : peers.listenFor(kVideoKind, peer_);
}

void VideoChatLink::startDirect(uint16_t port) {
    main_.peers().startVideo(peer_, port);
}

bool VideoChatLink::sendDirect(const std::vector<uint8_t>& packet) {
    return main_.peers().sendVideoData(peer_, packet.data(), packet.size());
}

std::size_t VideoChatLink::directUnsent() const {
    return main_.peers().unsentVideoBytes(peer_);
}

void VideoChatLink::closeDirect() {
    main_.peers().closeSessions(kVideoKind, peer_);
}

void VideoChatLink::startFallbackTimer() {
    fallback_.start();
}

void VideoChatLink::stopFallbackTimer() {
    fallback_.stop();
}

void VideoChatLink::showNotice(VideoNotice notice) {
    if (window_ == nullptr) {
        return;
    }
    CMsgView& display = window_->display();
    const char* line = nullptr;
    switch (notice) {
    case VideoNotice::Request:
        ShowRequestNotice(display, OfferKind::Video, {});
        return;
    case VideoNotice::Offer:
        ShowOfferNotice(display, OfferKind::Video, {});
        return;
    case VideoNotice::YouAccepted:
        line = video::kYouAccepted;
        break;
    case VideoNotice::PeerAccepted:
        line = video::kPeerAccepted;
        break;
    case VideoNotice::YouCancelled:
        line = video::kYouCancelled;
        break;
    case VideoNotice::PeerCancelled:
        line = video::kPeerCancelled;
        break;
    case VideoNotice::CameraFailed:
        line = video::kCameraFailed;
        break;
    }
    // The offer was answered or the chat ended: its links answer no more, so an old " 取消 "
    // cannot end a later chat.
    display.forgetNoticeLinks({kCancelVideo, kAcceptVideo});
    display.appendNotice(QString::fromUtf8(line), {});
}

void VideoChatLink::showVideoPane(bool shown) {
    if (pane_ != nullptr && shown) {
        pane_->clearPictures();
    }
    if (window_ != nullptr) {
        window_->showVideoPane(shown);
    }
}

bool VideoChatLink::openSource() {
    source_ = MakeVideoSource(main_.deployment().videoSource);
    connect(source_.get(), &VideoSource::picture, this, [this](const QByteArray& rgb) {
        chat_.onCapturedPicture(reinterpret_cast<const uint8_t*>(rgb.constData()),
                                static_cast<std::size_t>(rgb.size()));
    });
    connect(source_.get(), &VideoSource::failed, this, [this] { chat_.onSourceFailed(); });
    return source_->start();
}

void VideoChatLink::closeSource() {
    if (source_ != nullptr) {
        source_->stop();
        source_->disconnect(this);
        // It may be the source's own signal that ends it.
        source_.release()->deleteLater();
    }
}

void VideoChatLink::drawOwn(const uint8_t* rgb) {
    if (pane_ != nullptr) {
        pane_->setOwnPicture(rgb);
    }
}

void VideoChatLink::drawPeer(const uint8_t* rgb) {
    if (pane_ != nullptr) {
        pane_->setPeerPicture(rgb);
    }
}

} // namespace talmor

#include "media/voice/voicepart.h"

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/deployment.h"
#include "kit/gbktext.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicetexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/contactstore.h"
#include "protocol/ownprofile.h"
#include "protocol/peersession.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

namespace {
constexpr const char* kWatched = "voiceWatched";
} // namespace

VoicePart::VoicePart(ConsoleHost& window, std::unique_ptr<voice::AudioBackend> backend)
    : QObject(&window.mainWidget()), window_(window), backend_(std::move(backend)), talks_(*this) {
    connect(&chats(), &ChatPart::chatOpened, this, &VoicePart::watch);
}

VoicePart::~VoicePart() = default;

ChatPart& VoicePart::chats() const {
    // The media parts are installed only beside a chat part; the voice talks live in its windows.
    return *window_.routes().chat;
}

void VoicePart::watch(CSendMsgDlg* chat) {
    if (chat->property(kWatched).toBool()) {
        return;
    }
    chat->setProperty(kWatched, true);
    const uint32_t peer = chat->peerId();
    connect(chat, &CSendMsgDlg::notification, this, [this, peer](int code) {
        if (code == kAcceptVoice) {
            talks_.accept(peer);
        } else if (code == kCancelVoice) {
            talks_.cancel(peer);
        }
    });
    connect(chat, &CSendMsgDlg::mediaRequested, this, [this, peer](int command) {
        if (command == chat::kCmdVoice) {
            voiceCommand(peer);
        }
    });
    // The window asked its closing question already; its strip and timer go with it.
    connect(chat, &QObject::destroyed, this, [this, peer] {
        timers_.erase(peer);
        talks_.windowClosed(peer);
    });
}

CSendMsgDlg* VoicePart::chat(uint32_t peer) {
    CSendMsgDlg* open = chats().findChat(peer);
    if (open == nullptr) {
        open = chats().chatWith(peer, true);
    }
    watch(open);
    return open;
}

void VoicePart::voiceCommand(uint32_t peer) {
    if (!talks_.running(peer)) {
        talks_.request(peer);
        return;
    }
    if (window_.ui().question(chats().findChat(peer),
                              QString::fromUtf8(voice::texts::kCancelRunning))) {
        talks_.cancel(peer);
    }
}

CSendWaveDlg* VoicePart::strip(uint32_t peer) const {
    return dynamic_cast<CSendWaveDlg*>(
        window_.windows().findWindow(CSendWaveDlg::kWindowType, peer, 0));
}

QTimer* VoicePart::relayTimer(uint32_t peer) const {
    const auto found = timers_.find(peer);
    return found != timers_.end() && found->second && found->second->isActive()
               ? found->second.data()
               : nullptr;
}

void VoicePart::onOffer(uint32_t peer) {
    talks_.offered(peer);
}

void VoicePart::onAccepted(uint32_t peer, uint16_t port) {
    talks_.accepted(peer, port);
}

void VoicePart::onCancelled(uint32_t peer) {
    talks_.cancelled(peer);
}

void VoicePart::onChannelReady(uint32_t peer, bool relayed) {
    talks_.channelOpen(peer, relayed);
}

void VoicePart::onChannelStarted(uint32_t peer, bool relayed) {
    talks_.channelOpen(peer, relayed);
}

void VoicePart::onData(uint32_t peer, const uint8_t* data, uint32_t length) {
    if (!talks_.playable(peer, length)) {
        return;
    }
    if (CSendWaveDlg* open = strip(peer)) {
        open->stream().receive(data, length);
    }
}

void VoicePart::send(uint32_t peer, const uint8_t* packet, std::size_t length) {
    if (talks_.relayed(peer)) {
        window_.client().voiceRelayData(peer, packet, length);
    } else {
        window_.peers().sendVoiceData(peer, packet, length);
    }
}

bool VoicePart::ownOfferWins(uint32_t peer) const {
    return window_.own().record.id < peer;
}

void VoicePart::sendOffer(uint32_t peer) {
    window_.client().voiceOffer(peer);
}

void VoicePart::sendAccept(uint32_t peer, uint16_t port) {
    window_.client().voiceAccept(peer, port);
}

void VoicePart::sendCancel(uint32_t peer) {
    window_.client().voiceCancel(peer);
}

void VoicePart::sendRelayAsk(uint32_t peer) {
    window_.client().voiceRelayAsk(peer);
}

uint16_t VoicePart::listenFor(uint32_t peer) {
    return window_.peers().listenFor(kVoiceKind, peer);
}

void VoicePart::startDirect(uint32_t peer, uint16_t port) {
    // No direct connection leaves the talk to the relay timer.
    window_.peers().startVoice(peer, port);
}

void VoicePart::closeSessions(uint32_t peer) {
    window_.peers().closeSessions(kVoiceKind, peer);
}

void VoicePart::showRequestNotice(uint32_t peer) {
    ShowRequestNotice(chat(peer)->display(), OfferKind::Voice, {});
}

void VoicePart::showOfferNotice(uint32_t peer) {
    ShowOfferNotice(chat(peer)->display(), OfferKind::Voice, {});
}

void VoicePart::showLine(uint32_t peer, voice::TalkLine line) {
    const char* text = nullptr;
    switch (line) {
    case voice::TalkLine::YouAccepted:
        text = voice::texts::kYouAccepted;
        break;
    case voice::TalkLine::PeerAccepted:
        text = voice::texts::kPeerAccepted;
        break;
    case voice::TalkLine::YouCancelled:
        text = voice::texts::kYouCancelled;
        break;
    case voice::TalkLine::PeerCancelled:
        text = voice::texts::kPeerCancelled;
        break;
    case voice::TalkLine::NoInputDevice:
        text = voice::texts::kNoInputDevice;
        break;
    case voice::TalkLine::NoOutputDevice:
        text = voice::texts::kNoOutputDevice;
        break;
    }
    chat(peer)->display().appendNotice(QString::fromUtf8(text), {});
}

void VoicePart::setRunning(uint32_t peer, bool running) {
    chat(peer)->voiceRunning = running;
}

void VoicePart::startRelayTimer(uint32_t peer) {
    QPointer<QTimer>& timer = timers_[peer];
    if (!timer) {
        // Owned by the chat window: it ends with the window.
        timer = new QTimer(chat(peer));
        timer->setObjectName(QStringLiteral("timer100003"));
        connect(timer, &QTimer::timeout, this, [this, peer] { talks_.relayTimer(peer); });
    }
    timer->start(kRelayTimerMs);
}

void VoicePart::stopRelayTimer(uint32_t peer) {
    const auto found = timers_.find(peer);
    if (found != timers_.end() && found->second) {
        found->second->stop();
    }
}

void VoicePart::openStrip(uint32_t peer) {
    if (strip(peer) != nullptr) {
        return;
    }
    CSendMsgDlg* window = chat(peer);
    const Deployment& deployment = window_.deployment();
    auto stream = std::make_unique<voice::VoiceStream>(
        *backend_, deployment.audioInput, deployment.audioOutput,
        [this, peer](const uint8_t* packet, std::size_t length) { send(peer, packet, length); });
    auto* open = new CSendWaveDlg(window_.windows(), peer, *window, std::move(stream));
    open->show();
    const voice::VoiceStream::Opened opened = open->start();
    if (!opened.input) {
        showLine(peer, voice::TalkLine::NoInputDevice);
    }
    if (!opened.output) {
        showLine(peer, voice::TalkLine::NoOutputDevice);
    }
}

void VoicePart::closeStrip(uint32_t peer) {
    delete strip(peer);
}

bool VoicePart::confirmEndTalk(uint32_t peer, uint32_t running) {
    const ContactRecord* other = window_.contacts().find(running);
    const QString nick = other != nullptr ? FromGbk(other->nick) : QString::number(running);
    return window_.ui().question(chats().findChat(peer),
                                 QString::fromUtf8(voice::texts::kEndOtherTalk).arg(nick));
}

} // namespace talmor

#include "support/talkpair.h"

#include "console/appfolders.h"
#include "media/mediaparts.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicepart.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "support/eventloop.h"

namespace talmor::voice::testing {

namespace {
constexpr int kWaitMs = 20000;
} // namespace

ChatPart& Console::chats() {
    return *window->routes().chat;
}

VoicePart& Console::voice() {
    return *dynamic_cast<VoicePart*>(window->routes().voice);
}

CSendMsgDlg* Console::chatWith(uint32_t peer) {
    return chats().findChat(peer);
}

CSendWaveDlg* Console::strip(uint32_t peer) {
    return voice().strip(peer);
}

QString Console::shown(uint32_t peer) {
    CSendMsgDlg* chat = chatWith(peer);
    return chat != nullptr ? chat->display().toPlainText() : QString();
}

TalkPair::TalkPair() {
    talmor::testing::EnsureApplication();
}

TalkPair::~TalkPair() {
    for (auto [console, peer] : {std::pair{&a, kB}, std::pair{&b, kA}}) {
        if (console->window) {
            delete console->chatWith(peer);
            console->window.reset();
        }
    }
    server.stop();
}

std::optional<QString> TalkPair::startServer(const QString& seed) {
    QString error;
    if (!server.start(seed, error)) {
        return error;
    }
    setApplicationFolders({folder.path(), folder.path()});
    return std::nullopt;
}

e2e::ControlClient& TalkPair::control() {
    if (!control_) {
        control_ = std::make_unique<e2e::ControlClient>(server.httpPort());
    }
    return *control_;
}

std::optional<QString> TalkPair::start(Console& console, uint32_t id, const QString& input,
                                       const QString& output, const char* address) {
    if (!control().post(QStringLiteral("/api/address?operator=%1&mode=%2")
                            .arg(id)
                            .arg(QString::fromLatin1(address)))) {
        return QStringLiteral("the server did not take the address mode");
    }
    Deployment deployment;
    deployment.port = server.udpPort();
    deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(server.httpPort());
    deployment.audioInput = input;
    deployment.audioOutput = output;
    console.window = std::make_unique<CTalmorManagerDlg>(console.environment.services(), deployment,
                                                         console.ui, false);
    CTalmorManagerDlg* window = console.window.get();
    console.environment.setTimerTarget([window](int timer) { window->onTimer(timer); });
    InstallMessagingParts(*window);
    InstallMediaParts(*window);
    if (!window->StartLogin(id, id == kA ? "talmor1024" : "talmor1025")) {
        return QStringLiteral("the login of %1 did not start").arg(id);
    }
    if (!e2e::waitFor([window] { return window->ready(); }, kWaitMs)) {
        return QStringLiteral("console %1 never became ready").arg(id);
    }
    return std::nullopt;
}

std::optional<QString> TalkPair::waitBothOnline() {
    for (auto [console, peer] : {std::pair{&a, kB}, std::pair{&b, kA}}) {
        CTalmorManagerDlg* window = console->window.get();
        const uint32_t other = peer;
        if (!e2e::waitFor(
                [window, other] {
                    const ContactRecord* record = window->contacts().find(other);
                    return record != nullptr && record->status == kStatusOnline;
                },
                kWaitMs)) {
            return QStringLiteral("%1 never saw the other console online").arg(other);
        }
    }
    return std::nullopt;
}

std::optional<QString> TalkPair::talk() {
    a.chats().openChat(kB, MessagingReceiver::ChatStart::Voice);
    if (!e2e::waitFor([this] { return b.chatWith(kA) && b.chatWith(kA)->voiceRunning; }, kWaitMs)) {
        return QStringLiteral("the offer never reached b");
    }
    emit b.chatWith(kA)->display().notification(kAcceptVoice);
    if (!e2e::waitFor([this] { return a.strip(kB) && b.strip(kA); }, kWaitMs)) {
        return QStringLiteral("the strips never opened");
    }
    return std::nullopt;
}

} // namespace talmor::voice::testing

#include "support/talkpair.h"

#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicepart.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "support/eventloop.h"

namespace talmor::voice::testing {

namespace {
constexpr int kWaitMs = 20000;
} // namespace

CSendWaveDlg* VoiceConsole::strip(uint32_t peer) {
    return voice().strip(peer);
}

TalkPair::TalkPair() {
    talmor::testing::EnsureApplication();
}

TalkPair::~TalkPair() {
    a.reset();
    b.reset();
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

std::optional<QString> TalkPair::start(uint32_t id, const QString& input, const QString& output,
                                       const char* address) {
    if (auto error = e2e::AnnounceAddress(control(), id, address)) {
        return error;
    }
    Deployment deployment = e2e::MediaDeployment(server.udpPort(), server.httpPort());
    deployment.audioInput = input;
    deployment.audioOutput = output;
    std::unique_ptr<VoiceConsole>& console = id == kA ? a : b;
    console = std::make_unique<VoiceConsole>(deployment);
    if (!console->login(id, id == kA ? "talmor1024" : "talmor1025")) {
        return QStringLiteral("the login of %1 did not start").arg(id);
    }
    VoiceConsole* started = console.get();
    if (!e2e::waitFor([started] { return started->ready(); }, kWaitMs)) {
        return QStringLiteral("console %1 never became ready").arg(id);
    }
    return std::nullopt;
}

std::optional<QString> TalkPair::waitBothOnline() {
    return e2e::WaitOnlineToEachOther(*a, kA, *b, kB, kWaitMs);
}

std::optional<QString> TalkPair::talk() {
    a->chats().openChat(kB, MessagingReceiver::ChatStart::Voice);
    if (!e2e::waitFor([this] { return b->findChat(kA) && b->findChat(kA)->voiceRunning; },
                      kWaitMs)) {
        return QStringLiteral("the offer never reached b");
    }
    emit b->findChat(kA)->display().notification(kAcceptVoice);
    if (!e2e::waitFor([this] { return a->strip(kB) && b->strip(kA); }, kWaitMs)) {
        return QStringLiteral("the strips never opened");
    }
    return std::nullopt;
}

} // namespace talmor::voice::testing

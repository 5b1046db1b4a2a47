// Voice talk end to end: operators 1024 (A) and 1025 (B), two real consoles in this process on
// real sockets with real sound devices of a private PulseAudio, against a quorvane-server of
// their own. A's microphone is a 1 kHz sine source and its loudspeaker the null sink "a"; B's
// are a 600 Hz source and the sink "b" (different tones, so a console that played its own
// microphone could not pass). What each console played is recorded from its sink's monitor.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "console/appfolders.h"
#include "console/qtenvironment.h"
#include "console/talmormanagerdlg.h"
#include "media/mediaparts.h"
#include "media/voice/g729coder.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicepart.h"
#include "media/voice/voicetexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "protocol/commands.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fakeui.h"
#include "support/privatesound.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/testaudio.h"

namespace talmor {
namespace {

using e2e::waitFor;
using voice::testing::DominantFrequency;
using voice::testing::Level;
using voice::testing::PrivateSound;

constexpr int kWaitMs = 20000;
constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;

// One PulseAudio for the whole program: Qt Multimedia keeps its connection to the first
// server it met.
class SoundEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The widgets' application, before anything makes a plain core application.
        testing::EnsureApplication();
        if (const std::optional<QString> missing = PrivateSound::unavailable()) {
            skipped = *missing;
            return;
        }
        if (const std::optional<QString> error = sound.start()) {
            failed = *error;
        }
    }
    void TearDown() override { sound.stop(); }

    PrivateSound sound;
    QString skipped;
    QString failed;
};

SoundEnvironment* const kSound =
    static_cast<SoundEnvironment*>(::testing::AddGlobalTestEnvironment(new SoundEnvironment));

// A console of its own: window, event-loop services, operator answers, sound devices.
struct Console {
    QtEnvironment environment;
    testing::FakeUi ui;
    std::unique_ptr<CTalmorManagerDlg> window;

    ChatPart& chats() { return *dynamic_cast<ChatPart*>(window->routes().messaging); }
    VoicePart& voice() { return *dynamic_cast<VoicePart*>(window->routes().voice); }
    CSendMsgDlg* chatWith(uint32_t peer) { return chats().findChat(peer); }
    CSendWaveDlg* strip(uint32_t peer) { return voice().strip(peer); }
    QString shown(uint32_t peer) {
        CSendMsgDlg* chat = chatWith(peer);
        return chat != nullptr ? chat->display().toPlainText() : QString();
    }
};

QString Line(const char* text) {
    return QString::fromUtf8(text).remove(QLatin1Char('\r'));
}

class VoiceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kSound->skipped.isEmpty()) {
            GTEST_SKIP() << kSound->skipped.toStdString();
        }
        ASSERT_TRUE(kSound->failed.isEmpty()) << kSound->failed.toStdString();
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_CONTACTS_SEED), error))
            << error.toStdString();
        setApplicationFolders({folder.path(), folder.path()});
    }
    void TearDown() override {
        for (auto [console, peer] : {std::pair{&a, kB}, std::pair{&b, kA}}) {
            if (console->window) {
                delete console->chatWith(peer);
                console->window.reset();
            }
        }
        server.stop();
    }

    // Logs `console` in as `id` with its devices; `address` is what its presence announces.
    void start(Console& console, uint32_t id, const QString& input, const QString& output,
               const char* address = "real") {
        ASSERT_TRUE(control().post(QStringLiteral("/api/address?operator=%1&mode=%2")
                                       .arg(id)
                                       .arg(QString::fromLatin1(address))));
        Deployment deployment;
        deployment.port = server.udpPort();
        deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(server.httpPort());
        deployment.audioInput = input;
        deployment.audioOutput = output;
        console.window = std::make_unique<CTalmorManagerDlg>(console.environment.services(),
                                                             deployment, console.ui, false);
        CTalmorManagerDlg* window = console.window.get();
        console.environment.setTimerTarget([window](int timer) { window->onTimer(timer); });
        InstallMessagingParts(*window);
        InstallMediaParts(*window);
        ASSERT_TRUE(window->StartLogin(id, id == kA ? "talmor1024" : "talmor1025"));
        ASSERT_TRUE(waitFor([window] { return window->ready(); }, kWaitMs));
    }
    // Both consoles in, each seeing the other online.
    void startBoth(const char* addressOfB = "real", const QString& inputOfB = "toneB") {
        start(a, kA, QStringLiteral("toneA"), QStringLiteral("a"));
        start(b, kB, inputOfB, QStringLiteral("b"), addressOfB);
        for (auto [console, peer] : {std::pair{&a, kB}, std::pair{&b, kA}}) {
            CTalmorManagerDlg* window = console->window.get();
            const uint32_t other = peer;
            ASSERT_TRUE(waitFor(
                [window, other] {
                    const ContactRecord* record = window->contacts().find(other);
                    return record != nullptr && record->status == kStatusOnline;
                },
                kWaitMs));
        }
    }
    // A asks, B accepts, and both strips run.
    void talk() {
        a.chats().openChat(kB, MessagingReceiver::ChatStart::Voice);
        ASSERT_TRUE(waitFor([this] { return b.chatWith(kA) != nullptr; }, kWaitMs));
        ASSERT_TRUE(waitFor([this] { return b.chatWith(kA)->voiceRunning; }, kWaitMs));
        emit b.chatWith(kA)->display().notification(kAcceptVoice);
        ASSERT_TRUE(waitFor([this] { return a.strip(kB) && b.strip(kA); }, kWaitMs));
    }
    // The dominant frequency and level of what `sink` played over 2 seconds.
    void expectTone(const QString& sink, int hz) {
        // The first packets fill the path; then 2 seconds are heard.
        waitFor([] { return false; }, 1000);
        const QByteArray heard = kSound->sound.recordMonitor(sink, 2000);
        ASSERT_EQ(heard.size(), 32000) << "the recorder heard nothing";
        const double level = Level(heard);
        EXPECT_EQ(DominantFrequency(heard), hz) << "sink " << sink.toStdString();
        EXPECT_GT(level, 300) << "sink " << sink.toStdString() << " is nearly silent";
        std::printf("sink %s: dominant %.0f Hz, level %.0f\n", qPrintable(sink),
                    DominantFrequency(heard), level);
    }
    // Ending on either side closes both strips and every stream on the sound server.
    void expectEnded() {
        ASSERT_TRUE(waitFor([this] { return !a.strip(kB) && !b.strip(kA); }, kWaitMs));
        EXPECT_FALSE(a.chatWith(kB)->voiceRunning);
        EXPECT_FALSE(b.chatWith(kA)->voiceRunning);
        EXPECT_TRUE(waitFor([] { return kSound->sound.openStreams() == 0; }, kWaitMs))
            << kSound->sound.openStreams() << " streams left open";
    }
    // The voice requests `operatorId` sent through the server.
    std::size_t relayedBy(uint32_t operatorId) {
        std::size_t count = 0;
        if (const auto log =
                control().get(QStringLiteral("/api/log?operator=%1").arg(operatorId))) {
            for (const QJsonValue& entry : log->array()) {
                count += entry.toObject().value("command").toInt() == CMD_VOICE_RELAY_DATA ? 1 : 0;
            }
        }
        return count;
    }
    e2e::ControlClient& control() {
        if (!control_) {
            control_ = std::make_unique<e2e::ControlClient>(server.httpPort());
        }
        return *control_;
    }

    testing::TempFolder folder;
    e2e::ServerProcess server;
    Console a;
    Console b;
    std::unique_ptr<e2e::ControlClient> control_;
};

TEST_F(VoiceEndToEnd, DirectTalkCarriesEachSidesToneToTheOtherAndEndsFromTheCaller) {
    startBoth();
    talk();
    EXPECT_FALSE(a.voice().talks().relayed(kB));
    EXPECT_FALSE(b.voice().talks().relayed(kA));
    EXPECT_TRUE(b.shown(kA).contains(Line(voice::texts::kYouAccepted)));
    EXPECT_TRUE(a.shown(kB).contains(Line(voice::texts::kPeerAccepted)));
    expectTone(QStringLiteral("b"), PrivateSound::kToneA);
    expectTone(QStringLiteral("a"), PrivateSound::kToneB);
    EXPECT_EQ(relayedBy(kA), 0u) << "the direct path never used the relay";

    emit a.chatWith(kB)->display().notification(kCancelVoice);
    expectEnded();
    EXPECT_TRUE(a.shown(kB).contains(Line(voice::texts::kYouCancelled)));
    EXPECT_TRUE(waitFor([this] { return b.shown(kA).contains(Line(voice::texts::kPeerCancelled)); },
                        kWaitMs));
}

TEST_F(VoiceEndToEnd, WithoutAnAddressTheRelayCarriesTheToneAndTheCalleeEndsIt) {
    startBoth("none");
    talk();
    EXPECT_TRUE(a.voice().talks().relayed(kB));
    EXPECT_TRUE(b.voice().talks().relayed(kA));
    expectTone(QStringLiteral("b"), PrivateSound::kToneA);
    expectTone(QStringLiteral("a"), PrivateSound::kToneB);
    EXPECT_GT(relayedBy(kA), 10u);

    emit b.chatWith(kA)->display().notification(kCancelVoice);
    expectEnded();
    EXPECT_TRUE(waitFor([this] { return a.shown(kB).contains(Line(voice::texts::kPeerCancelled)); },
                        kWaitMs));
}

// B's microphone is missing: B is told, and sends only what the test makes it send. Packets of
// 59 and 61 bytes, directly or through the relay, are never played; 60-byte ones are.
TEST_F(VoiceEndToEnd, AMissingMicrophoneIsNamedAndOnlySixtyBytePacketsArePlayed) {
    startBoth("real", QStringLiteral("no-such-microphone"));
    talk();
    EXPECT_TRUE(b.shown(kA).contains(Line(voice::texts::kNoInputDevice)));
    EXPECT_FALSE(b.shown(kA).contains(Line(voice::texts::kNoOutputDevice)));
    EXPECT_FALSE(a.shown(kB).contains(Line(voice::texts::kNoInputDevice)));
    voice::JitterBuffer& heardByA = a.strip(kB)->stream().jitter();
    EXPECT_EQ(heardByA.accepted(), 0u);

    std::vector<uint8_t> packet(voice::kPacketBytes);
    const QByteArray tone = voice::testing::Tone(1000, 60);
    voice::G729Coder coder;
    coder.encode(reinterpret_cast<const uint8_t*>(tone.constData()), 960, packet.data());
    std::vector<uint8_t> longer = packet;
    longer.push_back(0);

    PeerSessionManager& peers = b.window->peers();
    ASSERT_TRUE(peers.sendVoiceData(kA, packet.data(), 59));
    ASSERT_TRUE(peers.sendVoiceData(kA, longer.data(), 61));
    ASSERT_TRUE(peers.sendVoiceData(kA, packet.data(), 60));
    ASSERT_TRUE(waitFor([&] { return heardByA.accepted() >= 1; }, kWaitMs));
    EXPECT_EQ(heardByA.accepted(), 1u);

    PlatformClient& requests = b.window->client();
    requests.voiceRelayData(kA, packet.data(), 59);
    requests.voiceRelayData(kA, longer.data(), 61);
    requests.voiceRelayData(kA, packet.data(), 60);
    ASSERT_TRUE(waitFor([&] { return heardByA.accepted() >= 2; }, kWaitMs));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(heardByA.accepted(), 2u);
}

} // namespace
} // namespace talmor

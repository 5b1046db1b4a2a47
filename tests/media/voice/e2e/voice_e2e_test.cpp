// Voice talk end to end: operators 1024 (A) and 1025 (B), two real consoles in this process on
// real sockets with real sound devices of a private PulseAudio, against a quorvane-server of
// their own. A's microphone hears a steady 1 kHz tone and its loudspeaker the null sink "a"; B's
// are a 600 Hz source and the sink "b" (different tones, so a console that played its own
// microphone could not pass). What each console played is recorded from its sink's monitor.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "console/talmormanagerdlg.h"
#include "media/voice/g729coder.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicepart.h"
#include "media/voice/voicetexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/commands.h"
#include "protocol/peersession.h"
#include "protocol/peersessionmanager.h"
#include "support/eventloop.h"
#include "support/privatesound.h"
#include "support/qtapp.h"
#include "support/talkpair.h"
#include "support/testaudio.h"

namespace talmor {
namespace {

using e2e::waitFor;
using voice::testing::DominantFrequency;
using voice::testing::Level;
using voice::testing::PrivateSound;
using voice::testing::TalkPair;
using voice::testing::VoiceConsole;

constexpr int kWaitMs = 20000;
// Played blocks of speech (60 ms each) that make a second.
constexpr uint64_t kBlocksInASecond = 17;
constexpr uint32_t kA = TalkPair::kA;
constexpr uint32_t kB = TalkPair::kB;

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
        pair = std::make_unique<TalkPair>();
        ASSERT_NO_FATAL_FAILURE(Expect(pair->startServer(QStringLiteral(TALMOR_CONTACTS_SEED))));
    }
    void TearDown() override { pair.reset(); }

    static void Expect(const std::optional<QString>& error) {
        ASSERT_FALSE(error.has_value()) << error->toStdString();
    }
    // Both consoles in, each seeing the other online.
    void startBoth(const char* addressOfB = "real", const QString& inputOfB = "toneB") {
        ASSERT_NO_FATAL_FAILURE(
            Expect(pair->start(kA, QStringLiteral("toneA"), QStringLiteral("a"))));
        ASSERT_NO_FATAL_FAILURE(Expect(pair->start(kB, inputOfB, QStringLiteral("b"), addressOfB)));
        Expect(pair->waitBothOnline());
    }
    void talk() { Expect(pair->talk()); }
    VoiceConsole& a() { return *pair->a; }
    VoiceConsole& b() { return *pair->b; }

    // What `listener` played into `sink` over 10 seconds, once the talk with `speaker` filled
    // the path (a second of packets played: on a busy machine the first packets still compete
    // with the windows both consoles open for the talk): at least 90% of the seconds hear the
    // tone of `hz`. A second hears it when 80% of its 20 ms slices carry it: a dropped packet, a
    // starved loudspeaker or a cut-off burst each leave silent slices. Ten seconds let one
    // second that the machine's scheduler took from both consoles pass, as 90% says; two such
    // seconds, or a path that keeps losing packets, still fail.
    void expectTone(VoiceConsole& listener, uint32_t speaker, const QString& sink, int hz) {
        ASSERT_TRUE(waitFor(
            [&] {
                CSendWaveDlg* strip = listener.strip(speaker);
                return strip != nullptr && strip->stream().jitter().played() >= kBlocksInASecond;
            },
            kWaitMs));
        constexpr int kSeconds = 10;
        const QByteArray heard = kSound->sound.recordMonitor(sink, kSeconds * 1000);
        ASSERT_EQ(heard.size(), kSeconds * 16000) << "the recorder heard nothing";
        constexpr qsizetype kSlice = 320;
        constexpr int kSlicesPerSecond = 50;
        QString map;
        int secondsHeard = 0;
        for (qsizetype second = 0; second < kSeconds; ++second) {
            int slices = 0;
            for (qsizetype slice = 0; slice < kSlicesPerSecond; ++slice) {
                const QByteArray part =
                    heard.mid((second * kSlicesPerSecond + slice) * kSlice, kSlice);
                slices += DominantFrequency(part) == hz && Level(part) > 300 ? 1 : 0;
            }
            map += QStringLiteral(" %1").arg(slices);
            secondsHeard += slices * 10 >= kSlicesPerSecond * 8 ? 1 : 0;
        }
        std::printf("sink %s: slices of 20 ms with %d Hz, per second:%s\n", qPrintable(sink), hz,
                    qPrintable(map));
        EXPECT_GE(secondsHeard * 10, kSeconds * 9)
            << "sink " << sink.toStdString() << ":" << map.toStdString();
    }
    // Ending on either side closes both strips and every stream on the sound server.
    void expectEnded() {
        ASSERT_TRUE(waitFor([this] { return !a().strip(kB) && !b().strip(kA); }, kWaitMs));
        EXPECT_FALSE(a().findChat(kB)->voiceRunning);
        EXPECT_FALSE(b().findChat(kA)->voiceRunning);
        EXPECT_TRUE(waitFor([] { return kSound->sound.openStreams() == 0; }, kWaitMs))
            << kSound->sound.openStreams() << " streams left open";
    }
    // The voice requests `operatorId` sent through the server.
    std::size_t relayedBy(uint32_t operatorId) {
        std::size_t count = 0;
        if (const auto log =
                pair->control().get(QStringLiteral("/api/log?operator=%1").arg(operatorId))) {
            for (const QJsonValue& entry : log->array()) {
                count += entry.toObject().value("command").toInt() == CMD_VOICE_RELAY_DATA ? 1 : 0;
            }
        }
        return count;
    }
    std::unique_ptr<TalkPair> pair;
};

// The direct session of a running talk breaks off at the other end: the talk ends on this side
// with a line in the chat display, and its strip and sound streams close.
TEST_F(VoiceEndToEnd, ADirectSessionCutOffEndsTheTalkAndClosesTheSound) {
    ASSERT_NO_FATAL_FAILURE(startBoth());
    ASSERT_NO_FATAL_FAILURE(talk());
    ASSERT_FALSE(b().voice().talks().relayed(kA));
    a().window().peers().closeSessions(kVoiceKind, kB);
    ASSERT_TRUE(waitFor([this] { return !b().strip(kA); }, kWaitMs));
    EXPECT_FALSE(b().findChat(kA)->voiceRunning);
    EXPECT_FALSE(b().voice().talks().running(kA));
    EXPECT_TRUE(b().shown(kA).contains(Line(voice::texts::kPeerCancelled)));
}

TEST_F(VoiceEndToEnd, DirectTalkCarriesEachSidesToneToTheOtherAndEndsFromTheCaller) {
    ASSERT_NO_FATAL_FAILURE(startBoth());
    ASSERT_NO_FATAL_FAILURE(talk());
    EXPECT_FALSE(a().voice().talks().relayed(kB));
    EXPECT_FALSE(b().voice().talks().relayed(kA));
    EXPECT_TRUE(b().shown(kA).contains(Line(voice::texts::kYouAccepted)));
    EXPECT_TRUE(a().shown(kB).contains(Line(voice::texts::kPeerAccepted)));
    expectTone(b(), kA, QStringLiteral("b"), PrivateSound::kToneA);
    expectTone(a(), kB, QStringLiteral("a"), PrivateSound::kToneB);
    EXPECT_EQ(relayedBy(kA), 0u) << "the direct path never used the relay";

    emit a().findChat(kB)->display().notification(kCancelVoice);
    expectEnded();
    EXPECT_TRUE(a().shown(kB).contains(Line(voice::texts::kYouCancelled)));
    EXPECT_TRUE(waitFor(
        [this] { return b().shown(kA).contains(Line(voice::texts::kPeerCancelled)); }, kWaitMs));
}

TEST_F(VoiceEndToEnd, WithoutAnAddressTheRelayCarriesTheToneAndTheCalleeEndsIt) {
    ASSERT_NO_FATAL_FAILURE(startBoth("none"));
    ASSERT_NO_FATAL_FAILURE(talk());
    EXPECT_TRUE(a().voice().talks().relayed(kB));
    EXPECT_TRUE(b().voice().talks().relayed(kA));
    expectTone(b(), kA, QStringLiteral("b"), PrivateSound::kToneA);
    expectTone(a(), kB, QStringLiteral("a"), PrivateSound::kToneB);
    EXPECT_GT(relayedBy(kA), 10u);

    emit b().findChat(kA)->display().notification(kCancelVoice);
    expectEnded();
    EXPECT_TRUE(waitFor(
        [this] { return a().shown(kB).contains(Line(voice::texts::kPeerCancelled)); }, kWaitMs));
}

// B's microphone is missing: B is told, and sends only what the test makes it send. Packets of
// 59 and 61 bytes, directly or through the relay, are never played; 60-byte ones are.
TEST_F(VoiceEndToEnd, AMissingMicrophoneIsNamedAndOnlySixtyBytePacketsArePlayed) {
    ASSERT_NO_FATAL_FAILURE(startBoth("real", QStringLiteral("no-such-microphone")));
    ASSERT_NO_FATAL_FAILURE(talk());
    EXPECT_TRUE(b().shown(kA).contains(Line(voice::texts::kNoInputDevice)));
    EXPECT_FALSE(b().shown(kA).contains(Line(voice::texts::kNoOutputDevice)));
    EXPECT_FALSE(a().shown(kB).contains(Line(voice::texts::kNoInputDevice)));
    voice::JitterBuffer& heardByA = a().strip(kB)->stream().jitter();
    EXPECT_EQ(heardByA.accepted(), 0u);

    std::vector<uint8_t> packet(voice::kPacketBytes);
    const QByteArray tone = voice::testing::Tone(1000, 60);
    voice::G729Coder coder;
    coder.encode(reinterpret_cast<const uint8_t*>(tone.constData()), 960, packet.data());
    std::vector<uint8_t> longer = packet;
    longer.push_back(0);

    PeerSessionManager& peers = b().window().peers();
    ASSERT_TRUE(peers.sendVoiceData(kA, packet.data(), 59));
    ASSERT_TRUE(peers.sendVoiceData(kA, longer.data(), 61));
    ASSERT_TRUE(peers.sendVoiceData(kA, packet.data(), 60));
    ASSERT_TRUE(waitFor([&] { return heardByA.accepted() >= 1; }, kWaitMs));
    EXPECT_EQ(heardByA.accepted(), 1u);

    PlatformClient& requests = b().window().client();
    requests.voiceRelayData(kA, packet.data(), 59);
    requests.voiceRelayData(kA, longer.data(), 61);
    requests.voiceRelayData(kA, packet.data(), 60);
    ASSERT_TRUE(waitFor([&] { return heardByA.accepted() >= 2; }, kWaitMs));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(heardByA.accepted(), 2u);
}

} // namespace
} // namespace talmor

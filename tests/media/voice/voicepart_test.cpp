// The voice part in the main window on the console harness, with a test sound back end: the
// notices and lines in the chat display, the requests on the wire, the strip and its sound.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "media/voice/audioformat.h"
#include "media/voice/g729coder.h"
#include "media/voice/sendwavedlg.h"
#include "media/voice/voicepart.h"
#include "media/voice/voicetexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "protocol/commands.h"
#include "support/contactpanefixture.h"
#include "support/testaudio.h"

namespace talmor::testing {
namespace {

using voice::testing::TestAudioBackend;
using voice::testing::Tone;

class VoicePartTest : public ContactPaneFixture {
protected:
    void SetUp() override {
        ContactPaneFixture::SetUp();
        auto owned = std::make_unique<TestAudioBackend>();
        backend = owned.get();
        voicePart = new VoicePart(h.window(), std::move(owned));
        h.window().routes().voice = voicePart;
        standardLogin();
        online(kColleague);
        online(kMerchant);
        h.takeSent();
    }
    void TearDown() override {
        for (uint32_t peer : {kColleague, kMerchant}) {
            delete chats().findChat(peer);
        }
    }

    ChatPart& chats() { return *h.window().routes().chat; }
    CSendMsgDlg* chat(uint32_t peer = kColleague) { return chats().findChat(peer); }
    QString shown(uint32_t peer = kColleague) { return chat(peer)->display().toPlainText(); }
    static QString Line(const char* text) {
        return QString::fromUtf8(text).remove(QLatin1Char('\r'));
    }
    void event(uint16_t command, uint32_t peer) {
        h.deliver(command, [peer](OutPacket& out) { out.writeInt(peer); });
    }
    void voiceData(uint32_t peer, const std::vector<uint8_t>& data) {
        h.deliver(incoming::CMD_VOICE_RELAY_DATA, [&](OutPacket& out) {
            out.writeInt(peer);
            out.writeBytes(data.data(), data.size());
        });
    }
    // The contact offered a talk and the operator accepted; the relay is open.
    void talkingWith(uint32_t peer) {
        event(incoming::CMD_VOICE_OFFER, peer);
        emit chat(peer)->display().notification(kAcceptVoice);
        event(incoming::CMD_VOICE_RELAY_ASK, peer);
        h.takeSent();
    }
    std::vector<uint8_t> packet() {
        const QByteArray tone = Tone(1000, 60);
        std::vector<uint8_t> coded(voice::kPacketBytes);
        voice::G729Coder coder;
        coder.encode(reinterpret_cast<const uint8_t*>(tone.constData()), 960, coded.data());
        return coded;
    }

    TestAudioBackend* backend = nullptr;
    VoicePart* voicePart = nullptr;
};

TEST_F(VoicePartTest, AcceptedOfferTalksThroughTheRelayBothWays) {
    event(incoming::CMD_VOICE_OFFER, kColleague);
    ASSERT_NE(chat(), nullptr);
    EXPECT_TRUE(shown().contains(QStringLiteral("对方发来与您的语音交谈请求")));
    EXPECT_TRUE(chat()->voiceRunning);
    h.takeSent();

    emit chat()->display().notification(kAcceptVoice);
    EXPECT_TRUE(shown().contains(Line(voice::texts::kYouAccepted)));
    const std::vector<Bytes> accepts = sentBodies(CMD_VOICE_ACCEPT);
    ASSERT_EQ(accepts.size(), 1u);
    BodyReader accept(accepts[0]);
    EXPECT_EQ(accept.in().u32(), kColleague);
    EXPECT_NE(accept.in().u16(), 0) << "the port of the voice listener";

    // The caller found no direct path and asked the server: the relay is answered and the
    // strip starts the sound.
    event(incoming::CMD_VOICE_RELAY_ASK, kColleague);
    EXPECT_EQ(sentBodies(CMD_VOICE_RELAY_ANSWER).size(), 1u);
    CSendWaveDlg* strip = voicePart->strip(kColleague);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->parentWidget(), chat());
    EXPECT_TRUE(backend->input->running);
    EXPECT_TRUE(backend->output->running());
    EXPECT_EQ(strip->inputSlider().value(), 50) << "the stream's volume when it started";
    EXPECT_EQ(strip->outputSlider().value(), 75);

    // 90 ms captured: one packet goes out through the relay, 30 ms wait for the next.
    backend->input->feed(Tone(1000, 90));
    const std::vector<Bytes> data = sentBodies(CMD_VOICE_RELAY_DATA);
    ASSERT_EQ(data.size(), 1u);
    BodyReader relayed(data[0]);
    EXPECT_EQ(relayed.in().u32(), kColleague);
    EXPECT_EQ(relayed.in().u32(), 60u);

    // A 60-byte packet is played; 59 and 61 bytes are not.
    voiceData(kColleague, packet());
    EXPECT_EQ(strip->stream().jitter().queuedBytes(), voice::kBlockBytes);
    std::vector<uint8_t> shorter = packet();
    shorter.pop_back();
    std::vector<uint8_t> longer = packet();
    longer.push_back(0);
    voiceData(kColleague, shorter);
    voiceData(kColleague, longer);
    EXPECT_EQ(strip->stream().jitter().queuedBytes(), voice::kBlockBytes);
    EXPECT_GT(voice::testing::Level(backend->output->drain(voice::kBlockBytes)), 100)
        << "the packet is played, not silence";
}

TEST_F(VoicePartTest, SlidersSetTheirStreamsVolumeEvenInSilence) {
    talkingWith(kColleague);
    CSendWaveDlg* strip = voicePart->strip(kColleague);
    ASSERT_NE(strip, nullptr);
    strip->outputSlider().setValue(20);
    strip->inputSlider().setValue(90);
    EXPECT_DOUBLE_EQ(backend->output->volume(), 0.2);
    EXPECT_DOUBLE_EQ(backend->input->volume(), 0.9);
}

TEST_F(VoicePartTest, RequestWaitsForTheAcceptanceThenAsksForTheRelayEveryFiveSeconds) {
    chats().openChat(kColleague, MessagingReceiver::ChatStart::Voice);
    const std::vector<Bytes> offers = sentBodies(CMD_VOICE_OFFER);
    ASSERT_EQ(offers.size(), 1u);
    BodyReader offer(offers[0]);
    EXPECT_EQ(offer.in().u32(), kColleague);
    EXPECT_EQ(offer.in().u16(), 8010);
    EXPECT_TRUE(shown().contains(QStringLiteral("正在进行与对方语音交谈请求")));

    h.deliver(incoming::CMD_VOICE_ACCEPTED, [](OutPacket& out) {
        out.writeInt(kColleague);
        out.writeShort(40123);
    });
    EXPECT_TRUE(shown().contains(Line(voice::texts::kPeerAccepted)));
    QTimer* timer = voicePart->relayTimer(kColleague);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), VoicePart::kRelayTimerMs);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);

    // The contact announced no address, so only the relay can carry the talk.
    timer->start(1);
    QTRY_COMPARE(sentBodies(CMD_VOICE_RELAY_ASK).size(), 1u);
    event(incoming::CMD_VOICE_RELAY_READY, kColleague);
    EXPECT_EQ(voicePart->relayTimer(kColleague), nullptr);
    ASSERT_NE(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(voicePart->talks().relayed(kColleague));

    // The peer ends it: the strip and both devices stop, nothing goes back.
    event(incoming::CMD_VOICE_CANCELLED, kColleague);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(shown().contains(Line(voice::texts::kPeerCancelled)));
    EXPECT_FALSE(chat()->voiceRunning);
    EXPECT_TRUE(sentBodies(CMD_VOICE_CANCEL).empty());
}

TEST_F(VoicePartTest, TheCancelLinkEndsTheTalkAndTellsThePeer) {
    talkingWith(kColleague);
    ASSERT_NE(voicePart->strip(kColleague), nullptr);
    emit chat()->display().notification(kCancelVoice);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(shown().contains(Line(voice::texts::kYouCancelled)));
    EXPECT_EQ(sentBodies(CMD_VOICE_CANCEL).size(), 1u);
    EXPECT_FALSE(chat()->voiceRunning);
    // Packets still in flight are not played anywhere.
    voiceData(kColleague, packet());
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
}

TEST_F(VoicePartTest, TheVoiceButtonOfARunningTalkAsksBeforeEndingIt) {
    talkingWith(kColleague);
    h.ui.answerYes = false;
    chat()->command(chat::kCmdVoice);
    EXPECT_EQ(h.ui.texts("question").back(), QString::fromUtf8(voice::texts::kCancelRunning));
    EXPECT_NE(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(sentBodies(CMD_VOICE_OFFER).empty());

    h.ui.answerYes = true;
    chat()->command(chat::kCmdVoice);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
    EXPECT_EQ(sentBodies(CMD_VOICE_CANCEL).size(), 1u);
}

TEST_F(VoicePartTest, ClosingTheChatWindowEndsTheTalkAfterItsQuestion) {
    talkingWith(kColleague);
    h.ui.answerYes = false;
    chat()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(chat(), nullptr);
    EXPECT_EQ(h.ui.texts("warning").back(), QString::fromUtf8(chat::kCloseWhileVoice));
    EXPECT_NE(voicePart->strip(kColleague), nullptr);

    h.ui.answerYes = true;
    chat()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(chat(), nullptr);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
    EXPECT_EQ(sentBodies(CMD_VOICE_CANCEL).size(), 1u);
    EXPECT_EQ(voicePart->talks().state(kColleague), voice::VoiceTalks::State::Idle);
}

TEST_F(VoicePartTest, ADeviceThatCannotBeOpenedIsNamedInTheDisplay) {
    struct Case {
        bool input;
        bool output;
    };
    for (const Case c : {Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(std::to_string(c.input) + std::to_string(c.output));
        backend->inputOpens = c.input;
        backend->outputOpens = c.output;
        talkingWith(kColleague);
        ASSERT_NE(voicePart->strip(kColleague), nullptr);
        EXPECT_EQ(shown().contains(Line(voice::texts::kNoInputDevice)), !c.input);
        EXPECT_EQ(shown().contains(Line(voice::texts::kNoOutputDevice)), !c.output);
        // A microphone that did not open sends nothing; a dead output plays nothing.
        backend->input->feed(Tone(1000, 60));
        EXPECT_EQ(sentBodies(CMD_VOICE_RELAY_DATA).size(), c.input ? 1u : 0u);
        emit chat()->display().notification(kCancelVoice);
        chat()->display().clear();
        h.takeSent();
    }
}

TEST_F(VoicePartTest, AcceptingASecondContactEndsTheFirstTalkOnlyWhenTheOperatorAgrees) {
    talkingWith(kColleague);
    event(incoming::CMD_VOICE_OFFER, kMerchant);
    h.ui.answerYes = false;
    emit chat(kMerchant)->display().notification(kAcceptVoice);
    EXPECT_NE(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(sentBodies(CMD_VOICE_ACCEPT).empty());

    h.ui.answerYes = true;
    emit chat(kMerchant)->display().notification(kAcceptVoice);
    EXPECT_EQ(voicePart->strip(kColleague), nullptr);
    EXPECT_TRUE(shown(kColleague).contains(Line(voice::texts::kYouCancelled)));
    const std::vector<Sent> sent = h.takeSent();
    std::vector<uint16_t> commands;
    for (const Sent& s : sent) {
        commands.push_back(s.command);
    }
    EXPECT_EQ(commands, (std::vector<uint16_t>{CMD_VOICE_CANCEL, CMD_VOICE_ACCEPT}));
}

} // namespace
} // namespace talmor::testing

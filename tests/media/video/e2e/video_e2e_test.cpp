// Video chat end to end: operators 1024 (A) and 1025 (B), each a real console in this process
// on real sockets, against a quorvane-server of their own. A sends the test pattern; what B's
// pane shows is checked against the pattern's colours, on the direct path and through the
// server's relay, with a camera that is not there, and ended from either side.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <memory>

#include "console/talmormanagerdlg.h"
#include "media/video/codec/testpattern.h"
#include "media/video/sendvideodlg.h"
#include "media/video/videochatlink.h"
#include "media/video/videotexts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/chat/userpicdlg.h"
#include "protocol/peersession.h"
#include "protocol/peersessionmanager.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/videoconsole.h"

namespace talmor {
namespace {

using e2e::waitFor;

constexpr int kWaitMs = 20000;
constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;

// Mean colour of rows [first, end) of a picture shown in a pane.
TestPattern::Rgb Mean(const QImage& shown, int first, int end) {
    const QImage image = shown.convertToFormat(QImage::Format_RGB888);
    TestPattern::Rgb sum{0, 0, 0};
    for (int y = first; y < end; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += line[x * 3 + c];
            }
        }
    }
    for (double& channel : sum) {
        channel /= double(end - first) * image.width();
    }
    return sum;
}

// How far the bar rows' pixels are from their mean on average: bars of strong colours, not a
// flat picture of the same mean.
double Spread(const QImage& shown, int end, const TestPattern::Rgb& mean) {
    const QImage image = shown.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < end; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(line[x * 3 + c] - mean[c]);
            }
        }
    }
    return sum / (3.0 * end * image.width());
}

// The peer picture in `pane` shows the test pattern: its bars above, its band below (the
// rows near the seam are left out, scaling blends them).
void ExpectPattern(const CSendVideoDlg& pane) {
    const QImage& shown = pane.peerPicture();
    ASSERT_EQ(shown.size(), CSendVideoDlg::kPeerRect.size());
    const int seam = TestPattern::kBarRows * shown.height() / kPictureHeight;
    const TestPattern::Rgb bars = Mean(shown, 0, seam - 3);
    const TestPattern::Rgb band = Mean(shown, seam + 3, shown.height());
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(bars[c], TestPattern::barsMean()[c], 16.0) << "bars, channel " << c;
        EXPECT_NEAR(band[c], TestPattern::bandMean()[c], 16.0) << "band, channel " << c;
    }
    EXPECT_GT(Spread(shown, seam - 3, bars), 60.0);
}

class VideoEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_DEMO_SEED), error)) << error.toStdString();
    }
    void TearDown() override {
        a.reset();
        b.reset();
        server.stop();
    }

    // B logs in with its address announced ("real") or not ("none"), then A; each sees the
    // other online.
    void startBoth(const QString& aSource, const char* bAddress = "real") {
        e2e::ControlClient control(server.httpPort());
        ASSERT_TRUE(
            control.post(QStringLiteral("/api/address?operator=%1&mode=%2").arg(kB).arg(bAddress)));
        b = std::make_unique<e2e::VideoConsole>(server.udpPort(), server.httpPort(),
                                                QStringLiteral("testpattern"));
        b->login(kB, "talmor1025");
        ASSERT_TRUE(waitFor([this] { return b->ready(); }, kWaitMs));
        a = std::make_unique<e2e::VideoConsole>(server.udpPort(), server.httpPort(), aSource);
        a->login(kA, "talmor1024");
        ASSERT_TRUE(waitFor([this] { return a->ready() && a->seesOnline(kB); }, kWaitMs));
        ASSERT_TRUE(waitFor([this] { return b->seesOnline(kA); }, kWaitMs));
    }
    // A asks, B's chat window shows the offer and B accepts; both panes stream.
    void startChat() {
        a->chatWith(kB).command(chat::kCmdVideo);
        ASSERT_TRUE(waitFor([this] { return b->video(kA) != nullptr; }, kWaitMs));
        ASSERT_TRUE(waitFor(
            [this] { return b->video(kA)->chat().state() == VideoChat::State::Offered; }, kWaitMs));
        emit b->findChat(kA)->display().notification(kAcceptVideo);
        ASSERT_TRUE(waitFor(
            [this] {
                return a->video(kB)->chat().state() == VideoChat::State::Streaming &&
                       b->video(kA)->chat().state() == VideoChat::State::Streaming;
            },
            kWaitMs));
    }
    // The pane of `console`'s chat with `peer` draws more pictures of the peer.
    static void ExpectRisingPictures(e2e::VideoConsole& console, uint32_t peer) {
        VideoChat& chat = console.video(peer)->chat();
        ASSERT_TRUE(waitFor([&] { return chat.peerPicturesDrawn() >= 3; }, kWaitMs));
        const uint64_t before = chat.peerPicturesDrawn();
        ASSERT_TRUE(waitFor([&] { return chat.peerPicturesDrawn() >= before + 10; }, kWaitMs));
    }
    static void ExpectPicturePaneBack(e2e::VideoConsole& console, uint32_t peer) {
        CSendMsgDlg& chat = *console.findChat(peer);
        EXPECT_FALSE(chat.videoPaneShown());
        EXPECT_FALSE(chat.videoRunning);
        EXPECT_EQ(chat.paneWidth(), 120);
        EXPECT_FALSE(console.video(peer)->pane()->isVisibleTo(&chat));
        EXPECT_TRUE(chat.picturePane().isVisibleTo(&chat));
    }
    // Clicks the first link with `words` in the display of `console`'s chat with `peer`, as the
    // operator would; false when the display holds no such link.
    static bool ClickLink(e2e::VideoConsole& console, uint32_t peer, const char* words) {
        CMsgView& display = console.findChat(peer)->display();
        for (QTextBlock block = display.document()->begin(); block.isValid();
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isAnchor() && it.fragment().text() == QString::fromUtf8(words)) {
                    emit display.anchorClicked(QUrl(format.anchorHref()));
                    return true;
                }
            }
        }
        return false;
    }
    static bool Shows(e2e::VideoConsole& console, uint32_t peer, const char* line) {
        QString text = QString::fromUtf8(line);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return console.findChat(peer)->display().toPlainText().contains(text.trimmed());
    }

    e2e::ServerProcess server;
    std::unique_ptr<e2e::VideoConsole> a;
    std::unique_ptr<e2e::VideoConsole> b;
};

TEST_F(VideoEndToEnd, DirectChatShowsThePatternOnBothSides) {
    startBoth(QStringLiteral("testpattern"));
    startChat();
    EXPECT_FALSE(a->video(kB)->chat().relayed());
    EXPECT_FALSE(b->video(kA)->chat().relayed());
    EXPECT_TRUE(a->findChat(kB)->videoPaneShown());
    EXPECT_EQ(b->findChat(kA)->paneWidth(), CSendVideoDlg::kPaneWidth);
    ExpectRisingPictures(*b, kA);
    ExpectPattern(*b->video(kA)->pane());
    ExpectRisingPictures(*a, kB);
    EXPECT_FALSE(a->video(kB)->pane()->ownPicture().isNull());
    EXPECT_TRUE(Shows(*a, kB, video::kPeerAccepted));
    EXPECT_TRUE(Shows(*b, kA, video::kYouAccepted));
}

TEST_F(VideoEndToEnd, WithoutAnAddressThePicturesGoThroughTheRelay) {
    startBoth(QStringLiteral("testpattern"), "none");
    startChat();
    EXPECT_TRUE(a->video(kB)->chat().relayed());
    EXPECT_TRUE(b->video(kA)->chat().relayed());
    ExpectRisingPictures(*b, kA);
    ExpectPattern(*b->video(kA)->pane());
    ExpectRisingPictures(*a, kB);
}

TEST_F(VideoEndToEnd, CameraThatIsNotThereLeavesThePeersPicturesShowing) {
    startBoth(QStringLiteral("camera"));
    // The login told the server which console has a video source.
    e2e::ControlClient control(server.httpPort());
    const auto consoles = control.get(QStringLiteral("/api/consoles"));
    ASSERT_TRUE(consoles.has_value());
    int checked = 0;
    for (const QJsonValue& entry : consoles->array()) {
        const QJsonObject console = entry.toObject();
        const qint64 id = console.value("operator").toInteger();
        if (id == kA || id == kB) {
            EXPECT_EQ(console.value("videoCapable").toBool(), id == kB) << id;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2);
    startChat();
    EXPECT_TRUE(Shows(*a, kB, video::kCameraFailed));
    EXPECT_FALSE(a->video(kB)->chat().sourceOpen());
    ExpectRisingPictures(*a, kB);
    ExpectPattern(*a->video(kB)->pane());
    EXPECT_EQ(b->video(kA)->chat().peerPicturesDrawn(), 0u);
}

TEST_F(VideoEndToEnd, CancelFromEitherSideRestoresThePicturePaneOnBoth) {
    startBoth(QStringLiteral("testpattern"));
    for (bool fromA : {true, false}) {
        startChat();
        ExpectRisingPictures(*b, kA);
        e2e::VideoConsole& ender = fromA ? *a : *b;
        e2e::VideoConsole& other = fromA ? *b : *a;
        const uint32_t enderPeer = fromA ? kB : kA;
        const uint32_t otherPeer = fromA ? kA : kB;
        emit ender.findChat(enderPeer)->display().notification(kCancelVideo);
        ASSERT_TRUE(waitFor([&] { return !other.video(otherPeer)->chat().running(); }, kWaitMs));
        ExpectPicturePaneBack(ender, enderPeer);
        ExpectPicturePaneBack(other, otherPeer);
        EXPECT_TRUE(Shows(ender, enderPeer, video::kYouCancelled));
        EXPECT_TRUE(Shows(other, otherPeer, video::kPeerCancelled));
    }
}

// The " 接受 " and " 取消 " of an offer answer no more once it was accepted or cancelled: an
// old " 取消 " cannot end a later chat.
TEST_F(VideoEndToEnd, TheLinksOfAnAnsweredOfferNoLongerAct) {
    startBoth(QStringLiteral("testpattern"));
    auto offeredToB = [this] {
        return waitFor(
            [this] {
                return b->video(kA) != nullptr &&
                       b->video(kA)->chat().state() == VideoChat::State::Offered;
            },
            kWaitMs);
    };
    a->chatWith(kB).command(chat::kCmdVideo);
    ASSERT_TRUE(offeredToB());
    ASSERT_TRUE(ClickLink(*b, kA, " 取消 ")); // B declines
    ASSERT_TRUE(waitFor([this] { return !a->video(kB)->chat().running(); }, kWaitMs));

    a->chatWith(kB).command(chat::kCmdVideo);
    ASSERT_TRUE(offeredToB());
    ASSERT_TRUE(ClickLink(*b, kA, " 接受 "));
    ASSERT_TRUE(waitFor(
        [this] {
            return a->video(kB)->chat().state() == VideoChat::State::Streaming &&
                   b->video(kA)->chat().state() == VideoChat::State::Streaming;
        },
        kWaitMs));
    EXPECT_FALSE(ClickLink(*b, kA, " 取消 "));
    EXPECT_FALSE(ClickLink(*b, kA, " 接受 "));
    EXPECT_FALSE(ClickLink(*a, kB, " 取消 "));
    EXPECT_EQ(a->video(kB)->chat().state(), VideoChat::State::Streaming);
    EXPECT_EQ(b->video(kA)->chat().state(), VideoChat::State::Streaming);
}

// The direct session of a running chat breaks off at the other end: the chat ends on this side
// with a line in the chat display, its camera stops and the picture pane comes back.
TEST_F(VideoEndToEnd, ADirectSessionCutOffEndsTheChat) {
    startBoth(QStringLiteral("testpattern"));
    startChat();
    ASSERT_FALSE(b->video(kA)->chat().relayed());
    a->window().peers().closeSessions(kVideoKind, kB);
    ASSERT_TRUE(waitFor([this] { return !b->video(kA)->chat().running(); }, kWaitMs));
    EXPECT_TRUE(Shows(*b, kA, video::kPeerCancelled));
    ExpectPicturePaneBack(*b, kA);
}

TEST_F(VideoEndToEnd, VideoButtonAsksBeforeEndingAndClosingTheWindowEndsTheChat) {
    startBoth(QStringLiteral("testpattern"));
    startChat();
    // The video button while the chat runs: the question, and Yes ends it on both sides.
    a->findChat(kB)->command(chat::kCmdVideo);
    ASSERT_FALSE(a->ui.texts("question").empty());
    EXPECT_EQ(a->ui.texts("question").back(), QString::fromUtf8(video::kCancelQuestion));
    ASSERT_TRUE(waitFor([this] { return !b->video(kA)->chat().running(); }, kWaitMs));
    ExpectPicturePaneBack(*a, kB);

    // Closing B's chat window while the chat runs (B answers Yes): A's chat ends and neither
    // console keeps a video session.
    startChat();
    b->findChat(kA)->close();
    ASSERT_TRUE(waitFor([this] { return b->findChat(kA) == nullptr; }, kWaitMs));
    ASSERT_TRUE(waitFor([this] { return !a->video(kB)->chat().running(); }, kWaitMs));
    EXPECT_TRUE(Shows(*a, kB, video::kPeerCancelled));
    ExpectPicturePaneBack(*a, kB);
    EXPECT_TRUE(waitFor(
        [this] { return a->window().peers().findSession(kVideoKind, kB) == nullptr; }, kWaitMs));
}

TEST_F(VideoEndToEnd, AcceptingASecondContactsVideoLeavesTheRunningDirectChatAlone) {
    constexpr uint32_t kC = 1026;
    startBoth(QStringLiteral("testpattern"));
    startChat();
    ExpectRisingPictures(*b, kA);
    e2e::VideoConsole c(server.udpPort(), server.httpPort(), QStringLiteral("testpattern"));
    c.login(kC, "talmor1026");
    ASSERT_TRUE(waitFor([&] { return c.ready() && c.seesOnline(kA); }, kWaitMs));
    ASSERT_TRUE(waitFor([&] { return a->seesOnline(kC); }, kWaitMs));

    // C asks A while A streams with B directly; A accepts without a listener, so C's chat
    // goes through the relay and B's pictures keep coming over the direct session.
    c.chatWith(kA).command(chat::kCmdVideo);
    ASSERT_TRUE(waitFor(
        [&] {
            return a->video(kC) != nullptr &&
                   a->video(kC)->chat().state() == VideoChat::State::Offered;
        },
        kWaitMs));
    emit a->findChat(kC)->display().notification(kAcceptVideo);
    ASSERT_TRUE(waitFor(
        [&] {
            return c.video(kA)->chat().state() == VideoChat::State::Streaming &&
                   a->video(kC)->chat().state() == VideoChat::State::Streaming;
        },
        kWaitMs));
    EXPECT_TRUE(c.video(kA)->chat().relayed());
    EXPECT_NE(a->window().peers().findSession(kVideoKind, kB), nullptr);
    EXPECT_FALSE(a->video(kB)->chat().relayed());
    ExpectRisingPictures(*b, kA);
    ExpectRisingPictures(c, kA);
    c.window().close();
}

} // namespace
} // namespace talmor

// The screenshot of a video chat: operators 1024 and 1025 as two consoles of this process
// against a quorvane-server of their own, both on the test pattern; once 1024's pane has drawn
// the peer's pictures for a while, its chat window is saved as a PNG.
//
//   talmor_videoshot OUTPUT.png
#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <memory>

#include "console/talmormanagerdlg.h"
#include "media/video/videochatlink.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "support/eventloop.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/videoconsole.h"

using namespace talmor;
using namespace talmor::e2e;

namespace {

constexpr int kWaitMs = 30000;
constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;

bool Fail(const char* what) {
    std::fprintf(stderr, "videoshot: %s\n", what);
    return false;
}

bool Shoot(const QString& output) {
    ServerProcess server;
    QString error;
    if (!server.start(QStringLiteral(TALMOR_DEMO_SEED), error)) {
        return Fail("the server did not start");
    }
    VideoConsole b(server.udpPort(), server.httpPort(), QStringLiteral("testpattern"));
    b.login(kB, "talmor1025");
    VideoConsole a(server.udpPort(), server.httpPort(), QStringLiteral("testpattern"));
    a.login(kA, "talmor1024");
    if (!waitFor([&] { return a.ready() && b.ready() && a.seesOnline(kB) && b.seesOnline(kA); },
                 kWaitMs)) {
        return Fail("the consoles did not log in");
    }
    CSendMsgDlg& chat = a.chatWith(kB);
    chat.command(chat::kCmdVideo);
    if (!waitFor([&] { return b.video(kA) != nullptr && b.video(kA)->chat().running(); },
                 kWaitMs)) {
        return Fail("the offer did not arrive");
    }
    emit b.findChat(kA)->display().notification(kAcceptVideo);
    if (!waitFor([&] { return a.video(kB)->chat().peerPicturesDrawn() >= 40; }, kWaitMs)) {
        return Fail("no pictures arrived");
    }
    chat.showNormal();
    chat.raise();
    waitFor([] { return false; }, 500);
    if (!chat.grab().save(output)) {
        return Fail("the picture was not saved");
    }
    std::printf("videoshot: %s\n", qPrintable(output));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: talmor_videoshot OUTPUT.png\n");
        return 2;
    }
    testing::EnsureApplication();
    return Shoot(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

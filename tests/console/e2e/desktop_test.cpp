// The real console on an X desktop with a window manager and a panel: the windows it places
// itself keep their frames, title bars included, within the work area.
#include <gtest/gtest.h>

#include <memory>

#include "support/consoleprocess.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/serverprocess.h"
#include "support/xdesktop.h"

namespace talmor::e2e {
namespace {

constexpr int kReadyTimeoutMs = 60000;
constexpr int kWindowTimeoutMs = 15000;
constexpr int kPanelHeight = 32;
const QSize kScreen(1024, 700);

std::string Describe(const std::optional<QRect>& rect) {
    if (!rect) {
        return "none";
    }
    return QString("%1,%2 %3x%4")
        .arg(rect->x())
        .arg(rect->y())
        .arg(rect->width())
        .arg(rect->height())
        .toStdString();
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(desktop.start(kScreen, kPanelHeight, error)) << error.toStdString();
        ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
        home = std::make_unique<ConsoleHome>(server.udpPort(), server.httpPort());
        control = std::make_unique<ControlClient>(server.httpPort());
    }

    XDesktop desktop;
    ServerProcess server;
    std::unique_ptr<ConsoleHome> home;
    std::unique_ptr<ControlClient> control;
};

TEST_F(DesktopTest, TheConsolesWindowsKeepTheirFramesWithinTheWorkArea) {
    const std::optional<QRect> area = desktop.workArea();
    ASSERT_EQ(area, QRect(0, 0, kScreen.width(), kScreen.height() - kPanelHeight))
        << "the window manager keeps the panel's band out of the work area";

    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"},
                  desktop.environment(home->environment()));
    ASSERT_GE(console.waitForMark("ready", kReadyTimeoutMs), 0) << console.output().toStdString();

    // The main window, titled with the operator's nick, fills the work area by its frame once
    // the window manager has framed it: title bar, menu bar and status line on screen.
    std::optional<QRect> client;
    std::optional<QRect> frame;
    const bool placed = waitFor(
        [&] {
            const std::vector<unsigned long> windows =
                desktop.windowsTitled(QString::fromUtf8("值班员小王"));
            if (windows.empty()) {
                return false;
            }
            client = desktop.clientOf(windows.front());
            frame = desktop.frameOf(windows.front());
            return client && frame && frame == area;
        },
        kWindowTimeoutMs);
    EXPECT_TRUE(placed) << "frame " << Describe(frame) << ", client " << Describe(client)
                        << ", work area " << Describe(area);
    ASSERT_TRUE(client && frame);
    EXPECT_GT(client->top(), frame->top()) << "the window manager gave the window a title bar";
    EXPECT_TRUE(frame->contains(*client));
    const unsigned long mainWindow = desktop.windowsTitled(QString::fromUtf8("值班员小王")).front();
    EXPECT_TRUE(desktop.maximised(mainWindow));

    // Restored from maximised by a double click on its title bar, the window keeps its frame
    // within the work area.
    desktop.doubleClick(QPoint(frame->center().x(), (frame->top() + client->top()) / 2));
    const bool restored = waitFor(
        [&] {
            frame = desktop.frameOf(mainWindow);
            return !desktop.maximised(mainWindow) && frame && area->contains(*frame);
        },
        kWindowTimeoutMs);
    EXPECT_TRUE(restored) << "frame " << Describe(frame) << ", maximised "
                          << desktop.maximised(mainWindow);

    // A new call's message box rises from the work area's bottom-right corner, above the panel.
    ASSERT_TRUE(control->post("/api/calls/inject?category=1&user=2001"));
    std::optional<QRect> box;
    const bool risen = waitFor(
        [&] {
            for (unsigned long window : desktop.windowsOf(console.process().processId())) {
                box = desktop.frameOf(window);
                if (box && box->width() == 182 && box->height() == 117) {
                    return true;
                }
            }
            return false;
        },
        kWindowTimeoutMs);
    ASSERT_TRUE(risen) << "no full-height message box; last seen " << Describe(box);
    EXPECT_EQ(box, QRect(area->right() + 1 - 182, area->bottom() + 1 - 117, 182, 117));
}

} // namespace
} // namespace talmor::e2e

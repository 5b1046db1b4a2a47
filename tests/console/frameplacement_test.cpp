#include <gtest/gtest.h>

#include "console/commandids.h"
#include "console/frameplacement.h"
#include "support/consoleharness.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;

TEST(FitWithinTest, MovesTheFrameIntoTheAreaAndCutsWhatIsLarger) {
    // A work area that does not start at the screen's corner: panels on the left and on top.
    const QRect area(40, 30, 1000, 700);
    struct Case {
        const char* what;
        QRect frame;
        QRect fitted;
    };
    const Case cases[] = {
        {"inside stays", QRect(100, 100, 400, 300), QRect(100, 100, 400, 300)},
        {"exactly the area stays", area, area},
        {"title bar above the area", QRect(40, 10, 400, 300), QRect(40, 30, 400, 300)},
        {"left of the area", QRect(0, 100, 400, 300), QRect(40, 100, 400, 300)},
        {"past the right edge", QRect(900, 100, 400, 300), QRect(640, 100, 400, 300)},
        {"below the bottom edge", QRect(100, 600, 400, 300), QRect(100, 430, 400, 300)},
        {"client sized to the area, frame around it", QRect(36, 8, 1008, 726), area},
        {"taller than the area", QRect(100, 100, 400, 900), QRect(100, 30, 400, 700)},
        {"wider than the area", QRect(500, 100, 1500, 300), QRect(40, 100, 1000, 300)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitWithin(c.frame, area), c.fitted) << c.what;
    }
}

TEST(FramePlacementTest, AWindowShowsMaximisedUnlessThatSqueezesItBelowItsMinimumSize) {
    testing::EnsureApplication();
    const QRect area = WorkArea(QWidget());
    struct Case {
        QSize minimum;
        bool maximised;
    };
    const Case cases[] = {{QSize(200, 100), true}, {area.size(), false}};
    for (const Case& c : cases) {
        QWidget window;
        window.setMinimumSize(c.minimum);
        ShowOnWorkArea(window);
        EXPECT_EQ(window.isMaximized(), c.maximised) << c.minimum.width();
        EXPECT_EQ(window.frameGeometry().topLeft(), area.topLeft()) << c.minimum.width();
        if (c.maximised) {
            EXPECT_EQ(window.frameGeometry(), area);
        }
    }
}

TEST(FramePlacementTest, TheMainWindowsFrameStartsAtTheWorkAreasCornerAndComesBackSo) {
    ConsoleHarness h;
    h.login();
    ASSERT_TRUE(h.window().isVisible());
    EXPECT_EQ(h.window().frameGeometry().topLeft(), WorkArea(h.window()).topLeft());
    const Qt::WindowStates shown = h.window().windowState();
    // Minimised (closed where there is no tray), then brought back from the tray menu.
    h.window().showMinimized();
    h.window().onCommand(cmd::kTrayShowConsole);
    EXPECT_TRUE(h.window().isVisible());
    EXPECT_EQ(h.window().windowState() & ~Qt::WindowActive, shown & ~Qt::WindowActive);
}

TEST(FramePlacementTest, AWindowMinimisedBeforeItIsShownStaysMinimised) {
    testing::EnsureApplication();
    QWidget window;
    window.showMinimized();
    ShowOnWorkArea(window);
    EXPECT_TRUE(window.isMinimized());
    Restore(window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isMaximized());
}

} // namespace
} // namespace talmor

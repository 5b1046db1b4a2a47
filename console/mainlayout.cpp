#include "console/mainlayout.h"

namespace talmor {

MainGeometry LayOut(int width, int height, bool contactPaneShown, bool processPaneShown,
                    int tabRows) {
    const int w = width;
    const int h = height;
    const int r = contactPaneShown ? kContactPaneWidth : 0;
    const int b = processPaneShown ? kProcessPaneHeight : 0;
    const int top = kTabStripTop + kTabRowHeight * tabRows;
    MainGeometry g;
    g.tabStrip = QRect(0, kTabStripTop, w, kTabRowHeight * tabRows);
    g.contactPane = QRect(w - kContactPaneWidth, top, kContactPaneWidth, h - top - 45);
    g.callArea = QRect(1, top, w - r - 10, h - top - b - 45);
    g.processPane = QRect(1, h - b - 30, w - r - 10, b - 15);
    g.noticeStrip = QRect(620, h - 29, w - 640, 13);
    g.statusLabel = QRect(40, h - 32, 80, 20);
    g.scopeLabel = QRect(156, h - 32, 300, 20);
    g.providerLabel = QRect(466, h - 32, 150, 20);
    g.contactToggle = QRect(w - r - 11, h / 2 - 57, 9, 57);
    g.processToggle = QRect(200, h - b - 47, 57, 9);
    g.logo = QRect(w - 80, 0, 80, 33);
    return g;
}

} // namespace talmor

#pragma once

#include <QRect>

namespace talmor {

// Where the parts of the main window stand for a client area of `width` x `height`.
struct MainGeometry {
    QRect tabStrip;
    QRect contactPane;
    QRect callArea; // the call panes and the work pane
    QRect processPane;
    QRect noticeStrip;
    QRect statusLabel;   // 1076
    QRect scopeLabel;    // 1075
    QRect providerLabel; // 1077
    QRect contactToggle; // 1025
    QRect processToggle; // 1026
    QRect logo;          // the 80 x 33 area in the top right corner
};

constexpr int kContactPaneWidth = 217;
constexpr int kProcessPaneHeight = 210;
constexpr int kTabRowHeight = 19;
constexpr int kTabStripTop = 94;

MainGeometry LayOut(int width, int height, bool contactPaneShown, bool processPaneShown,
                    int tabRows);

} // namespace talmor

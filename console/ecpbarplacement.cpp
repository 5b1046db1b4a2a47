#include "console/ecpbarplacement.h"

namespace talmor {

namespace {

// Kind 1: from the window's right edge, in by 9 pixels and one step per button.
constexpr int kContactRightInset = 9;
constexpr int kContactTop = 147;
constexpr int kTabRowHeight = 19;
// Kind 2: the call button's place from the window's left edge, and the row's offset from the
// window's bottom.
constexpr int kProcessCallX = 495;
constexpr int kProcessBottomOffset = 212;

} // namespace

EcpBarPlacement EcpBarPlacement::Initial() {
    EcpBarPlacement bar;
    bar.geometry = QRect(0, 0, kButtonWidth, kButtonHeight);
    return bar;
}

QRect EcpBarPlacement::ButtonRect(int index) {
    return QRect(index * kButtonStep, 0, kButtonWidth, kButtonHeight);
}

EcpBarPlacement EcpBarPlacement::Place(const QRect& window, int tabRows, int rowTop, int kind,
                                       bool show, const EcpBarValues& given) {
    // Qt's right() and bottom() are the last pixel; the edges here are the first pixel past it.
    const int right = window.x() + window.width();
    const int bottom = window.y() + window.height();
    EcpBarPlacement bar;
    int x = 0;
    int y = 0;
    int width = 0;
    if (kind == kContact) {
        x = right - kContactRightInset;
        if (!given.phone.empty()) {
            x -= kButtonStep;
            width += kButtonWidth;
            bar.buttons.push_back(kEcpCallButton);
            bar.values.phone = given.phone;
        }
        y = window.y() + kContactTop + kTabRowHeight * tabRows + rowTop;
    } else if (kind == kProcessRow) {
        x = window.x() + kProcessCallX;
        width = kButtonWidth;
        bar.buttons.push_back(kEcpCallButton);
        bar.values.phone = given.phone;
        bar.values.callId = given.callId;
        bar.values.name = given.name;
        y = bottom - kProcessBottomOffset + rowTop;
    } else {
        // Put away: nothing to offer, nothing to show (a bar of no size shows nothing).
        bar.geometry = QRect(0, 0, 0, 0);
        return show ? bar : Initial();
    }
    if (given.userId != 0) {
        x -= kButtonStep;
        width += kButtonStep;
        bar.buttons.push_back(kEcpSmsButton);
        bar.values.userId = given.userId;
    }
    if (!given.email.empty()) {
        x -= kButtonStep;
        width += kButtonStep;
        bar.buttons.push_back(kEcpMailButton);
        bar.values.email = given.email;
    }
    if (!show) {
        return Initial();
    }
    bar.geometry = QRect(x, y, width, kButtonHeight);
    bar.visible = width > 0;
    return bar;
}

} // namespace talmor

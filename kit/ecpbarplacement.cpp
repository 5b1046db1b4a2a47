#include "kit/ecpbarplacement.h"

namespace talmor {

namespace {

// Kind 1: from the row's right edge, in by 2 pixels and one step per button.
constexpr int kContactRightInset = 2;
// Kind 2: the call button's place from the row's left edge.
constexpr int kProcessCallX = 490;

} // namespace

EcpBarPlacement EcpBarPlacement::Initial() {
    EcpBarPlacement bar;
    bar.geometry = QRect(0, 0, kButtonWidth, kButtonHeight);
    return bar;
}

QRect EcpBarPlacement::ButtonRect(int index) {
    return QRect(index * kButtonStep, 0, kButtonWidth, kButtonHeight);
}

EcpBarPlacement EcpBarPlacement::Place(const QRect& row, int kind, bool show,
                                       const EcpBarValues& given) {
    // Qt's right() is the last pixel; the edge here is the first pixel past it.
    const int right = row.x() + row.width();
    // Centred on the row.
    const int y = row.y() + (row.height() - kButtonHeight) / 2;
    EcpBarPlacement bar;
    int x = 0;
    int width = 0;
    if (kind == kContact) {
        x = right - kContactRightInset;
        if (!given.phone.empty()) {
            x -= kButtonStep;
            width += kButtonWidth;
            bar.buttons.push_back(kEcpCallButton);
            bar.values.phone = given.phone;
        }
    } else if (kind == kProcessRow) {
        x = row.x() + kProcessCallX;
        width = kButtonWidth;
        bar.buttons.push_back(kEcpCallButton);
        bar.values.phone = given.phone;
        bar.values.callId = given.callId;
        bar.values.name = given.name;
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

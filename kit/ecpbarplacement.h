#pragma once

#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

namespace talmor {

// What the quick-action bar offers for the row under the mouse (texts in GBK).
struct EcpBarValues {
    std::string phone;
    std::string email;
    uint32_t userId = 0;
    uint32_t callId = 0;
    std::string name;

    bool operator==(const EcpBarValues& other) const {
        return phone == other.phone && email == other.email && userId == other.userId &&
               callId == other.callId && name == other.name;
    }
};

// Button commands of the bar, left to right in this order.
constexpr int kEcpCallButton = 1160;
constexpr int kEcpSmsButton = 1162;
constexpr int kEcpMailButton = 1161;

// The bar for one ShowEcpBar: where it stands (screen pixels), which buttons it shows, the
// values its buttons act on, and whether it is visible.
struct EcpBarPlacement {
    // Kinds of ShowEcpBar.
    static constexpr int kHide = 0;
    static constexpr int kContact = 1;
    static constexpr int kProcessRow = 2;

    static constexpr int kButtonWidth = 20;
    static constexpr int kButtonHeight = 18;
    static constexpr int kButtonStep = 21;

    QRect geometry;
    std::vector<int> buttons;
    EcpBarValues values;
    bool visible = false;

    // `row` is the hovered row's rectangle on the screen, as its list shows it: the bar stands
    // on the row whatever frame the window manager draws around the window. Kind 1 is a
    // contact of the contact list (the bar at the row's right end), kind 2 a row of the
    // processing list (the call button over the same place of every row); kind 0 (or any
    // other) puts the bar away.
    static EcpBarPlacement Place(const QRect& row, int kind, bool show, const EcpBarValues& given);
    // The bar as it is made and as it is put away: at (0, 0), 20 x 18, hidden, empty.
    static EcpBarPlacement Initial();
    // Where button `index` of `buttons` stands inside the bar.
    static QRect ButtonRect(int index);
};

} // namespace talmor

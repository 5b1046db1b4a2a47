#pragma once

#include <QRect>

namespace talmor {

// A rectangle of a dialog template in dialog units, in pixels for the 9-point dialog font
// (a dialog unit is a quarter of its average character width and an eighth of its height).
inline QRect DialogRect(int x, int y, int width, int height) {
    auto px = [](int units) { return units * 3 / 2; };
    auto py = [](int units) { return units * 13 / 8; };
    return QRect(px(x), py(y), px(width), py(height));
}

} // namespace talmor

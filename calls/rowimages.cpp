#include "calls/rowimages.h"

#include <array>

#include "calls/callresources.h"

namespace talmor {

QIcon RowImage(int index) {
    if (index < 0 || index >= kRowImageCount) {
        return QIcon();
    }
    // Rendered once: every row of every list shares them.
    static const std::array<QIcon, kRowImageCount> images = [] {
        std::array<QIcon, kRowImageCount> result;
        for (int i = 0; i < kRowImageCount; ++i) {
            const QString file = QStringLiteral(":/calls/row%1.svg").arg(i);
            result[static_cast<std::size_t>(i)] = QIcon(RenderCallPicture(file, QSize(16, 16)));
        }
        return result;
    }();
    return images[static_cast<std::size_t>(index)];
}

} // namespace talmor

#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace talmor {

// Registers the call pictures of the calls/ resource file (it lives in a static library).
void RegisterCallResources();

// The SVG picture `resource` (":/calls/...", or another registered resource) rendered at `size`,
// or at its own size when `size` is empty; a null pixmap when it is missing.
QPixmap RenderCallPicture(const QString& resource, QSize size = QSize());

} // namespace talmor

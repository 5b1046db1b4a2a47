#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace talmor {

// Registers the call pictures of the calls/ resource file (it lives in a static library).
void RegisterCallResources();

// The SVG picture `resource` (":/calls/...") rendered at `size`; a null pixmap when it is
// missing.
QPixmap RenderCallPicture(const QString& resource, QSize size);

} // namespace talmor

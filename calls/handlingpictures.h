#pragma once

#include <QPixmap>
#include <QString>

namespace talmor {

// The pictures of the processing list and the handling windows (resources/handling/):
// "procheader" and "procband" (the list's header band), "familysms" and "sendcall" (the
// windows' banners), "contact" (the contact trees' image). Rendered at their natural size; a
// null pixmap when missing.
QPixmap HandlingPicture(const QString& name);

} // namespace talmor

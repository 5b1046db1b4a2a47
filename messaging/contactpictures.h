#pragma once

#include <QPixmap>

class QVBoxLayout;
class QWidget;

#include <cstdint>

namespace talmor {

// The pictures of the contact list and the group dialogs, drawn from the pane's own SVGs.
// Status marks: online, offline and away; expand marks of a group header.
QPixmap StatusPicture(uint32_t status);
QPixmap ExpandPicture(bool expanded);
// The banners of the create and rename dialogs.
QPixmap GroupBanner(bool create);
// The banner of the search wizards' conditions page.
QPixmap SearchBanner();
// Lays `page` out under `banner`, which spans its top edge; the page's controls go into the
// returned layout, which keeps them off the edges.
QVBoxLayout* UnderBanner(QWidget& page, const QPixmap& banner);

} // namespace talmor

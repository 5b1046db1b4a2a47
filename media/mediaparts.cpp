#include "media/mediaparts.h"

#include "console/talmormanagerdlg.h"
#include "media/file/filepart.h"

namespace talmor {

void InstallMediaParts(CTalmorManagerDlg& window) {
    window.routes().file = new FilePart(window);
}

} // namespace talmor

#include "media/mediaparts.h"

#include "console/talmormanagerdlg.h"
#include "media/video/videopart.h"

namespace talmor {

void InstallMediaParts(CTalmorManagerDlg& window) {
    window.routes().video = new VideoPart(window);
}

} // namespace talmor

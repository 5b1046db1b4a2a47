#include "media/mediaparts.h"

#include "console/talmormanagerdlg.h"

namespace talmor {

void InstallMediaParts(CTalmorManagerDlg& window) {
    (void)window;
}

} // namespace talmor

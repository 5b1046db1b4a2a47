#include "calls/callparts.h"

#include "calls/callintake.h"
#include "calls/handlingparts.h"
#include "console/talmormanagerdlg.h"
#include "kit/consolesounds.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg& window) {
    // The console's sounds come with its call side, whose alarms are most of them.
    window.routes().calls = new CallIntake(window, InstallConsoleSounds(window));
    InstallHandlingParts(window);
}

} // namespace talmor

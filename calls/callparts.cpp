#include "calls/callparts.h"

#include "calls/callintake.h"
#include "calls/handlingparts.h"
#include "console/talmormanagerdlg.h"
#include "kit/consolesounds.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg& window) {
    // The console's sounds come with its call side, whose alarms are most of them.
    auto* intake = new CallIntake(window, InstallConsoleSounds(window));
    window.routes().calls = intake;
    window.routes().intake = intake;
    InstallHandlingParts(window);
}

} // namespace talmor

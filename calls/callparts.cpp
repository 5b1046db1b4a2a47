#include "calls/callparts.h"

#include "calls/callintake.h"
#include "calls/handlingparts.h"
#include "console/talmormanagerdlg.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg& window) {
    window.routes().calls = new CallIntake(window);
    InstallHandlingParts(window);
}

} // namespace talmor

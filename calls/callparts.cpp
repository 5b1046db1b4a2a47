#include "calls/callparts.h"

#include "calls/callintake.h"
#include "calls/handlingparts.h"
#include "console/talmormanagerdlg.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg& window) {
    auto* intake = new CallIntake(window);
    window.routes().calls = intake;
    window.routes().intake = intake;
    InstallHandlingParts(window);
}

} // namespace talmor

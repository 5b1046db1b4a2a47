#include "calls/callparts.h"

#include "calls/handlingparts.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg& window) {
    InstallHandlingParts(window);
}

} // namespace talmor

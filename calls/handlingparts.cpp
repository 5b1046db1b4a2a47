#include "calls/handlingparts.h"

namespace talmor {

void InstallHandlingParts(CTalmorManagerDlg&) {}

} // namespace talmor

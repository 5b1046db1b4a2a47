#include "calls/callparts.h"

namespace talmor {

void InstallCallParts(CTalmorManagerDlg&) {}

} // namespace talmor

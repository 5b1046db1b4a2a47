#include "messaging/messagingparts.h"

namespace talmor {

void InstallMessagingParts(CTalmorManagerDlg&) {}

} // namespace talmor

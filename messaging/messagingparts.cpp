#include "messaging/messagingparts.h"

#include "console/talmormanagerdlg.h"
#include "messaging/chat/chatpart.h"
#include "messaging/contactpart.h"

namespace talmor {

void InstallMessagingParts(CTalmorManagerDlg& window) {
    window.routes().contacts = new ContactPart(window);
    window.routes().messaging = new ChatPart(window);
}

} // namespace talmor

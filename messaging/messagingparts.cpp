#include "messaging/messagingparts.h"

#include "kit/consolehost.h"
#include "messaging/chat/chatpart.h"
#include "messaging/contactpart.h"
#include "messaging/searchpart.h"

namespace talmor {

void InstallMessagingParts(ConsoleHost& window) {
    auto* contacts = new ContactPart(window);
    window.routes().contacts = contacts;
    window.routes().search = new SearchPart(window, *contacts);
    auto* chat = new ChatPart(window);
    window.routes().messaging = chat;
    window.routes().chat = chat;
}

} // namespace talmor

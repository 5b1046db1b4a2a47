#pragma once

#include <cstdint>

#include "protocol/sessionrecords.h"
#include "server/platformserver.h"

namespace talmor::server {

// Sends a chat message (519) to `recipient` when its console's login is complete; otherwise
// keeps it, for an operator or merchant who can log in, until the next login completes. True
// when sent.
bool deliverMessage(PlatformServer& server, uint32_t recipient, const ServerMessage& message);
// The console's login completed: the messages kept for its operator go to it, oldest first;
// each is forgotten once the console acknowledged it.
void deliverKeptMessages(PlatformServer& server, ConsoleSession& session);
// The console acknowledged `seq`: a kept message it carried is delivered.
void keptMessageAcknowledged(PlatformServer& server, ConsoleSession& session, uint16_t seq);

} // namespace talmor::server

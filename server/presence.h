#pragma once

#include "protocol/records.h"
#include "server/platformserver.h"

namespace talmor::server {

// How a logged-in console appears to its contacts' consoles, with the address the control API
// chose for its operator.
PresenceEntry presenceOf(const PlatformServer& server, const ConsoleSession& session);

// The console has its contact list: it gets its online contacts (514), the consoles that list
// its operator see it arrive (512) unless it is invisible, and the messages kept for it follow.
void completeLogin(PlatformServer& server, ConsoleSession& session);
// The operator changed status from `before`: contacts see it arrive, change (515) or leave.
void announceStatus(PlatformServer& server, ConsoleSession& session, uint32_t before);
// `watcher` just added `contactId`: it sees the contact online when the contact is logged in
// and visible.
void announceContactTo(PlatformServer& server, ConsoleSession& watcher, uint32_t contactId);
// The operator leaves (logout, silence): contacts that saw it see it go (513).
void announceLeaving(PlatformServer& server, ConsoleSession& session);

} // namespace talmor::server

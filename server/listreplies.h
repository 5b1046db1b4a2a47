#pragma once

#include <cstdint>

#include "server/platformserver.h"

namespace talmor::server {

// Answers call list request `request` (a waiting-call list or the taken calls) with the page
// after `startId`. A console asks again as soon as any reply arrives, so an empty page is held
// instead, until a call for the list arrives or the hold time is over; the newer of two
// requests for one list is the one answered.
void answerCallList(PlatformServer& server, ConsoleSession& session, uint16_t request, uint16_t seq,
                    uint32_t startId);

// Answers the held request for list `request` of `session` when its page now has calls.
void releaseHeldList(PlatformServer& server, ConsoleSession& session, uint16_t request);

// Answers the held requests of `session` whose hold time is over, with whatever their page
// holds now.
void releaseDueLists(PlatformServer& server, ConsoleSession& session);

} // namespace talmor::server

#pragma once

#include "protocol/packet.h"

namespace talmor {

class PlatformClient;

// Reads the body of a server datagram that passed the session's gate, hands it to the one
// listener operation its command calls, and sends the automatic requests some commands call
// for. Returns false for what is never acknowledged: keep-alive answers, call-gone notices
// and unknown commands.
bool dispatchCommand(PlatformClient& client, InPacket& in);

} // namespace talmor

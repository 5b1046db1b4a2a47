#pragma once

#include <cstdint>
#include <string>

namespace talmor {

// What the login, status and presence logic needs from the direct sessions between consoles.
// The console installs its implementation with ClientListener::setPeerSessions; without one,
// the message port is 0 and there is nothing to close.
class PeerSessions {
public:
    virtual ~PeerSessions() = default;
    // Closes every session of `kind`, opens a listener of that kind and returns its local port
    // (0 when it cannot be read).
    virtual uint16_t listenFor(const std::string& kind) = 0;
    // Closes every session with `peer`.
    virtual void closeSessionsWith(uint32_t peer) = 0;
    // Closes every session that has a peer; with `all`, every session, listeners included.
    virtual void closeContactSessions(bool all) = 0;
    // `peer` announced itself online (perhaps at a new address or port).
    virtual void contactOnline(uint32_t peer) = 0;
};

} // namespace talmor

#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "protocol/peersessionmanager.h"
#include "support/clientharness.h"

namespace talmor::testing {

// One console with its peer sessions on in-memory sockets, logged in (its message listener
// open on `address`) as operator `id`.
struct PeerConsole {
    PeerConsole(uint32_t id, uint32_t address);

    // `other` becomes a contact announced online at its address and message port; with
    // `reachable` false it is announced without an address (altAddress 0).
    void knows(const PeerConsole& other, bool reachable = true);
    uint16_t messagePort() const;
    // The newest stream socket the console made or accepted.
    int newestStream() const;

    uint32_t id;
    uint32_t address;
    ClientHarness h;
    PeerSessionManager peers;
};

// Carries the bytes of stream connections between two consoles' in-memory sockets: connects
// reach the other side's listener at that port (or fail), what one side sends arrives at the
// other, a close is seen by the other side after the bytes sent before it.
class PeerLink {
public:
    PeerLink(PeerConsole& a, PeerConsole& b);
    ~PeerLink();
    PeerLink(const PeerLink&) = delete;
    PeerLink& operator=(const PeerLink&) = delete;

    // Runs until nothing moves any more.
    void pump();

private:
    struct End {
        PeerConsole* console = nullptr;
        int handle = kNoSocket;
        std::size_t moved = 0;       // entries of `sent` already carried
        std::vector<uint8_t> unread; // carried after the socket closed
        bool closed = false;
        bool closeSeen = false;
    };
    struct Connection {
        End ends[2];
    };

    bool connectWaiting(PeerConsole& from, PeerConsole& to);
    bool carry(End& from, End& to);
    void noteClose(PeerConsole& console, int handle, const MemorySockets::Socket& socket);

    PeerConsole& a_;
    PeerConsole& b_;
    std::vector<Connection> connections_;
    std::map<std::pair<PeerConsole*, int>, bool> settled_; // connects answered
};

} // namespace talmor::testing

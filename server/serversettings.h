#pragma once

#include <cstddef>
#include <cstdint>

namespace talmor::server {

// Tunables of the server, from the seed and the command line.
struct ServerSettings {
    int resendIntervalMs = 1000; // a server packet not acknowledged goes again after this
    int maxSends = 5;            // ... and is given up after this many sends
    // Packets awaiting acknowledgement that may be out to one console at once; the rest wait.
    // A console reads nothing while it sends a burst of requests (one per contact at login),
    // so answers beyond what its receive buffer holds would be lost.
    std::size_t sendWindow = 256;
    int sessionTimeoutMs =
        90000; // a console silent this long is forgotten (it keeps alive every 30 s)
    // A call list request that would get an empty page waits this long for a call before the
    // empty page goes: a console asks again at once after every reply, empty or not. 0 answers
    // at once.
    int listHoldMs = 25000;
    std::size_t callPageSize = 20;   // calls per list reply
    std::size_t searchPageSize = 20; // entries per search reply
    std::size_t sellerReplyLimit = 50;
    std::size_t logLimit = 5000; // requests kept per operator for the control API
    // Calls that may wait at once: an injection beyond is refused whole, the scenario pauses.
    std::size_t maxWaitingCalls = 100000;
    uint32_t requiredClientVersion = 50;
    uint32_t serverValue = 0;
    uint32_t reminderEnabled = 1;
    uint32_t reminderMinutes = 30;
};

} // namespace talmor::server

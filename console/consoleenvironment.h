#pragma once

#include "protocol/environment.h"
#include "protocol/socketlayer.h"

namespace talmor {

// The sockets, host lookup, timers, clock and random source the console's protocol core runs
// on: Qt's in the program, in-memory fakes in the tests.
struct ConsoleEnvironment {
    SocketLayer& sockets;
    HostResolver& resolver;
    TimerHost& timers;
    const Clock& clock;
    Random& random;
};

// Timers of the main window beside the protocol core's 1001 and 1002.
constexpr int kTrayBlinkTimer = 1003;
constexpr int kTrayBlinkMs = 250;
constexpr int kReminderTimer = 1007;
constexpr int kTabBlinkTimer = 1008;
constexpr int kTabBlinkMs = 500;

} // namespace talmor

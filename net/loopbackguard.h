#pragma once

#include <cstdint>

namespace talmor {

// Test runs set TALMOR_LOOPBACK_ONLY=1: then a connection or datagram to an address outside
// the machine's loopback range ends the program with a report naming it, so a test that points
// a console, a server or a tool anywhere else fails loudly instead of sending traffic off the
// machine. Without the variable every address is allowed.
bool loopbackOnly();
// Whether traffic to `address` (IPv4, host order) may leave; 0.0.0.0 is this host.
bool isLoopbackAddress(uint32_t address);
// Ends the program when the guard is on and `address` is not loopback; `what` names the try.
void checkLoopbackOnly(uint32_t address, uint16_t port, const char* what);

} // namespace talmor

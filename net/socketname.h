#pragma once

#include <cstdint>

namespace talmor {

// The IPv4 address and port (host order) a system socket is bound to, or its peer's; 0 when
// the socket has none.
uint32_t SocketAddress(int fd, bool peer = false);
uint16_t SocketPort(int fd, bool peer = false);

} // namespace talmor

#include "net/loopbackguard.h"

#include <QtGlobal>

#include <cstdlib>

namespace talmor {

bool loopbackOnly() {
    static const bool on = qEnvironmentVariableIntValue("TALMOR_LOOPBACK_ONLY") != 0;
    return on;
}

bool isLoopbackAddress(uint32_t address) {
    return address == 0 || (address >> 24) == 127;
}

void checkLoopbackOnly(uint32_t address, uint16_t port, const char* what) {
    if (!loopbackOnly() || isLoopbackAddress(address)) {
        return;
    }
    qFatal("loopback guard: refused %s to %u.%u.%u.%u:%u outside the loopback range "
           "(TALMOR_LOOPBACK_ONLY is set)",
           what, address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF,
           port);
}

} // namespace talmor

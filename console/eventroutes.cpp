#include "console/eventroutes.h"

#include "protocol/trace.h"

namespace talmor {

void ReportUnrouted(const char* operation, uint32_t key) {
    trace(std::string("no receiver for ") + operation + " (" + std::to_string(key) + ")");
}

} // namespace talmor

#include "kit/eventroutes.h"

#include "protocol/trace.h"

namespace talmor {

void ReportUnrouted(const char* operation, uint32_t key) {
    trace(std::string("no receiver for ") + operation + " (" + std::to_string(key) + ")");
}

void HandlingReceiver::openFamilySms(uint32_t callId, uint32_t, const std::string&,
                                     const std::string&) {
    ReportUnrouted("family SMS", callId);
}

void MessagingReceiver::openChat(uint32_t userId, ChatStart) {
    ReportUnrouted("chat window", userId);
}

} // namespace talmor

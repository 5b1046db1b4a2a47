#include "server/calllists.h"

#include "protocol/commands.h"

namespace talmor::server {

namespace {
// The category panes are numbered in their own order: categories 2 to 9, then 11 to 26
// (customer service, 10, has a list of its own).
uint32_t categoryOfPane(uint16_t pane) {
    return pane < 8 ? pane + 2u : pane + 3u;
}
} // namespace

std::optional<CallList> callListOfRequest(uint16_t code) {
    switch (code) {
    case CMD_GET_HELP_CALLS:
        return CallList{code, CMD_HELP_CALLS, kHelpCategory, CallWireOrder::ListEntryWithSource};
    case CMD_GET_SOS_CALLS:
        return CallList{code, CMD_SOS_CALLS, kSosCategory, CallWireOrder::ListEntryWithSource};
    case CMD_GET_SERVICE_CALLS:
        return CallList{code, CMD_SERVICE_CALLS, kServiceCategory, CallWireOrder::ListEntry};
    default:
        break;
    }
    if (code >= CMD_GET_CATEGORY_CALLS && code < CMD_GET_CATEGORY_CALLS + kCategoryPaneCount) {
        const auto pane = static_cast<uint16_t>(code - CMD_GET_CATEGORY_CALLS);
        return CallList{code, static_cast<uint16_t>(CMD_CATEGORY_CALLS + pane),
                        categoryOfPane(pane), CallWireOrder::ListEntry};
    }
    return std::nullopt;
}

std::optional<CallList> callListOfCategory(uint32_t category) {
    for (uint16_t code = CMD_GET_CATEGORY_CALLS; code < CMD_GET_CATEGORY_CALLS + kCategoryPaneCount;
         ++code) {
        if (callListOfRequest(code)->category == category) {
            return callListOfRequest(code);
        }
    }
    switch (category) {
    case kHelpCategory:
        return callListOfRequest(CMD_GET_HELP_CALLS);
    case kSosCategory:
        return callListOfRequest(CMD_GET_SOS_CALLS);
    case kServiceCategory:
        return callListOfRequest(CMD_GET_SERVICE_CALLS);
    default:
        return std::nullopt;
    }
}

} // namespace talmor::server

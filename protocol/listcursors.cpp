#include "protocol/listcursors.h"

#include "protocol/commands.h"

namespace talmor {

int ListCursors::listOfReply(uint16_t replyCode) {
    switch (replyCode) {
    case CMD_HELP_CALLS:
        return kHelp;
    case CMD_SOS_CALLS:
        return kSos;
    case CMD_SERVICE_CALLS:
        return kService;
    case CMD_TAKEN_CALLS:
        return kTaken;
    default:
        break;
    }
    if (replyCode >= CMD_CATEGORY_CALLS && replyCode < CMD_CATEGORY_CALLS + kCategoryPaneCount) {
        return kFirstCategory + (replyCode - CMD_CATEGORY_CALLS);
    }
    return -1;
}

uint16_t ListCursors::requestOf(int list) {
    switch (list) {
    case kHelp:
        return CMD_GET_HELP_CALLS;
    case kSos:
        return CMD_GET_SOS_CALLS;
    case kService:
        return CMD_GET_SERVICE_CALLS;
    case kTaken:
        return CMD_GET_TAKEN_CALLS;
    default:
        return static_cast<uint16_t>(CMD_GET_CATEGORY_CALLS + (list - kFirstCategory));
    }
}

} // namespace talmor

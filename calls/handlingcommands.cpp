#include "calls/handlingcommands.h"

#include "calls/handlingmenu.h"
#include "calls/othermemodlg.h"
#include "calls/procdlg.h"
#include "calls/sellersearchdlg.h"
#include "calls/specialsmssend.h"
#include "kit/categories.h"
#include "kit/consolehost.h"
#include "kit/deployment.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "protocol/sessionrecords.h"

namespace talmor {

namespace {

bool MainWindowRegistered(ConsoleHost& window) {
    return window.windows().findWindow(ConsoleHost::kMainWindowType, 0, 0) != nullptr;
}

// The menu greys these without the help-handling right; a command that comes another way is
// held to the same rule.
bool NeedsHelpRight(int command, const CallRecord& call) {
    return call.category == static_cast<uint32_t>(kHelpCategory) &&
           (command == kCmdSellerSearch || command == kCmdChooseHelper);
}

void ShowPage(ConsoleHost& window, int command, const CallRecord& call) {
    if (!MainWindowRegistered(window)) {
        return;
    }
    const HandlingPageAddress page =
        HandlingPage(command, window.operatorId(), window.installationId(), call);
    if (!page.path.empty()) {
        window.ShowInWorkPane(PageUrl(window.backOfficeBase(), page.path, page.query));
    }
}

} // namespace

void RunHandlingCommand(ConsoleHost& window, CProcDlg& list, int command, const CallRecord& call) {
    if (NeedsHelpRight(command, call) && !window.seatRights().granted(kHelpHandlingRight)) {
        return;
    }
    PlatformClient& client = window.client();
    switch (command) {
    case kCmdGiveUp:
        list.RemoveCall(call.callId);
        client.giveUpCall(call.callId);
        break;
    case kCmdMisdial:
        client.misdial(call.callId);
        break;
    case kCmdBlacklist:
        client.blacklist(call.callId, call.phone);
        break;
    case kCmdFamilySms:
        CSpecialSmsSend::Open(window, call.callId, call.userId, call.userName, call.phone);
        break;
    case kCmdReport:
        COtherMemoDlg::Open(window, call);
        break;
    case kCmdSellerSearch:
        CSellerSearchDlg::Open(window, call);
        break;
    case kCmdLocate:
        if (!call.mobile.empty()) {
            window.ShowInWorkPane(PositionMapUrl(window.deployment().positionService, call.mobile));
        }
        break;
    case kCmdCallerInfo:
    case kCmdCallHistory:
    case kCmdMapSearch:
    case kCmdChooseHelper:
        ShowPage(window, command, call);
        break;
    default:
        break;
    }
}

} // namespace talmor

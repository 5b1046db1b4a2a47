#include "console/optionsheetentry.h"

#include "console/appfolders.h"
#include "console/talmormanagerdlg.h"
#include "storage/optionstore.h"

namespace talmor {

void OpenOptionsSheet(CTalmorManagerDlg& window, QWidget* owner, OptionPage page) {
    // Before the first login there is no operator folder: the data files would be made in the
    // working folder.
    if (userFolder().empty()) {
        return;
    }
    if (OptionsReceiver* sheet = window.routes().options) {
        sheet->runOptionSheet(owner, static_cast<int>(page));
    } else {
        ReportUnrouted("options sheet", static_cast<uint32_t>(page));
    }
    storage::LoadOptions(userFolder(), window.options());
}

} // namespace talmor

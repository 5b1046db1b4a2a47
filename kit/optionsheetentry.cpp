#include "kit/optionsheetentry.h"

#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "storage/optionstore.h"

namespace talmor {

void OpenOptionsSheet(ConsoleHost& host, QWidget* owner, OptionPage page) {
    // Before the first login there is no operator folder: the data files would be made in the
    // working folder.
    if (userFolder().empty()) {
        return;
    }
    if (OptionsReceiver* sheet = host.routes().options) {
        sheet->runOptionSheet(owner, static_cast<int>(page));
    } else {
        ReportUnrouted("options sheet", static_cast<uint32_t>(page));
    }
    storage::LoadOptions(userFolder(), host.options());
}

} // namespace talmor

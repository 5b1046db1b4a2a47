#pragma once

#include "protocol/records.h"

namespace talmor {

class CProcDlg;
class ConsoleHost;

// Runs handling command `command` of the processing list `list` on `call`, the record of its
// selected row: requests to the server, the handling windows (one of each kind per call) and
// the pages about the caller in the work pane.
void RunHandlingCommand(ConsoleHost& window, CProcDlg& list, int command, const CallRecord& call);

} // namespace talmor

#pragma once

#include <QString>

#include <string>

#include "storage/consoleoptions.h"

namespace talmor {

using SafetySwitches = storage::SafetySwitches;

// The switches of the INI at `path`, its [safety] section:
//   realert=true       repeat the alarm of a waiting SOS or help call until it is taken
//   waitingtime=true   the oldest wait in the status line and a waiting column in the panes
//   journal=true       the handling journal of every call step
// A missing file or key leaves the feature on, and only "false", "off", "no" or "0" turn one off.
SafetySwitches LoadSafetySwitches(const QString& path);

// The switches of the operator whose folder is `userFolder`: those the option sheet's system
// page stored, else `iniSwitches` (a first run).
SafetySwitches OperatorSwitches(const std::string& userFolder, const SafetySwitches& iniSwitches);

} // namespace talmor

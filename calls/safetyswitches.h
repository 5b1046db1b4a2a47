#pragma once

#include <QString>

namespace talmor {

// The operator-safety features, each on unless the INI's [safety] section turns it off:
//   realert=true       repeat the alarm of a waiting SOS or help call until it is taken
//   waitingtime=true   the oldest wait in the status line and a waiting column in the panes
//   journal=true       the handling journal of every call step
struct SafetySwitches {
    bool realert = true;
    bool waitingTime = true;
    bool journal = true;
};

// The switches of the INI at `path`; a missing file or key leaves the feature on, and only
// "false", "off", "no" or "0" turn one off.
SafetySwitches LoadSafetySwitches(const QString& path);

} // namespace talmor

#include "calls/safetyswitches.h"

#include <QSettings>

#include "storage/optionstore.h"

namespace talmor {

namespace {

bool Switch(const QSettings& ini, const char* key) {
    const QString value = ini.value(key).toString().trimmed().toLower();
    return !(value == "false" || value == "off" || value == "no" || value == "0");
}

} // namespace

SafetySwitches LoadSafetySwitches(const QString& path) {
    const QSettings ini(path, QSettings::IniFormat);
    SafetySwitches switches;
    switches.realert = Switch(ini, "safety/realert");
    switches.waitingTime = Switch(ini, "safety/waitingtime");
    switches.journal = Switch(ini, "safety/journal");
    return switches;
}

SafetySwitches OperatorSwitches(const std::string& userFolder, const SafetySwitches& iniSwitches) {
    SafetySwitches stored;
    return storage::LoadSafetySwitches(userFolder, stored) ? stored : iniSwitches;
}

} // namespace talmor

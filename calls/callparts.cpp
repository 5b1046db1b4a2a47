#include "calls/callparts.h"

#include "calls/callintake.h"
#include "calls/handlingparts.h"
#include "kit/consolehost.h"
#include "kit/consolesounds.h"

namespace talmor {

void InstallCallParts(ConsoleHost& window) {
    // The console's sounds come with its call side, whose alarms are most of them.
    auto* intake = new CallIntake(window, InstallConsoleSounds(window));
    window.routes().calls = intake;
    window.routes().intake = intake;
    InstallHandlingParts(window);
}

} // namespace talmor

#pragma once

namespace talmor {

class ConsoleHost;

// Puts the processing list into `window` and installs the receiver of the taken calls and of
// the windows that handle one call (routes().handling). They live as long as the window.
void InstallHandlingParts(ConsoleHost& window);

} // namespace talmor

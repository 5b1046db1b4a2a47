#pragma once

namespace talmor {

class ConsoleHost;

// Puts the call panes, the processing list and the call windows into `window` and installs
// their receivers (the window's routes().calls and routes().handling), and the console's sounds
// (routes().sounds). They live as long as the window.
void InstallCallParts(ConsoleHost& window);

} // namespace talmor

#pragma once

namespace talmor {

class ConsoleHost;

// Puts the contact pane into `window` and installs its receiver (routes().contacts), the search
// wizards' (routes().search) and the chat windows' (routes().messaging). They live as long as
// the window.
void InstallMessagingParts(ConsoleHost& window);

} // namespace talmor

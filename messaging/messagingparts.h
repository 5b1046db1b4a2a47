#pragma once

namespace talmor {

class CTalmorManagerDlg;

// Puts the contact pane into `window` and installs its receiver (routes().contacts); the chat
// and search windows join it later. They live as long as the window.
void InstallMessagingParts(CTalmorManagerDlg& window);

} // namespace talmor

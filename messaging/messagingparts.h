#pragma once

namespace talmor {

class CTalmorManagerDlg;

// Puts the contact pane into `window` and installs its receiver (routes().contacts) and the
// search wizards' (routes().search); the chat windows join them later. They live as long as
// the window.
void InstallMessagingParts(CTalmorManagerDlg& window);

} // namespace talmor

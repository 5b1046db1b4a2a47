#pragma once

namespace talmor {

class CTalmorManagerDlg;

// Puts the contact pane into `window` and installs its receiver (routes().contacts) and the
// chat windows' (routes().messaging); the search windows join them later. They live as long as
// the window.
void InstallMessagingParts(CTalmorManagerDlg& window);

} // namespace talmor

#pragma once

namespace talmor {

class CTalmorManagerDlg;

// Installs the receivers of the file, voice and video events into the main window's routes.
void InstallMediaParts(CTalmorManagerDlg& window);

} // namespace talmor

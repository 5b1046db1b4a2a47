#pragma once

namespace talmor {

class ConsoleHost;

// Installs the receivers of the file, voice and video events into the main window's routes.
void InstallMediaParts(ConsoleHost& window);

} // namespace talmor

#pragma once

namespace talmor {

class ConsoleHost;
class FilePart;
class VideoPart;
class VoicePart;

// The media parts installed in one main window, by their own types; none without a chat part.
struct MediaParts {
    FilePart* file = nullptr;
    VoicePart* voice = nullptr;
    VideoPart* video = nullptr;
};

// Installs the receivers of the file, voice and video events into the main window's routes.
MediaParts InstallMediaParts(ConsoleHost& window);

} // namespace talmor

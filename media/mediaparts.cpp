#include "media/mediaparts.h"

#include "kit/consolehost.h"
#include "media/file/filepart.h"
#include "media/video/videopart.h"
#include "media/voice/qtaudio.h"
#include "media/voice/voicepart.h"

namespace talmor {

MediaParts InstallMediaParts(ConsoleHost& window) {
    if (window.routes().chat == nullptr) {
        return {}; // transfers and talks run in chat windows
    }
    MediaParts parts;
    parts.file = new FilePart(window);
    parts.voice = new VoicePart(window, std::make_unique<voice::QtAudioBackend>());
    parts.video = new VideoPart(window);
    window.routes().file = parts.file;
    window.routes().voice = parts.voice;
    window.routes().video = parts.video;
    return parts;
}

} // namespace talmor

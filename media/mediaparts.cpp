#include "media/mediaparts.h"

#include "kit/consolehost.h"
#include "media/file/filepart.h"
#include "media/video/videopart.h"
#include "media/voice/qtaudio.h"
#include "media/voice/voicepart.h"

namespace talmor {

void InstallMediaParts(ConsoleHost& window) {
    if (window.routes().chat == nullptr) {
        return; // transfers and talks run in chat windows
    }
    window.routes().file = new FilePart(window);
    window.routes().voice = new VoicePart(window, std::make_unique<voice::QtAudioBackend>());
    window.routes().video = new VideoPart(window);
}

} // namespace talmor

#pragma once

#include <QString>

#include <cstdint>

#include "support/mediaconsole.h"

namespace talmor::e2e {

// A console of the media harness whose pictures come from `videoSource` (the [video] source
// key), in the application folder the program's video consoles share; its operator answers the
// message boxes with Yes.
class VideoConsole : public MediaConsole {
public:
    VideoConsole(uint16_t udpPort, uint16_t httpPort, const QString& videoSource);
};

// One application folder for the consoles of this process.
void UseVideoApplicationFolder();

} // namespace talmor::e2e

// The device interfaces' meta-object code is generated beside this file.
#include "media/voice/audiodevices.h"

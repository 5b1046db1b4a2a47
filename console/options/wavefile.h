#pragma once

#include <string>

namespace talmor {

// Whether the file at `path` is a wave file the console's sound output can play: a RIFF "WAVE"
// file whose "fmt " chunk describes PCM or floating-point samples (plain or extensible form)
// of 8, 16, 24 or 32 bits, one to eight channels and a sample rate, and that has a "data" chunk.
// A missing or unreadable file is not one.
bool IsPlayableWave(const std::string& path);

} // namespace talmor

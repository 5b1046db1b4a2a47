#pragma once

#include <functional>
#include <string>

namespace talmor {

// One-line trace messages of the protocol core. They go to standard output unless a sink is
// installed (tests capture them).
void trace(const std::string& line);
using TraceSink = std::function<void(const std::string&)>;
// Installs `sink` (an empty function restores standard output); returns the previous sink.
TraceSink setTraceSink(TraceSink sink);

} // namespace talmor

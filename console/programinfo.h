#pragma once

#include <optional>
#include <string>

namespace talmor {

// The console's version, as the build names it.
const char* ProgramVersion();

// What `talmormanager --help` (or -h) and `--version` print; none for any other command line,
// which is a start URL.
std::optional<std::string> InformationRequested(int argc, const char* const* argv);

} // namespace talmor

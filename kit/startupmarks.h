#pragma once

namespace talmor {

// With TALMOR_MARKS set in the environment the console prints one line on standard output at
// each milestone of its start ("talmormanager: login dialog shown", "talmormanager: ready"), so
// benchmarks and whole-program tests can time it from outside. Otherwise it prints nothing.
void Mark(const char* milestone);

} // namespace talmor

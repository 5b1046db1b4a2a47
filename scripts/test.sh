#!/usr/bin/env bash
# The one test command: installs what is missing, configures, builds and runs every test.
# Extra arguments go to cmake's configure step (for example -DTALMOR_SANITIZE=ON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALMOR_WERROR=ON "$@"
cmake --build "$build" -j "$(nproc)"
cd "$build"
# Only read by sanitizer builds: leaks that system libraries leave at exit are not ours.
# The test programs' own environment (display, browser sandbox) comes with them from CMake.
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp} \
    ctest --output-on-failure -j "$(nproc)" --timeout 600

# A short fuzz run of every reader of outside bytes, when clang is here to build it.
if command -v clang++ >/dev/null; then
    FUZZ_RUNS=${FUZZ_RUNS:-50000} "$root/scripts/fuzz.sh"
fi

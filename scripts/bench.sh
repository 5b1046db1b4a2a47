#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs each one; every figure is printed beside its
# reference measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_BENCH_DIR:-$root/build-bench}
# Benchmarks talk to loopback only: the socket layer stops a program that tries anything else.
export TALMOR_LOOPBACK_ONLY=1

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTALMOR_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# The build lists every benchmark program it makes (talmor_benchmark in CMake), wherever its
# folder is; one that is listed but missing fails the run instead of dropping out unseen.
list="$build/benchmarks.txt"
if [[ ! -s $list ]]; then
    echo "bench.sh: $list lists no benchmarks" >&2
    exit 1
fi
status=0
while IFS= read -r bench; do
    [[ -n $bench ]] || continue
    echo "== $(basename "$bench")"
    if [[ ! -x $bench ]]; then
        echo "bench.sh: benchmark $bench was not built" >&2
        status=1
        continue
    fi
    "$bench" "$@" || status=1
done <"$list"
exit $status

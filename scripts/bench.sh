#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs each one; every figure is printed beside its
# reference measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_BENCH_DIR:-$root/build-bench}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTALMOR_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

status=0
# bench_bare_dialog is not a benchmark of its own: bench_console starts it as its reference.
# bench/bench_call_storm (20,000 new calls to a console beside a bare client) is among bench_*.
# bench_contacts (the contact pane under 10,000 contacts) shows its windows on the offscreen
# platform by itself.
# bench_peer (direct chat round trip and "SendFile" beside bare TCP) and bench_relay (the
# server's chat relay beside a bare UDP relay) are built with the end-to-end support.
for bench in "$build"/bench/bench_* "$build"/tests/e2e/bench_login "$build"/tests/e2e/bench_peer \
    "$build"/tests/e2e/bench_relay \
    "$build"/tests/console_e2e/bench_console; do
    [[ -x $bench && -f $bench ]] || continue
    echo "== $(basename "$bench")"
    "$bench" "$@" || status=1
done
exit $status

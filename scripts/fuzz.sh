#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one.
#   scripts/fuzz.sh                 every target, 10 million executions each
#   FUZZ_RUNS=100000 scripts/fuzz.sh   a short run (what CI does)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALMOR_FUZZ_DIR:-$root/build-fuzz}
runs=${FUZZ_RUNS:-10000000}

"$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALMOR_FUZZ=ON -DTALMOR_QT=OFF -DTALMOR_BENCH=OFF >/dev/null
targets=()
for source in "$root"/fuzz/*/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

for target in "$build"/fuzz/fuzz_*; do
    [[ -x $target && -f $target ]] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    # A target's folder may hold well-formed inputs to start from (fuzz/<folder>/seeds).
    seeds=()
    for dir in "$root"/fuzz/*/seeds; do
        [[ -f $(dirname "$dir")/$name.cpp ]] && seeds+=("$dir")
    done
    echo "== $name: $runs runs"
    log="$build/$name.log"
    if ! "$target" -runs="$runs" -max_len=4096 -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "fuzz: $name found a failure (log: $log)" >&2
        exit 1
    fi
    grep -E 'stat::number_of_executed_units' "$log" || true
done

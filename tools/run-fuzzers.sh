#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds (default 60), starting from the seed
# corpus in fuzz/corpus/<target>. New inputs go to build-fuzz/corpus/<target>, never into the
# repository. A crash, a sanitizer report or a broken check fails the run.
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-fuzz"
for target in pipeline recipe; do
    work="$build/corpus/$target"
    mkdir -p "$work"
    echo "fuzzing $target for $seconds s"
    QT_QPA_PLATFORM=offscreen "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$build/" "$work" "$top/fuzz/corpus/$target" 2>"$build/$target.log" \
        || { tail -n 40 "$build/$target.log"; echo "fuzz target $target failed"; exit 1; }
    grep -E '^(stat::number_of_executed_units|Done)' "$build/$target.log" | tail -n 1
done

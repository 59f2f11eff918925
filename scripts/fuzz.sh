#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz"), replays the inputs kept in
# fuzz/regressions, then fuzzes each target for a bounded time (FUZZ_SECONDS,
# 20 by default) from the seeds in fuzz/corpus. Any crash, hang, leak or
# sanitizer report fails the script; the input that caused it is left in
# build/fuzz/artifacts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" "$top/scripts/test-packages.txt"
cd "$top"
seconds=${FUZZ_SECONDS:-20}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
export QT_QPA_PLATFORM=offscreen
# The targets that read files write them to the temporary folder at every input.
[[ -d /dev/shm ]] && export TMPDIR=${TMPDIR:-/dev/shm}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bin=build/fuzz/fuzz
mkdir -p build/fuzz/artifacts
for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    target=$bin/${name}_fuzz
    kept=fuzz/regressions/$name
    if [[ -d $kept ]] && compgen -G "$kept/*" >/dev/null; then
        echo "=== $name: replaying $kept"
        "$target" -runs=1 "$kept"/*
    fi
    echo "=== $name: fuzzing for $seconds s"
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$name-" "$corpus" "$seeds"
done

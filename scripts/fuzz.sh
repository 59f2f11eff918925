#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz"), then for each target replays
# every checked-in input (fuzz/corpus and fuzz/regressions) once, and fuzzes
# for a fixed number of runs from the checked-in corpus with a fixed seed per
# target, so that a run is the same run on any machine, however fast: about
# 20 s per target on the 2-core reference machine (FUZZ_RUN_SCALE multiplies
# the counts, 1 by default). The inputs a
# run finds go to a folder of that run only and are deleted after it, so one
# run never decides what the next one does. Any crash, hang, leak or
# sanitizer report fails the script; the input that caused it is left in
# build/fuzz/artifacts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" "$top/scripts/test-packages.txt"
cd "$top"
scale=${FUZZ_RUN_SCALE:-1}
# Runs per target, measured at about 20 s each on the reference machine.
declare -A runs=(
    [calc_run]=4000
    [calcv]=600000
    [constants]=80000
    [database]=1800
    [composition]=1000
    [field_reader]=18000
    [polynomial_file]=20000
    [reaction_file]=100000
    [settings]=8000
    [update_merge]=32000
)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
export QT_QPA_PLATFORM=offscreen
# The targets that read files write them to the temporary folder at every input.
[[ -d /dev/shm ]] && export TMPDIR=${TMPDIR:-/dev/shm}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bin=build/fuzz/fuzz
mkdir -p build/fuzz/artifacts
found=$(mktemp -d "${TMPDIR:-/tmp}/norvanta-fuzz-corpus.XXXXXX")
trap 'rm -rf "$found"' EXIT

# A target's seed: a checksum of its name, the same on every run and machine.
seed_of() {
    printf '%s' "$1" | cksum | cut -d' ' -f1
}

for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    target=$bin/${name}_fuzz
    inputs=("$seeds"*)
    kept=fuzz/regressions/$name
    if [[ -d $kept ]] && compgen -G "$kept/*" >/dev/null; then
        inputs+=("$kept"/*)
    fi
    echo "=== $name: replaying ${#inputs[@]} checked-in inputs"
    "$target" -runs=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build/fuzz/artifacts/$name-" "${inputs[@]}"
    seed=$(seed_of "$name")
    count=$((runs[$name] * scale))
    echo "=== $name: fuzzing $count runs with -seed=$seed"
    mkdir "$found/$name"
    "$target" -seed="$seed" -runs="$count" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" \
        "$found/$name" "$seeds"
done

#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ (or $ORVANTA_FUZZ_BUILD_DIR) and runs each for
# SECONDS (default 30), starting from its seed corpus in tests/fuzz/corpus/<harness>/. New
# inputs go to a scratch folder, so the committed corpus stays as it is; an input that crashes
# a harness is kept in the build folder and fails the run.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${ORVANTA_FUZZ_BUILD_DIR:-build-fuzz}
harnesses=(durationparser notescodec settingsstore)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVANTA_FUZZ=ON -DORVANTA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${harnesses[@]/#/fuzz_}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The settings harness writes a file at every run: several times faster in memory.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=/dev/shm
for name in "${harnesses[@]}"; do
    mkdir "$scratch/$name"
    log=$build/fuzz_$name.log
    if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz_$name-" "$scratch/$name" "tests/fuzz/corpus/$name" \
        >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$name: found a failing input (above; the whole log is $log)"
        exit 1
    fi
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    echo "fuzz_$name: ${runs:-?} runs in $seconds s, nothing found"
done

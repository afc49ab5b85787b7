#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: the whole suite
# on the normal build (tests that need a desktop start their own X server, window
# manager, compositor and tray, and stop them again), the fuzz harnesses for a short
# while, then the tests that need no desktop once more on a build with AddressSanitizer
# and UndefinedBehaviorSanitizer.
# Under CI (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests

strict=()
[[ ${CI:-} == true ]] && strict=(-DORVANTA_WERROR=ON)
jobs=$(nproc)

build=${ORVANTA_BUILD_DIR:-build}
ORVANTA_BUILD_DIR=$build scripts/build.sh -DORVANTA_TESTS=ON -DORVANTA_TOOLS=ON "${strict[@]}"
(cd "$build" && ctest --output-on-failure -j"$jobs")

# The readers of outside input under libFuzzer, about 30 s each, in their own build-fuzz/.
if command -v clang++ >/dev/null; then
    scripts/fuzz.sh 30
else
    echo "fuzz: clang++ is not installed, so the fuzz harnesses did not run"
fi

sanitized=${ORVANTA_SANITIZE_BUILD_DIR:-build-asan}
ORVANTA_BUILD_DIR=$sanitized scripts/build.sh -DORVANTA_TESTS=ON -DORVANTA_SANITIZE=ON "${strict[@]}"
(cd "$sanitized" && ctest --output-on-failure -j"$jobs" -E '^e2e_')

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: the whole suite
# on the normal build (tests that need a desktop start their own X server, window
# manager, compositor and tray, and stop them again), then the tests that need no
# desktop once more on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
# Under CI (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests

strict=()
[[ ${CI:-} == true ]] && strict=(-DORVANTA_WERROR=ON)
jobs=$(nproc)

build=${ORVANTA_BUILD_DIR:-build}
ORVANTA_BUILD_DIR=$build scripts/build.sh -DORVANTA_TESTS=ON "${strict[@]}"
(cd "$build" && ctest --output-on-failure -j"$jobs")

sanitized=${ORVANTA_SANITIZE_BUILD_DIR:-build-asan}
ORVANTA_BUILD_DIR=$sanitized scripts/build.sh -DORVANTA_TESTS=ON -DORVANTA_SANITIZE=ON "${strict[@]}"
(cd "$sanitized" && ctest --output-on-failure -j"$jobs" -E '^e2e_')

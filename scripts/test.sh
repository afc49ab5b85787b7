#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Tests that need a desktop start their own X server, window manager,
# compositor and tray, and stop them again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
scripts/build.sh -DORVANTA_TESTS=ON
cd "${ORVANTA_BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvanta.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DORVANTA_TESTS=OFF
exec "${ORVANTA_BUILD_DIR:-build}/src/app/orvanta"

#!/usr/bin/env bash
# Builds the Debian package into build-package/ (or $ORVANTA_BUILD_DIR) and installs it with apt,
# as root or through sudo. `apt remove orvanta` removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package
build="${ORVANTA_BUILD_DIR:-build-package}"
ORVANTA_BUILD_DIR="$build" scripts/build.sh -DORVANTA_TESTS=OFF
rm -rf "$build/package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build/package"
debs=("$build"/package/orvanta_*.deb)
deb=$(realpath "${debs[0]}")

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
# --reinstall: a package rebuilt at the same version replaces the installed one.
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --reinstall "$deb"
echo "Installed $(basename "$deb"): run 'orvanta', or find Orvanta in the application menu."

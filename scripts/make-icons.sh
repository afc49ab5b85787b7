#!/usr/bin/env bash
# Renders the hicolor PNGs of the program's icon from its SVG source; run it whenever the SVG
# changes and commit the results. The program embeds the same PNGs as its window icon.
#   scripts/make-icons.sh [output-folder]    (default packaging/icons/hicolor)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
readonly id=io.github.orvanta.Orvanta
out=${1:-packaging/icons/hicolor}
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$out/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --output "$out/${size}x${size}/apps/$id.png" \
        "packaging/icons/$id.svg"
done
echo "Icons written to $out/"

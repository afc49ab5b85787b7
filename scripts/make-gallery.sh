#!/usr/bin/env bash
# Remakes the README's pictures from the card renderer: every swatch theme at
# 180, 220 and 340 points, drawer open and closed, counting down and flashing,
# on a neutral desktop-like backdrop; the preferences window in each theme; and both in German.
# The renderers are built into the build folder first (the CMake option ORVANTA_TOOLS).
#   scripts/make-gallery.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-${ORVANTA_BUILD_DIR:-build}}"
cmake -S . -B "$build" -DORVANTA_TOOLS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvanta-render-card orvanta-render-preferences
render="$build/tools/orvanta-render-card"
prefs="$build/tools/orvanta-render-preferences"
out=docs/gallery
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$tmp" TZ=UTC LANG=C.UTF-8

themes=("black:--theme dark" "white:--theme light" "blue:--theme color --accent blue"
        "red:--theme color --accent red" "glass:--theme glass")
states=("open:--note Groceries --done-note Laundry" "closed:--closed"
        "countdown:--closed --countdown 1499.2" "flashing:--closed --flashing")
at="--time 2026-12-08T09:05:07"

for entry in "${themes[@]}"; do
    name=${entry%%:*}; theme=${entry#*:}
    row_files=()
    for width in 180 220 340; do
        for state in "${states[@]}"; do
            sname=${state%%:*}; sargs=${state#*:}
            file="$tmp/$name-$width-$sname.png"
            # shellcheck disable=SC2086
            "$render" -o "$file" $theme $at --width "$width" $sargs 2>/dev/null
            row_files+=("$file")
        done
    done
    # One sheet per theme on a backdrop, so translucent themes show what they do.
    montage "${row_files[@]}" -tile 4x3 -geometry +12+12 -gravity north -background none "$tmp/$name-sheet.png"
    convert -size "$(identify -format '%wx%h' "$tmp/$name-sheet.png")" gradient:'#5b7fa6-#c9a27e' \
        "$tmp/$name-sheet.png" -composite -define png:exclude-chunk=date,time "$out/card-$name.png"
    # shellcheck disable=SC2086
    "$prefs" -o "$tmp/prefs-$name.png" $theme 2>/dev/null
    convert -size "$(identify -format '%wx%h' "$tmp/prefs-$name.png")" gradient:'#5b7fa6-#c9a27e' \
        "$tmp/prefs-$name.png" -composite -define png:exclude-chunk=date,time "$out/preferences-$name.png"
done
# The card (drawer open, closed, counting down) and the preferences window in German: the
# texts come from the translation, the date from the locale.
german=("--note Einkaufen --done-note Wäsche" "--closed" "--closed --countdown 1499.2")
row_files=()
for i in "${!german[@]}"; do
    # shellcheck disable=SC2086
    "$render" -o "$tmp/german-$i.png" --language de_DE --theme dark $at ${german[i]} 2>/dev/null
    row_files+=("$tmp/german-$i.png")
done
montage "${row_files[@]}" -tile 3x1 -geometry +12+12 -gravity north -background none "$tmp/german-sheet.png"
convert -size "$(identify -format '%wx%h' "$tmp/german-sheet.png")" gradient:'#5b7fa6-#c9a27e' \
    "$tmp/german-sheet.png" -composite -define png:exclude-chunk=date,time "$out/card-german.png"
"$prefs" -o "$tmp/prefs-german.png" --language de_DE --theme dark 2>/dev/null
convert -size "$(identify -format '%wx%h' "$tmp/prefs-german.png")" gradient:'#5b7fa6-#c9a27e' \
    "$tmp/prefs-german.png" -composite -define png:exclude-chunk=date,time "$out/preferences-german.png"
# Every theme with the "High contrast" setting on: the card with its drawer open, and the
# preferences window in white.
row_files=()
for entry in "${themes[@]}"; do
    name=${entry%%:*}; theme=${entry#*:}
    # shellcheck disable=SC2086
    "$render" -o "$tmp/high-$name.png" $theme $at --high-contrast --note Groceries --done-note Laundry 2>/dev/null
    row_files+=("$tmp/high-$name.png")
done
montage "${row_files[@]}" -tile 5x1 -geometry +12+12 -gravity north -background none "$tmp/high-sheet.png"
convert -size "$(identify -format '%wx%h' "$tmp/high-sheet.png")" gradient:'#5b7fa6-#c9a27e' \
    "$tmp/high-sheet.png" -composite -define png:exclude-chunk=date,time "$out/card-high-contrast.png"
"$prefs" -o "$tmp/prefs-high.png" --theme light --high-contrast 2>/dev/null
convert -size "$(identify -format '%wx%h' "$tmp/prefs-high.png")" gradient:'#5b7fa6-#c9a27e' \
    "$tmp/prefs-high.png" -composite -define png:exclude-chunk=date,time "$out/preferences-high-contrast.png"
# The last section, which the window shows once scrolled.
"$prefs" -o "$tmp/prefs-scrolled.png" --theme dark --scrolled 2>/dev/null
convert -size "$(identify -format '%wx%h' "$tmp/prefs-scrolled.png")" gradient:'#5b7fa6-#c9a27e' \
    "$tmp/prefs-scrolled.png" -composite -define png:exclude-chunk=date,time "$out/preferences-scrolled.png"
echo "Pictures written to $out/"

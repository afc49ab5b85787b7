#!/usr/bin/env bash
# Measures the contrast of the card's and the preferences window's texts and controls in
# every theme from the real program's pixels, and prints the table of docs/contrast.md.
#   scripts/measure-contrast.sh [BUILD_DIR]     (build/ by default)
# Runs the program on a private X desktop (Xvfb, openbox, picom) at the default width, in
# American English (AM/PM shown); keeps its screenshots in BUILD_DIR/contrast/.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin=$build/src/app/orvanta
[[ -x $bin ]] || { echo "no program at $bin: build it first" >&2; exit 1; }
source "$root/tests/e2e/desktop-session.sh"
DS_SHOT_DIR=$build/contrast
mkdir -p "$DS_SHOT_DIR"
ds_start >/dev/null || { echo "the private desktop did not start" >&2; exit 1; }
ds_locale en_US
export LANG=en_US.UTF-8 LC_ALL='' LANGUAGE=''

card_origin() {
    local wid
    for wid in $(xdotool search --onlyvisible --name '^Orvanta$'); do
        eval "$(xdotool getwindowgeometry --shell "$wid")"
        ((WIDTH >= 100)) && { echo "$X $Y"; return 0; }
    done
    return 1
}

# shot NAME: the screen as text pixels are read from later.
shot() { import -window root "$DS_SHOT_DIR/$1.png"; }

measure() { # theme accent label [high]: with high, the "highContrast" setting is on
    local theme=$1 accent=$2 label=$3 high=${4:+true} x y prefs
    ds_new_profile
    mkdir -p "$XDG_CONFIG_HOME/orvanta"
    printf '{"theme":"%s","accent":"%s","highContrast":%s}' "$theme" "$accent" "${high:-false}" \
        >"$XDG_CONFIG_HOME/orvanta/settings.json"
    ds_spawn "orvanta-$label" "$bin"
    local pid=$DS_LAST_PID
    ds_poll 15 card_origin || { echo "no card for $label" >&2; return 1; }
    read -r x y < <(card_origin)
    sleep 1
    xdotool mousemove $((x + 110)) $((y + 128)) mousedown 1 sleep 0.15 mouseup 1 key End
    # The caret blinks: three pictures a third of a second apart hold a lit one.
    for i in 1 2 3; do shot "$label-caret-$i"; sleep 0.33; done
    xdotool key Tab
    sleep 0.4
    shot "$label-focus"
    xdotool key shift+Tab Return
    sleep 1.2
    shot "$label-countdown"
    xdotool key ctrl+comma
    ds_poll 5 xdotool search --onlyvisible --name 'Orvanta Preferences' || echo "no preferences window for $label" >&2
    sleep 0.6
    prefs=$(xdotool search --onlyvisible --name 'Orvanta Preferences' | head -n1)
    eval "$(xdotool getwindowgeometry --shell "$prefs")"
    shot "$label-preferences"
    echo "$label $x $y $X $Y"
    ds_stop_pid "$pid"
}

{
    measure dark red Black
    measure light red White
    measure color blue Blue
    measure color red Red
    measure glass red Glass
    measure dark red Black-high high
    measure light red White-high high
    measure color blue Blue-high high
    measure color red Red-high high
    measure glass red Glass-high high
} >"$DS_SHOT_DIR/origins.txt"

python3 - "$DS_SHOT_DIR" <<'PY'
import collections, subprocess, sys

folder = sys.argv[1]

def linear(c):
    c /= 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4

def luminance(p):
    r, g, b = p
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)

def ratio(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)

def pixels(name, x, y, w, h):
    out = subprocess.check_output(['convert', f'{folder}/{name}.png', '-crop', f'{w}x{h}+{x}+{y}', '+repage',
                                   '-depth', '8', 'txt:-']).decode()
    found = []
    for line in out.splitlines()[1:]:
        rgb = line.split('(')[1].split(')')[0].split(',')[:3]
        found.append(tuple(round(float(v)) for v in rgb))
    return found

def contrast(names, x, y, w, h):
    """What stands out most in the box from the box's commonest colour (its background)."""
    best = 1.0
    for name in names:
        box = pixels(name, x, y, w, h)
        background = collections.Counter(box).most_common(1)[0][0]
        best = max(best, max(ratio(p, background) for p in box))
    return best

def cell(value, threshold):
    mark = '' if value >= threshold else ' **below**'
    return f'{value:.2f}:1{mark}'

print('| Theme | Date line (text, 4.5:1) | Digits (large text, 3:1) | Countdown in the accent (large text, 3:1) | Focus ring (3:1) | Caret (3:1) | Close control (3:1) |')
print('|---|---:|---:|---:|---:|---:|---:|')
for line in open(f'{folder}/origins.txt'):
    label, x, y, px, py = line.split()
    x, y, px, py = int(x), int(y), int(px), int(py)
    date = contrast([f'{label}-focus'], x + 28, y + 64, 164, 14)
    digits = contrast([f'{label}-focus'], x + 20, y + 23, 150, 34)
    countdown = contrast([f'{label}-countdown'], x + 20, y + 23, 150, 34)
    ring = contrast([f'{label}-focus'], x + 30, y + 148, 60, 8)
    caret = contrast([f'{label}-caret-{i}' for i in (1, 2, 3)], x + 20, y + 132, 180, 4)
    close = contrast([f'{label}-preferences'], px + 3, py + 3, 24, 24)
    name = label.replace('-high', ', high contrast')
    print(f'| {name} | {cell(date, 4.5)} | {cell(digits, 3)} | {cell(countdown, 3)} | {cell(ring, 3)} | '
          f'{cell(caret, 3)} | {cell(close, 3)} |')
PY

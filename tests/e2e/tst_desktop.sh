#!/usr/bin/env bash
# Runs the real program on a private X desktop (Xvfb, openbox, picom, trayer) and checks
# what a user sees: where the card opens, the tray icon, one preferences window, the
# single running copy and quitting. Screenshots go to e2e-*.png in the build folder's e2e-shots/.
#
#   tst_desktop.sh PATH_TO_ORVANTA
#
# Exits 77 (skipped) when Xvfb or xdotool is missing, non-zero when any check fails.

# shellcheck disable=SC2317  # the small predicates below run through ds_poll
set -u

bin=${1:?usage: tst_desktop.sh PATH_TO_ORVANTA}
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# shellcheck source=desktop-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/desktop-session.sh"
DS_PROGRAM=$bin

readonly inset=24
readonly card_width=220
readonly prefs_width=340
readonly prefs_height=380

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

finish() {
    if ((failed > 0)); then
        local log
        for log in "$DS_TMP"/orvanta*.log; do
            [[ -s $log ]] && { echo "--- $(basename "$log"):"; tail -n 40 "$log"; }
        done
    fi
    echo "$passed passed, $failed failed"
    exit $((failed > 0))
}

missing=()
for tool in openbox picom trayer xprop xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
    fail "the desktop needs ${missing[*]}"
    finish
fi
if [[ ! -x $bin ]]; then
    fail "no program at $bin"
    finish
fi

if ! ds_start; then
    fail "the private desktop did not start (logs in the lines above)"
    finish
fi

# --- finding the program's windows ---

# Visible windows of the program with exactly this title.
windows_titled() {
    local title=$1 wid
    for wid in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
        [[ $(xdotool getwindowname "$wid" 2>/dev/null) == "$title" ]] || continue
        xprop -id "$wid" WM_CLASS 2>/dev/null | grep -qi '"orvanta"' && echo "$wid"
    done
}
card_windows() { windows_titled Orvanta; }
# The card of one process (a copy that failed to quit may still show its own).
card_of() {
    local wid
    for wid in $(card_windows); do
        [[ $(xprop -id "$wid" _NET_WM_PID 2>/dev/null) == *" = $1" ]] && echo "$wid"
    done
}
prefs_windows() { windows_titled "Orvanta Preferences"; }
count_is() { local n; n=$("$2" | wc -l); ((n == $1)); }

# Every visible window of the program, the tray icon and open menus included.
program_windows() {
    local wid
    for wid in $(xdotool search --onlyvisible --classname . 2>/dev/null); do
        xprop -id "$wid" WM_CLASS 2>/dev/null | grep -qi '"orvanta"' && echo "$wid"
    done
}

# The window of the program embedded into the tray panel.
tray_icon() {
    local panel
    panel=$(ds_tray_window) || return 1
    [[ -n $panel ]] || return 1
    xwininfo -tree -id "$panel" 2>/dev/null |
        awk 'tolower($0) ~ /\("orvanta" / {print $1; exit}' | grep .
}

# A menu the program opened since the given list of its windows was taken.
new_menu() {
    local before=$1 wid
    for wid in $(program_windows); do
        grep -qx "$wid" <<<"$before" || { echo "$wid"; return 0; }
    done
    return 1
}

# The card's expected top-right corner: 24 px inside the top-right of the work area.
expected_corner() {
    local x y w h
    read -r x y w h < <(ds_workarea)
    echo "$((x + w - inset)) $((y + inset))"
}

card_in_corner() {
    local wid=$1 x y w h right top
    read -r x y w h < <(ds_geometry "$wid") || return 1
    read -r right top < <(expected_corner)
    ((x + w == right && y == top))
}

# Centred on the screen's work area (or on the whole screen), to the pixel.
centred() {
    local wid=$1 x y w h ax ay aw ah
    read -r x y w h < <(ds_geometry "$wid") || return 1
    read -r ax ay aw ah < <(ds_workarea)
    local dx=$((2 * x + w - 2 * ax - aw)) dy=$((2 * y + h - 2 * ay - ah))
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)) && return 0
    read -r aw ah < <(xdpyinfo | awk '/dimensions:/ {split($2, s, "x"); print s[1], s[2]}')
    dx=$((2 * x + w - aw)) dy=$((2 * y + h - ah))
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2))
}

at_position() {
    local x y w h
    read -r x y w h < <(ds_geometry "$1") || return 1
    ((x == $2 && y == $3))
}

has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }
several_prefs_windows() { (($(prefs_windows | wc -l) > 1)); }
card_visible() { count_is 1 card_windows; }
card_of_visible() { [[ -n $(card_of "$1") ]]; }
card_hidden() { count_is 0 card_windows; }
menu_closed() { ! new_menu "$1"; }

# Right-clicks the card's clock, near the top of the card, and waits for the menu.
open_card_menu() {
    local card=$1 x y w h before
    read -r x y w h < <(ds_geometry "$card") || return 1
    before=$(program_windows)
    xdotool mousemove "$((x + w / 2))" "$((y + 30))" click 3
    ds_poll "$DS_TIMEOUT" new_menu "$before"
}

# Chooses an entry of the open menu with the keyboard: Down N times, then Return.
choose_entry() {
    local downs=$1 before=$2 i
    for ((i = 0; i < downs; i++)); do xdotool key Down; done
    xdotool key Return
    ds_poll "$DS_TIMEOUT" menu_closed "$before"
}

# What a program that should have ended is doing.
print_process() {
    echo "    process $1: $(ps -o stat=,wchan:32= -p "$1" 2>/dev/null || echo gone)"
    print_windows
    ds_screenshot "still-running-$1"
}

print_windows() {
    local wid
    for wid in $(program_windows); do
        echo "    window $wid \"$(xdotool getwindowname "$wid")\" at $(ds_geometry "$wid")"
    done
}

# --- 1. start: the card shows in the top-right corner ---

ds_spawn orvanta "$bin"
app=$DS_LAST_PID
started=$(date +%s%N)
card=""
if ds_poll "$DS_TIMEOUT" card_visible; then
    card=$(card_of "$app")
    echo "  card $card mapped $((($(date +%s%N) - started) / 1000000)) ms after launch"
    # The card may still grow once its drawer is laid out: wait for it to settle.
    ds_poll "$DS_TIMEOUT" card_in_corner "$card"
    read -r cx cy cw ch < <(ds_geometry "$card")
    read -r right top < <(expected_corner)
    if ((cx + cw == right && cy == top && cw == card_width)); then
        pass "card opens ${cw}x${ch} with its top-right corner at ($right,$top), $inset px inside the work area $(ds_workarea)"
    else
        fail "card at ${cw}x${ch}+${cx}+${cy}: expected width $card_width and top-right corner ($right,$top) in work area $(ds_workarea)"
    fi
else
    fail "no visible window titled \"Orvanta\" within ${DS_TIMEOUT} s"
    print_windows
fi
ds_screenshot 1-start

if [[ -z $card ]]; then
    fail "the remaining checks need the card"
    finish
fi

# --- 2. the tray holds the program's icon ---

if ds_poll "$DS_TIMEOUT" tray_icon; then
    icon=$(tray_icon)
    read -r ix iy iw ih < <(ds_geometry "$icon")
    if ((iw > 1 && ih > 1)); then
        pass "tray icon embedded in the tray: ${iw}x${ih} at ($ix,$iy)"
    else
        fail "tray icon embedded but only ${iw}x${ih}"
    fi
else
    icon=""
    fail "no window of the program inside the tray within ${DS_TIMEOUT} s"
    xwininfo -tree -id "$(ds_tray_window)" | sed 's/^/    /'
fi

# --- 3. preferences: Ctrl+comma on the card, then the card's menu: one window ---

xdotool windowactivate "$card" 2>/dev/null
if ! ds_poll "$DS_TIMEOUT" has_focus "$card"; then
    fail "the card did not take the keyboard focus (focus on $(xdotool getwindowfocus))"
fi
xdotool key ctrl+comma
prefs=""
if ds_poll "$DS_TIMEOUT" count_is 1 prefs_windows; then
    prefs=$(prefs_windows)
    ds_poll "$DS_TIMEOUT" centred "$prefs"
    read -r px py pw ph < <(ds_geometry "$prefs")
    if ((pw == prefs_width && ph == prefs_height)) && centred "$prefs"; then
        pass "Ctrl+comma opens one preferences window, ${pw}x${ph}, centred at ($px,$py)"
    else
        fail "Ctrl+comma: preferences window ${pw}x${ph}+${px}+${py}, expected ${prefs_width}x${prefs_height} centred"
    fi
else
    fail "Ctrl+comma on the card: $(prefs_windows | wc -l) visible preferences windows after ${DS_TIMEOUT} s, expected 1"
fi
ds_screenshot 2-preferences

# What a taskbar shows for the window, and how a launcher matches it to its desktop entry.
if [[ -n $prefs ]]; then
    icon_sizes=$(xprop -id "$prefs" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | tr -dc '0-9x\n' | tr '\n' ' ')
    if [[ $icon_sizes == *"16x16 "* && $icon_sizes == *"48x48 "* ]]; then
        pass "the preferences window carries the application icon ($icon_sizes)"
    else
        fail "the preferences window's _NET_WM_ICON holds '$icon_sizes', expected 16x16 and 48x48 among them"
    fi
    wm_class=$(xprop -id "$prefs" WM_CLASS 2>/dev/null)
    [[ $wm_class == *'", "Orvanta"' ]] && pass "its WM_CLASS matches the desktop entry's StartupWMClass=Orvanta" \
        || fail "its WM_CLASS is '$wm_class', expected the class Orvanta"
fi

if [[ -n $prefs ]]; then
    # Moved aside, the window shows that the second request arrived when it is centred again.
    read -r ax ay aw ah < <(ds_workarea)
    xdotool windowmove "$prefs" "$((ax + 10))" "$((ay + 10))"
    ds_poll "$DS_TIMEOUT" at_position "$prefs" "$((ax + 10))" "$((ay + 10))" ||
        echo "  note: the preferences window could not be moved aside"
fi
before=$(program_windows)
if open_card_menu "$card"; then
    ds_screenshot 3-card-menu
    if choose_entry 1 "$before"; then
        if [[ -n $prefs ]] && ds_poll "$DS_TIMEOUT" centred "$prefs"; then
            # A second window would be mapped right after the first was centred again.
            ds_poll 1 several_prefs_windows
            windows=$(prefs_windows | wc -l)
            if ((windows == 1)) && [[ $(prefs_windows) == "$prefs" ]]; then
                pass "\"Preferences…\" from the card's menu brings back the same window, centred; one preferences window"
            else
                fail "after \"Preferences…\" from the card's menu: $windows preferences windows ($(prefs_windows | tr '\n' ' '))"
            fi
        else
            fail "\"Preferences…\" from the card's menu did not centre the preferences window again ($(prefs_windows | wc -l) windows)"
        fi
    else
        fail "the card's menu did not close after choosing \"Preferences…\""
    fi
else
    fail "a right click on the card's clock opened no menu within ${DS_TIMEOUT} s"
fi
ds_screenshot 4-preferences-again

# --- 3b. the keyboard alone: Ctrl+comma, then Space, changes nothing; Escape gives the card back the keyboard ---

# The theme in effect: the stored one, or the default when none is stored.
stored_theme() {
    local theme
    theme=$(grep -o '"theme": *"[a-z]*"' "$XDG_CONFIG_HOME/orvanta/settings.json" 2>/dev/null)
    theme=${theme%\"}
    echo "${theme##*\"}" | sed 's/^$/dark/'
}
prefs_hidden() { count_is 0 prefs_windows; }

xdotool windowactivate "$card" 2>/dev/null
if ds_poll "$DS_TIMEOUT" has_focus "$card"; then
    theme_before=$(stored_theme)
    xdotool key ctrl+comma
    if ds_poll "$DS_TIMEOUT" count_is 1 prefs_windows && ds_poll "$DS_TIMEOUT" has_focus "$(prefs_windows)"; then
        # Space on the swatch that has the keyboard, then Escape: both are handled in order.
        xdotool key space Escape
        if ds_poll "$DS_TIMEOUT" prefs_hidden; then
            pass "Escape closes the preferences window"
        else
            fail "Escape left the preferences window open"
        fi
        if [[ $(stored_theme) == "$theme_before" ]]; then
            pass "Ctrl+comma, then Space, leaves the theme as it was ($theme_before)"
        else
            fail "Ctrl+comma, then Space, changed the theme from '${theme_before}' to '$(stored_theme)'"
        fi
        if ds_poll "$DS_TIMEOUT" has_focus "$card"; then
            pass "closing the preferences window gives the keyboard back to the card"
        else
            fail "after the preferences window closed the keyboard is on $(xdotool getwindowfocus), not the card"
        fi
        ds_screenshot 4b-keyboard-back
    else
        fail "Ctrl+comma on the card did not bring up the preferences window with the keyboard"
    fi
else
    fail "the card did not take the keyboard focus for the keyboard checks"
fi

# --- 4. the tray menu hides the card; a second launch shows it and exits ---

if [[ -n $icon ]]; then
    read -r ix iy iw ih < <(ds_geometry "$icon")
    before=$(program_windows)
    xdotool mousemove "$((ix + iw / 2))" "$((iy + ih / 2))" click 1
    if ds_poll "$DS_TIMEOUT" new_menu "$before"; then
        xdotool key Escape
        if ds_poll "$DS_TIMEOUT" menu_closed "$before"; then
            pass "a left click on the tray icon opens its menu; Escape closes it"
        else
            fail "the tray menu opened by a left click did not close on Escape"
        fi
    else
        fail "a left click on the tray icon opened no menu within ${DS_TIMEOUT} s"
    fi
    xdotool click 3
    if ds_poll "$DS_TIMEOUT" new_menu "$before"; then
        ds_screenshot 5-tray-menu
        choose_entry 1 "$before"
        if ds_poll "$DS_TIMEOUT" card_hidden; then
            pass "\"Show / Hide Widget\" in the tray menu hides the card"
        else
            fail "\"Show / Hide Widget\" in the tray menu left the card visible"
        fi
    else
        fail "a right click on the tray icon opened no menu within ${DS_TIMEOUT} s"
    fi
fi

ds_spawn orvanta-second "$bin"
second=$DS_LAST_PID
if ds_wait_exit 5 "$second"; then
    if ((DS_EXIT_STATUS == 0)); then
        pass "a second launch exits with status 0"
    else
        fail "a second launch exits with status $DS_EXIT_STATUS"
    fi
else
    fail "a second launch was still running after 5 s"
    ds_stop_pid "$second"
fi
if ds_poll "$DS_TIMEOUT" card_visible && ds_poll "$DS_TIMEOUT" card_in_corner "$(card_windows)"; then
    if [[ $(card_windows) == "$card" ]]; then
        pass "after the second launch the one card shows in the top-right corner"
    else
        fail "after the second launch the card is another window ($(card_windows)), expected $card"
    fi
else
    fail "after the second launch: $(card_windows | wc -l) visible cards, expected 1 in the corner"
    print_windows
fi
ds_screenshot 6-second-launch

# --- 5. "Quit Orvanta" in the card's menu ends the program ---

before=$(program_windows)
if open_card_menu "$card"; then
    choose_entry 2 "$before"
    if ds_wait_exit "$DS_TIMEOUT" "$app"; then
        if ((DS_EXIT_STATUS == 0)); then
            pass "\"Quit Orvanta\" in the card's menu ends the program with status 0"
        else
            fail "\"Quit Orvanta\" in the card's menu: exit status $DS_EXIT_STATUS"
        fi
    else
        fail "the program still runs ${DS_TIMEOUT} s after \"Quit Orvanta\""
        print_process "$app"
        ds_stop_pid "$app"
    fi
else
    fail "a right click on the card's clock opened no menu for quitting"
    ds_stop_pid "$app"
fi

# --- 6. Ctrl+Q on the card ends a fresh run ---

ds_new_profile
ds_spawn orvanta-ctrl-q "$bin"
app=$DS_LAST_PID
if ds_poll "$DS_TIMEOUT" card_of_visible "$app"; then
    card=$(card_of "$app")
    xdotool windowactivate "$card" 2>/dev/null
    ds_poll "$DS_TIMEOUT" has_focus "$card"
    xdotool key ctrl+q
    if ds_wait_exit "$DS_TIMEOUT" "$app"; then
        if ((DS_EXIT_STATUS == 0)); then
            pass "Ctrl+Q on the card ends the program with status 0"
        else
            fail "Ctrl+Q on the card: exit status $DS_EXIT_STATUS"
        fi
    else
        fail "the program still runs ${DS_TIMEOUT} s after Ctrl+Q on the card"
        print_process "$app"
    fi
else
    fail "a fresh run showed no card within ${DS_TIMEOUT} s"
fi

finish

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
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool

readonly card_width=220
readonly prefs_width=340
readonly prefs_height=380

ck_require "the desktop" openbox picom trayer xprop xwininfo xdpyinfo
[[ -x $bin ]] || { fail "no program at $bin"; finish; }
ds_start || { fail "the private desktop did not start (logs in the lines above)"; finish; }

card_windows() { ac_windows_titled Orvanta; }
count_is() { local n; n=$("$2" | wc -l); ((n == $1)); }

# Centred on the screen's work area (or on the whole screen), to the pixel.
centred() {
    local aw ah
    ac_centred_in "$1" "$(ds_workarea)" && return 0
    read -r aw ah < <(xdpyinfo | awk '/dimensions:/ {split($2, s, "x"); print s[1], s[2]}')
    ac_centred_in "$1" "0 0 $aw $ah"
}

at_position() {
    local x y w h
    read -r x y w h < <(ds_geometry "$1") || return 1
    ((x == $2 && y == $3))
}

several_prefs_windows() { (($(ac_prefs_windows | wc -l) > 1)); }
card_visible() { count_is 1 card_windows; }
card_of_visible() { [[ -n $(ac_card_of "$1") ]]; }
card_hidden() { count_is 0 card_windows; }

# Right-clicks the card's clock, near the top of the card, and waits for the menu.
open_card_menu() {
    local x y w h
    read -r x y w h < <(ac_card_geometry) || return 1
    ac_open_card_menu "$((w / 2))" 30
}

# What a program that should have ended is doing.
print_process() {
    echo "    process $1: $(ps -o stat=,wchan:32= -p "$1" 2>/dev/null || echo gone)"
    print_windows
    ds_screenshot "still-running-$1"
}

print_windows() {
    local wid
    for wid in $(ac_program_windows); do
        echo "    window $wid \"$(xdotool getwindowname "$wid")\" at $(ds_geometry "$wid")"
    done
}

# --- 1. start: the card shows in the top-right corner ---

ds_spawn orvanta "$bin"
app=$DS_LAST_PID
started=$(date +%s%N)
card=""
if ds_poll "$DS_TIMEOUT" card_visible; then
    card=$(ac_card_of "$app")
    AC_CARD=$card
    echo "  card $card mapped $((($(date +%s%N) - started) / 1000000)) ms after launch"
    # The card may still grow once its drawer is laid out: wait for it to settle.
    ds_poll "$DS_TIMEOUT" ac_in_corner "$card"
    read -r cx cy cw ch < <(ds_geometry "$card")
    read -r right top < <(ac_corner)
    if ((cx + cw == right && cy == top && cw == card_width)); then
        pass "card opens ${cw}x${ch} with its top-right corner at ($right,$top), 24 px inside the work area $(ds_workarea)"
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

if ds_poll "$DS_TIMEOUT" ac_tray_icon; then
    icon=$(ac_tray_icon)
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
if ! ds_poll "$DS_TIMEOUT" ac_has_focus "$card"; then
    fail "the card did not take the keyboard focus (focus on $(xdotool getwindowfocus))"
fi
xdotool key ctrl+comma
prefs=""
if ds_poll "$DS_TIMEOUT" count_is 1 ac_prefs_windows; then
    prefs=$(ac_prefs_windows)
    ds_poll "$DS_TIMEOUT" centred "$prefs"
    read -r px py pw ph < <(ds_geometry "$prefs")
    if ((pw == prefs_width && ph == prefs_height)) && centred "$prefs"; then
        pass "Ctrl+comma opens one preferences window, ${pw}x${ph}, centred at ($px,$py)"
    else
        fail "Ctrl+comma: preferences window ${pw}x${ph}+${px}+${py}, expected ${prefs_width}x${prefs_height} centred"
    fi
else
    fail "Ctrl+comma on the card: $(ac_prefs_windows | wc -l) visible preferences windows after ${DS_TIMEOUT} s, expected 1"
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
    if [[ $wm_class == *'", "Orvanta"' ]]; then
        pass "its WM_CLASS matches the desktop entry's StartupWMClass=Orvanta"
    else
        fail "its WM_CLASS is '$wm_class', expected the class Orvanta"
    fi
fi

if [[ -n $prefs ]]; then
    # Moved aside, the window shows that the second request arrived when it is centred again.
    read -r ax ay aw ah < <(ds_workarea)
    xdotool windowmove "$prefs" "$((ax + 10))" "$((ay + 10))"
    ds_poll "$DS_TIMEOUT" at_position "$prefs" "$((ax + 10))" "$((ay + 10))" ||
        echo "  note: the preferences window could not be moved aside"
fi
if open_card_menu; then
    ds_screenshot 3-card-menu
    if ac_choose 1; then
        if [[ -n $prefs ]] && ds_poll "$DS_TIMEOUT" centred "$prefs"; then
            # A second window would be mapped right after the first was centred again.
            ds_poll 1 several_prefs_windows
            windows=$(ac_prefs_windows | wc -l)
            if ((windows == 1)) && [[ $(ac_prefs_windows) == "$prefs" ]]; then
                pass "\"Preferences…\" from the card's menu brings back the same window, centred; one preferences window"
            else
                fail "after \"Preferences…\" from the card's menu: $windows preferences windows ($(ac_prefs_windows | tr '\n' ' '))"
            fi
        else
            fail "\"Preferences…\" from the card's menu did not centre the preferences window again ($(ac_prefs_windows | wc -l) windows)"
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
    theme=${theme##*\"}
    echo "${theme:-dark}"
}
prefs_hidden() { ac_prefs_count_is 0; }

xdotool windowactivate "$card" 2>/dev/null
if ds_poll "$DS_TIMEOUT" ac_has_focus "$card"; then
    theme_before=$(stored_theme)
    xdotool key ctrl+comma
    if ds_poll "$DS_TIMEOUT" ac_prefs_count_is 1 && ds_poll "$DS_TIMEOUT" ac_has_focus "$(ac_prefs_windows)"; then
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
        if ds_poll "$DS_TIMEOUT" ac_has_focus "$card"; then
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
    AC_MENU_BEFORE=$(ac_menus)
    xdotool mousemove "$((ix + iw / 2))" "$((iy + ih / 2))" click 1
    if ds_poll "$DS_TIMEOUT" ac_new_menu "$AC_MENU_BEFORE"; then
        xdotool key Escape
        if ds_poll "$DS_TIMEOUT" ac_menu_closed "$AC_MENU_BEFORE"; then
            AC_MENU_CLOSED_AT=$(ac_now)
            pass "a left click on the tray icon opens its menu; Escape closes it"
        else
            fail "the tray menu opened by a left click did not close on Escape"
        fi
    else
        fail "a left click on the tray icon opened no menu within ${DS_TIMEOUT} s"
    fi
    if ac_open_tray_menu; then
        ds_screenshot 5-tray-menu
        ac_choose 1
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
if ds_wait_exit "$DS_TIMEOUT" "$second"; then
    if ((DS_EXIT_STATUS == 0)); then
        pass "a second launch exits with status 0"
    else
        fail "a second launch exits with status $DS_EXIT_STATUS"
    fi
else
    fail "a second launch was still running after ${DS_TIMEOUT} s"
    ds_stop_pid "$second"
fi
if ds_poll "$DS_TIMEOUT" card_visible && ds_poll "$DS_TIMEOUT" ac_in_corner "$(card_windows)"; then
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

if open_card_menu; then
    ac_choose 2
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
    card=$(ac_card_of "$app")
    xdotool windowactivate "$card" 2>/dev/null
    ds_poll "$DS_TIMEOUT" ac_has_focus "$card"
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

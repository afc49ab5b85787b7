#!/usr/bin/env bash
# The real program on a desktop of two monitors side by side: one 2560x800 screen split into
# two RandR monitors, with a dock along the top of each (trayer, 40 px high, on the left one;
# a plain window reserving 30 px through its strut on the right one), openbox and picom. The
# card opens 24 px inside the top-right corner of the free area of the monitor under the
# pointer, at start and after "Show / Hide Widget", on either monitor, and the preferences
# window centres in that area. Screenshots go to e2e-monitors-*.png in the
# build folder's e2e-shots/.
#
#   tst_monitors.sh PATH_TO_ORVANTA
#
# Exits 77 (skipped) when Xvfb or xdotool is missing, non-zero when any check fails.

# shellcheck disable=SC2086,SC2317  # points "x y" go on as two numbers; predicates run through ds_poll
set -u

bin=${1:?usage: tst_monitors.sh PATH_TO_ORVANTA}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool

ck_require "the two-monitor desktop" openbox picom trayer xprop xwininfo xdpyinfo xrandr xmessage import
[[ -x $bin ]] || { fail "no program at $bin"; finish; }

readonly inset=24
# The monitors and what their docks leave free of them: "x y w h".
readonly left_free="0 40 1280 760" right_free="1280 30 1280 770"
readonly left_point="600 400" right_point="1900 400"

DS_SCREEN=2560x800 DS_MONITORS="1280x800+0+0 1280x800+1280+0" DS_TRAY_HEIGHT=40 ds_start ||
    { fail "the two-monitor desktop did not start"; finish; }
if (($(xrandr --listmonitors | grep -c ' orvanta-') == 2)); then
    pass "the screen is split into two monitors: $(xrandr --listmonitors | awk '/orvanta-/ {printf "%s ", $3}')"
else
    fail "the screen is not split into two monitors: $(xrandr --listmonitors | tr '\n' ' ')"
fi

# The right monitor's dock: an ordinary window given a partial strut over that monitor's top.
dock_window() { xdotool search --classname '^orvanta-dock$' | head -n1 | grep .; }
managed() { xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$1")"; }
ds_spawn dock xmessage -name orvanta-dock -geometry 600x20+1700+0 "dock"
if ds_poll "$DS_TIMEOUT" dock_window && ds_poll "$DS_TIMEOUT" managed "$(dock_window)"; then
    xprop -id "$(dock_window)" -f _NET_WM_STRUT_PARTIAL 32c \
        -set _NET_WM_STRUT_PARTIAL "0, 0, 30, 0, 0, 0, 0, 0, 1280, 2559, 0, 0"
else
    fail "the right monitor's dock did not come up"
fi
tray_strut=$(xprop -id "$(ds_tray_window)" _NET_WM_STRUT_PARTIAL)
echo "  trayer: $tray_strut; work area of the whole screen: $(ds_workarea)"

# "x_right y_top" where the card's top-right corner belongs in a free area "x y w h".
corner_of() { local x y w h; read -r x y w h <<<"$1"; echo "$((x + w - inset)) $((y + inset))"; }

card_at_corner() {
    local x y w h right top
    read -r x y w h < <(ac_card_geometry) || return 1
    read -r right top < <(corner_of "$1")
    ((x + w == right && y == top))
}

# Checks that the card stands in the corner of the given free area; NAME names the screenshot.
check_corner() {
    local area=$1 where=$2 name=$3 right top
    read -r right top < <(corner_of "$area")
    if ds_poll "$DS_TIMEOUT" card_at_corner "$area"; then
        pass "$where: the card's top-right corner is at ($right,$top), 24 px inside the free area $area"
    else
        fail "$where: the card is at $(ac_card_geometry), its top-right corner belongs at ($right,$top) in $area"
    fi
    ds_screenshot "monitors-$name"
}

card_shown() { ac_viewable "$AC_CARD"; }
card_gone() { ac_unmapped "$AC_CARD"; }

# "Show / Hide Widget" from the tray menu, chosen with the pointer at POINT.
toggle_at() {
    local x y
    read -r x y <<<"$1"
    ac_open_tray_menu || return 1
    xdotool mousemove "$x" "$y"
    ac_choose 1
}

xdotool mousemove $left_point
ds_spawn orvanta "$bin"
AC_APP=$DS_LAST_PID
if ! ds_poll "$DS_TIMEOUT" ac_one_card; then
    fail "no card window within ${DS_TIMEOUT} s"
    finish
fi
ds_poll "$DS_TIMEOUT" ac_settled
check_corner "$left_free" "at start, pointer on the left monitor (under a 40-px tray)" 1-start-left

if toggle_at "$right_point" && ds_poll "$DS_TIMEOUT" card_gone; then
    pass "\"Show / Hide Widget\" hides the card"
else
    fail "\"Show / Hide Widget\" did not hide the card ${AC_WHY}"
fi
if toggle_at "$right_point" && ds_poll "$DS_TIMEOUT" card_shown; then
    check_corner "$right_free" "shown again with the pointer on the right monitor (under a 30-px dock)" 2-right
else
    fail "\"Show / Hide Widget\" did not show the card again ${AC_WHY}"
fi
toggle_at "$left_point" && ds_poll "$DS_TIMEOUT" card_gone
if toggle_at "$left_point" && ds_poll "$DS_TIMEOUT" card_shown; then
    check_corner "$left_free" "shown again with the pointer back on the left monitor" 3-left
else
    fail "\"Show / Hide Widget\" did not show the card on the left monitor ${AC_WHY}"
fi

# "Preferences…" from the tray menu with the pointer on the right monitor.
prefs_centred_in() { local p; p=$(ac_prefs_windows | head -n1); [[ -n $p ]] && ac_centred_in "$p" "$1"; }
if ac_open_tray_menu; then
    xdotool mousemove $right_point
    ac_choose 2
    if ds_poll "$DS_TIMEOUT" prefs_centred_in "$right_free"; then
        pass "\"Preferences…\" with the pointer on the right monitor centres the window in its free area $right_free"
    else
        fail "the preferences window is at $(ds_geometry "$(ac_prefs_windows | head -n1)"), not centred in $right_free"
    fi
    ds_screenshot monitors-4-preferences
else
    fail "the tray menu did not open for \"Preferences…\" ${AC_WHY}"
fi

ac_end_program
finish

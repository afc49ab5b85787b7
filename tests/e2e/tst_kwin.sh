#!/usr/bin/env bash
# The card under KDE's window manager (kwin_x11 on a private X server, two desktops, no tray):
# it shows on every desktop, also after it was hidden and shown again, and its own menu can
# hide it, as there is no tray. Screenshots go to e2e-kwin-*.png beside the others.
#
#   tst_kwin.sh PATH_TO_ORVANTA
#
# Exits 77 (skipped) when Xvfb, kwin_x11, wmctrl or xdotool is missing.

# shellcheck disable=SC2317  # the small predicates below run through ds_poll
set -u

bin=${1:?usage: tst_kwin.sh PATH_TO_ORVANTA}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
DS_PROGRAM=$bin
ck_skip_unless Xvfb kwin_x11 wmctrl xdotool dbus-daemon
ck_require "the desktop" xprop xwininfo xdpyinfo

DS_WM=kwin DS_TRAY=none ds_start || { fail "KWin's desktop did not start (logs above)"; finish; }
# KWin takes its time on a busy machine.
DS_TIMEOUT=30

card_window() { xdotool search --onlyvisible --pid "$app" --name '^Orvanta$' 2>/dev/null | head -n1 | grep .; }
card_hidden() { [[ -z $(card_window) ]]; }
# The desktop wmctrl lists the window on: -1 is every desktop.
listed_desktop() { wmctrl -l | awk -v id="$(printf '0x%08x' "$1")" '$1 == id {print $2}'; }
on_every_desktop() { [[ $(listed_desktop "$1") == -1 ]]; }
current_desktop_is() { [[ $(xprop -root _NET_CURRENT_DESKTOP) == *"= $1" ]]; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
# A window of the program besides the card: its menu.
menu_open() { xdotool search --onlyvisible --pid "$app" --classname . 2>/dev/null | grep -v -x -e "$card" | grep -q .; }

ds_spawn orvanta "$bin"
app=$DS_LAST_PID
ds_poll "$DS_TIMEOUT" card_window || { fail "no card within ${DS_TIMEOUT} s"; finish; }
card=$(card_window)

check "wmctrl lists the card on every desktop (-1) at start" ds_poll "$DS_TIMEOUT" on_every_desktop "$card"
wmctrl -s 1
ds_poll "$DS_TIMEOUT" current_desktop_is 1
check "on the second desktop the card is still seen" ds_poll "$DS_TIMEOUT" viewable "$card"
ds_screenshot kwin-1-second-desktop

# Without a tray, the card's own menu hides it: "Hide Widget" is its first entry.
read -r cx cy cw _ < <(ds_geometry "$card")
xdotool mousemove "$((cx + cw / 2))" "$((cy + 30))" click 3
if ds_poll "$DS_TIMEOUT" menu_open; then
    ds_screenshot kwin-2-card-menu
    xdotool key Down Return
    check "\"Hide Widget\" in the card's menu hides the card" ds_poll "$DS_TIMEOUT" card_hidden
else
    fail "a right click on the card opened no menu"
fi

ds_spawn orvanta-second "$bin"
ds_wait_exit "$DS_TIMEOUT" "$DS_LAST_PID"
check "a second launch shows the card again" ds_poll "$DS_TIMEOUT" card_window
card=$(card_window)
if [[ -n $card ]]; then
    check "shown again, it is on every desktop (-1)" ds_poll "$DS_TIMEOUT" on_every_desktop "$card"
    wmctrl -s 0
    ds_poll "$DS_TIMEOUT" current_desktop_is 0
    check "back on the first desktop the card is seen" ds_poll "$DS_TIMEOUT" viewable "$card"
    ds_screenshot kwin-3-first-desktop
fi
finish

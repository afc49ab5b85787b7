#!/usr/bin/env bash
# The card on KDE's Wayland session (kwin_wayland --virtual --xwayland, two desktops), through
# XWayland as the program runs there by default: wmctrl lists it on every desktop (-1), and it is
# still seen after switching desktops. Too slow to start for the test suite; run it by hand:
#
#   tests/e2e/try-kwin-wayland.sh PATH_TO_ORVANTA
#
# A container may refuse kwin_wayland's file capability, so a copy of it runs (a copy has none);
# KWin loads its own platform plugin only for a binary of that name.

# shellcheck disable=SC2317  # the small predicates below run through ds_poll
set -u

bin=${1:?usage: try-kwin-wayland.sh PATH_TO_ORVANTA}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless kwin_wayland Xwayland wmctrl xdotool xprop dbus-run-session setsid
[[ -x $bin ]] || { fail "no program at $bin"; finish; }
DS_TIMEOUT=60

DS_TMP=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-kwin-wayland.XXXXXX")
trap ds_stop EXIT
ds_new_profile
mkdir -p "$DS_TMP/bin"
cp /usr/bin/kwin_wayland "$DS_TMP/bin/kwin_wayland"
# The session's one program writes the environment KWin gives it, then waits.
cat >"$DS_TMP/session.sh" <<SESSION
#!/bin/sh
env >"$DS_TMP/session.env"
exec sleep infinity
SESSION
chmod +x "$DS_TMP/session.sh"
ds_spawn kwin setsid env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
    dbus-run-session -- "$DS_TMP/bin/kwin_wayland" --virtual --xwayland --width 1280 --height 800 \
    --socket orvanta-kwin --no-lockscreen --exit-with-session "$DS_TMP/session.sh"
kwin_pid=$DS_LAST_PID
stop_kwin() { kill -TERM -- "-$kwin_pid" 2>/dev/null; ds_stop; }
trap stop_kwin EXIT
ds_poll "$DS_TIMEOUT" test -s "$DS_TMP/session.env" || { fail "kwin_wayland did not start"; finish; }
DISPLAY=$(sed -n 's/^DISPLAY=//p' "$DS_TMP/session.env")
DBUS_SESSION_BUS_ADDRESS=$(sed -n 's/^DBUS_SESSION_BUS_ADDRESS=//p' "$DS_TMP/session.env")
export DISPLAY DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY=orvanta-kwin
unset QT_QPA_PLATFORM
wmctrl -n 2
two_desktops() { [[ $(xprop -root _NET_NUMBER_OF_DESKTOPS) == *"= 2" ]]; }
ds_poll "$DS_TIMEOUT" two_desktops || echo "  note: KWin made no second desktop"

ds_spawn orvanta "$bin"
app=$DS_LAST_PID
card_window() { xdotool search --onlyvisible --pid "$app" --name '^Orvanta$' 2>/dev/null | head -n1 | grep .; }
ds_poll "$DS_TIMEOUT" card_window || { fail "no card within ${DS_TIMEOUT} s"; finish; }
card=$(card_window)
on_every_desktop() { wmctrl -l | awk -v id="$(printf '0x%08x' "$card")" '$1 == id && $2 == -1 {found = 1} END {exit !found}'; }
viewable() { xwininfo -id "$card" 2>/dev/null | grep -q 'Map State: IsViewable'; }
current_desktop_is() { [[ $(xprop -root _NET_CURRENT_DESKTOP) == *"= $1" ]]; }

check "wmctrl lists the card on every desktop (-1)" ds_poll "$DS_TIMEOUT" on_every_desktop
wmctrl -s 1
ds_poll "$DS_TIMEOUT" current_desktop_is 1
check "after switching to the second desktop the card is still seen" ds_poll "$DS_TIMEOUT" viewable
echo "  card at $(ds_geometry "$card"); $(xprop -id "$card" _NET_WM_STATE)"
finish

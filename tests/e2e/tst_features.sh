#!/usr/bin/env bash
# The command line, later launches and the notification at a countdown's end, on a private X
# desktop (Xvfb, openbox, picom, trayer): a bad duration is refused, --toggle hides and shows the
# card, --countdown starts a countdown in the running copy, a second launch gives the card the
# keyboard, so that typed digits land in its timer field; with the card hidden, a countdown's end
# shows one notification with the icon (dunst on a private bus), whose action shows the card,
# and without a notification service it ends quietly.
#
#   tst_features.sh PATH_TO_ORVANTA
#
# Exits 77 (skipped) when Xvfb or xdotool is missing, non-zero when any check fails.

# shellcheck disable=SC2317  # the small predicates below run through ds_poll
set -u

bin=${1:?usage: tst_features.sh PATH_TO_ORVANTA}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool

# A bad duration is refused before anything else happens, with or without a display.
for bad in 0 abc; do
    error=$("$bin" --countdown "$bad" 2>&1 >/dev/null)
    status=$?
    if ((status == 2)) && [[ $error == *"'$bad'"* ]]; then
        pass "--countdown $bad exits 2 and names the argument: $error"
    else
        fail "--countdown $bad: status $status, message '$error'"
    fi
done

if ! ds_start; then
    fail "the private desktop did not start (logs in the lines above)"
    finish
fi

# The card: the program's managed window titled "Orvanta".
card=""
find_card() {
    local wid
    for wid in $(xdotool search --name '^Orvanta$' 2>/dev/null); do
        xprop -id "$wid" WM_CLASS 2>/dev/null | grep -qi '"orvanta"' || continue
        xwininfo -id "$wid" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        card=$wid
        return 0
    done
    return 1
}
viewable() { xwininfo -id "$card" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! viewable; }
height() { xwininfo -id "$card" 2>/dev/null | awk '/^ *Height:/ {print $2}'; }
shorter_than() { local h; h=$(height); [[ -n $h ]] && ((h < $1)); }
taller_than() { local h; h=$(height); [[ -n $h ]] && ((h > $1)); }
height_is() { [[ $(height) == "$1" ]]; }
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }

# Runs a later launch; its exit status in launched.
launch() {
    "$bin" "$@" >"$DS_TMP/launch.log" 2>&1
    launched=$?
}

start_program() {
    ds_spawn "$1" "$bin"
    app=$DS_LAST_PID
    card=""
    ds_poll "$DS_TIMEOUT" find_card || { fail "no card within $DS_TIMEOUT s"; return 1; }
    ds_poll "$DS_TIMEOUT" viewable || { fail "the card did not show"; return 1; }
    sleep 1
}

# Only the notification service started here can answer on the test's own bus.
ds_start_bus || { fail "the private session bus did not start"; finish; }
export DBUS_SESSION_BUS_ADDRESS=$DS_BUS_ADDRESS
start_program orvanta || finish
open_height=$(height)

launch --toggle
if ((launched == 0)) && ds_poll "$AC_SOON" hidden; then pass "--toggle hides the card"; else fail "--toggle (status $launched) left the card shown"; fi
launch --toggle
if ((launched == 0)) && ds_poll "$AC_SOON" viewable; then pass "--toggle again shows it"; else fail "--toggle again (status $launched) did not show the card"; fi

# The drawer is open at the first start; a countdown started from the command line closes it.
launch --countdown 5:00
if ((launched == 0)) && ds_poll "$AC_SOON" shorter_than "$open_height"; then
    pass "--countdown 5:00 on the running copy exits 0 and starts the countdown (the drawer closed)"
else
    fail "--countdown 5:00: status $launched, card $(height) high (drawer open: $open_height)"
fi
launch --cancel
if ((launched == 0)); then pass "--cancel exits 0"; else fail "--cancel: status $launched"; fi
ds_screenshot command-line-cancelled

# Keyboard only: another window has the keyboard; a second launch gives it to the card.
if command -v xterm >/dev/null; then
    ds_spawn xterm xterm -title other-window
    ds_poll "$DS_TIMEOUT" xdotool search --name '^other-window$' || { fail "xterm did not start"; finish; }
    other=$(xdotool search --name '^other-window$' | head -n1)
    xdotool windowactivate "$other" 2>/dev/null
    ds_poll "$AC_SOON" active_is "$other" || fail "the xterm did not take the keyboard"
    # The drawer opens by the keyboard: Tab to the grip, Space.
    launch
    if ((launched == 0)) && ds_poll "$AC_SOON" active_is "$card"; then
        pass "a second launch gives the card the keyboard"
    else
        fail "after a second launch (status $launched) window $(xdotool getactivewindow) has the keyboard, not the card $card"
    fi
    closed_height=$(height)
    xdotool key Tab space
    if ds_poll "$AC_SOON" taller_than "$closed_height"; then
        xdotool type --delay 50 "3"
        xdotool key Return
        if ds_poll "$AC_SOON" height_is "$closed_height"; then
            pass "digits typed after the drawer opens land in the timer field: Return starts the countdown"
        else
            fail "typed 3 and Return after the drawer opened: the card stays $(height) high"
        fi
    else
        fail "Tab and Space on the card did not open the drawer ($(height) high)"
    fi
    ds_screenshot command-line-keyboard
else
    echo "SKIP: xterm is not installed; the keyboard check needs another window"
fi

ds_stop_pid "$app"

# The notification at a countdown's end, while the card is hidden.
notified() { [[ $(dunstctl count displayed 2>/dev/null) -ge 1 ]]; }
if command -v dunst >/dev/null && command -v dbus-monitor >/dev/null; then
    ds_new_profile
    ds_spawn monitor dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'"
    ds_spawn dunst dunst
    dunst_pid=$DS_LAST_PID
    ds_poll "$DS_TIMEOUT" dbus-send --print-reply --dest=org.freedesktop.Notifications /org/freedesktop/Notifications \
        org.freedesktop.Notifications.GetServerInformation || fail "dunst did not come up"
    start_program orvanta-notified || finish
    launch --toggle
    ds_poll "$AC_SOON" hidden || fail "--toggle did not hide the card"
    launch --countdown 0:03
    if ds_poll "$AC_SOON" notified; then
        pass "a countdown that ends while the card is hidden shows a notification"
    else
        fail "no notification within 15 s of a 3-second countdown's start"
    fi
    ds_screenshot features-notification
    sleep 1
    notifies=$(grep -c 'member=Notify' "$DS_TMP/monitor.log")
    if ((notifies == 1)) && grep -q '"image-data"' "$DS_TMP/monitor.log" &&
        grep -q 'string "Countdown ended"' "$DS_TMP/monitor.log"; then
        pass "one notification, titled, with the icon's pixels"
    else
        fail "$notifies notifications asked for; the request: $(grep -A3 'member=Notify' "$DS_TMP/monitor.log" | head -n 8)"
    fi
    dunstctl action 0
    if ds_poll "$AC_SOON" viewable; then pass "the notification's action shows the card"; else fail "the notification's action left the card hidden"; fi
    ds_stop_pid "$app"
    ds_stop_pid "$dunst_pid"
else
    echo "SKIP: dunst or dbus-monitor is not installed; the notification check needs them"
fi

# Stay on top: off, a window raised over the card covers it; on (the default), it does not.
# The later of two windows in the window manager's stacking list is the higher.
above() {
    local stack
    stack=$(xprop -root _NET_CLIENT_LIST_STACKING) || return 1
    stack=${stack#*# }
    stack=${stack//,/}
    local i=0 first=-1 second=-1 wid
    for wid in $stack; do
        (($((wid)) == $1)) && first=$i
        (($((wid)) == $2)) && second=$i
        i=$((i + 1))
    done
    ((first > second && second >= 0))
}
if command -v xterm >/dev/null; then
    for on_top in true false; do
        ds_new_profile
        mkdir -p "$XDG_CONFIG_HOME/orvanta"
        echo "{\"stayOnTop\": $on_top}" >"$XDG_CONFIG_HOME/orvanta/settings.json"
        start_program "orvanta-on-top-$on_top" || finish
        ds_spawn "cover-$on_top" xterm -title "cover-$on_top" -geometry 200x60+0+0
        cover_pid=$DS_LAST_PID
        ds_poll "$DS_TIMEOUT" xdotool search --name "^cover-$on_top\$" || fail "xterm did not start"
        cover=$(xdotool search --name "^cover-$on_top\$" | head -n1)
        xdotool windowactivate "$cover" 2>/dev/null
        xdotool windowraise "$cover" 2>/dev/null
        states=$(xprop -id "$card" _NET_WM_STATE _NET_WM_DESKTOP)
        if [[ $on_top == true ]] && ds_poll "$AC_SOON" above "$card" "$cover"; then
            pass "stay on top: an xterm raised over the card does not cover it"
        elif [[ $on_top == false ]] && ds_poll "$AC_SOON" above "$cover" "$card" && [[ $states == *SKIP_TASKBAR* && $states == *4294967295* ]]; then
            pass "stay on top off: an xterm raised over the card covers it; the card stays on every desktop, off the taskbar"
        else
            fail "stay on top $on_top: stacking $(xprop -root _NET_CLIENT_LIST_STACKING), card $card, xterm $cover, $states"
        fi
        ds_screenshot "features-on-top-$on_top"
        ds_stop_pid "$cover_pid"
        ds_stop_pid "$app"
    done
fi

# Remember position: where the card is dragged is where the next start puts it, while that
# point is on a screen; otherwise the corner.
position() { xwininfo -id "$card" 2>/dev/null | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}'; }
ds_new_profile
mkdir -p "$XDG_CONFIG_HOME/orvanta"
echo '{"rememberPosition": true}' >"$XDG_CONFIG_HOME/orvanta/settings.json"
start_program orvanta-remember || finish
read -r x y < <(position)
corner="$x $y"
# The face's empty top margin moves the window.
xdotool mousemove $((x + 110)) $((y + 10)) mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do xdotool mousemove $((x + 110 - step * 20)) $((y + 10 + step * 15)); sleep 0.03; done
xdotool mouseup 1
sleep 0.5
dragged=$(position)
ds_poll "$AC_SOON" grep -q "\"cardTop\": ${dragged#* }" "$XDG_CONFIG_HOME/orvanta/settings.json"
ds_stop_pid "$app"
# Where it should come back: there, while the card's top-right corner lies on the screen.
read -r dx dy < <(echo "$dragged")
read -r _ _ sw sh < <(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print 0, 0, w, h}')
expected=$corner
((dx + 220 <= sw && dy >= 26 && dy < sh)) && expected=$dragged
start_program orvanta-remembered || finish
if [[ $(position) == "$expected" && $expected != "$corner" ]]; then
    pass "remember position: dragged from ($corner) to ($dragged), the next start puts it there"
elif [[ $(position) == "$expected" ]]; then
    pass "remember position: the drag left the card at ($dragged), off the screen, and the next start puts it in the corner"
else
    fail "remember position: dragged from ($corner) to ($dragged); the next start put it at ($(position)), expected ($expected)"
fi
ds_stop_pid "$app"
# A point no screen holds any more, as when the screen has shrunk.
sed -i 's/"cardRight": *[-0-9.e]*/"cardRight": 5000/' "$XDG_CONFIG_HOME/orvanta/settings.json"
start_program orvanta-off-screen || finish
if [[ $(position) == "$corner" ]]; then pass "a remembered point off every screen gives the corner"; else fail "a remembered point off every screen: card at ($(position)), corner ($corner)"; fi
ds_stop_pid "$app"

# Without a notification service the countdown ends as before, and the program says so once.
ds_new_profile
start_program orvanta-unnotified || finish
launch --toggle
ds_poll "$AC_SOON" hidden || fail "--toggle did not hide the card"
launch --countdown 0:01
sleep 3
launch --countdown 0:01
sleep 3
complaints=$(grep -c 'cannot show desktop notifications' "$DS_TMP/orvanta-unnotified.log")
if kill -0 "$app" 2>/dev/null && ((complaints <= 1)); then
    pass "without a notification service two countdowns end quietly ($complaints line on standard error)"
else
    fail "without a notification service: program running $(kill -0 "$app" 2>/dev/null && echo yes || echo no), $complaints complaints"
fi
ds_stop_pid "$app"
finish

#!/usr/bin/env bash
# The real program as a screen reader, the keyboard alone and a German or an English
# user meet it, on a private X desktop (Xvfb, openbox, picom, trayer) with a private
# session bus and accessibility bus: atspi-card.py reads its tree through AT-SPI
# (roles, names, states, the card's and the tray's menus) and, in English, drives it
# with the keyboard and with a reader's actions. Screenshots go to e2e-a11y-*.png in the build
# folder's e2e-shots/.
#
#   tst_accessibility.sh PATH_TO_ORVANTA
#
# Exits 77 (skipped) when Xvfb, xdotool, the accessibility bus or pyatspi is missing.

set -u

bin=${1:?usage: tst_accessibility.sh PATH_TO_ORVANTA}
here=$(dirname "${BASH_SOURCE[0]}")
launcher=/usr/libexec/at-spi-bus-launcher

# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"

ck_skip_unless Xvfb xdotool dbus-daemon "$launcher"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
ck_require "the desktop" openbox picom trayer xprop xwininfo xdpyinfo
[[ -x $bin ]] || { fail "no program at $bin"; finish; }
ds_start || { fail "the private desktop did not start"; finish; }

# A session bus of our own, with the accessibility bus that Qt and pyatspi look up on it.
ds_spawn dbus dbus-daemon --session --nofork --print-address=1
ds_poll "$DS_TIMEOUT" test -s "$DS_TMP/dbus.log" || { fail "no session bus"; finish; }
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$DS_TMP/dbus.log")
export DBUS_SESSION_BUS_ADDRESS
ds_spawn atspi "$launcher" --launch-immediately
a11y_bus_up() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress; }
ds_poll "$DS_TIMEOUT" a11y_bus_up || { fail "no accessibility bus"; finish; }
# The registry is started on first use. A program that comes up before it never learns that
# someone listens for its events, and its menus never reach the reader: start it first.
a11y_address=$(a11y_bus_up | sed -n 's/^ *string "\(.*\)"$/\1/p')
# shellcheck disable=SC2317  # runs through ds_poll
registry_up() {
    dbus-send --bus="$a11y_address" --print-reply --dest=org.a11y.atspi.Registry /org/a11y/atspi/registry \
        org.freedesktop.DBus.Peer.Ping
}
ds_poll "$DS_TIMEOUT" registry_up >/dev/null || { fail "no accessibility registry"; finish; }
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# Each language in its locale: American English writes AM/PM, German 24 hours.
ds_locale en_US
ds_locale de_DE

# run_case NAME LANG: the program in a fresh profile with that language, read by atspi-card.py.
run_case() {
    local name=$1 lang=$2 pid status
    echo "== $name (LANG=$lang)"
    ds_new_profile
    # The reader listens before the program starts, as a reader does on a desktop: Qt's bridge
    # learns of listeners that come later only unreliably, and then its menus are never read.
    LANG=C.UTF-8 /usr/bin/python3 "$here/atspi-card.py" "$name" "$(ds_tray_window)" >"$DS_TMP/$name.out" 2>&1 &
    reader=$!
    ds_poll "$DS_TIMEOUT" grep -q '^listening' "$DS_TMP/$name.out" || fail "atspi-card.py $name did not start listening"
    LANG=$lang LC_ALL='' LANGUAGE='' ds_spawn "orvanta-$name" "$bin"
    pid=$DS_LAST_PID
    wait "$reader"
    status=$?
    grep -v '^listening' "$DS_TMP/$name.out"
    passed=$((passed + $(grep -c '^PASS' "$DS_TMP/$name.out")))
    failed=$((failed + $(grep -c '^FAIL' "$DS_TMP/$name.out")))
    ((status == 0)) || grep -q '^FAIL' "$DS_TMP/$name.out" || fail "atspi-card.py $name ended with status $status"
    ds_screenshot "a11y-$name"
    ds_stop_pid "$pid"
}

run_case en en_US.UTF-8
run_case de de_DE.UTF-8
finish

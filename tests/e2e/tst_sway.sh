#!/usr/bin/env bash
# The card on headless sway through XWayland, with swaybar as the tray (a StatusNotifierItem
# host): the card floats, sticky, 24 px inside the top-right corner of the workspace's usable
# area (below the bar), follows to workspace 2, is hidden by a left click on its tray icon,
# and a second launch shows it there again.
#
#   tst_sway.sh PATH_TO_ORVANTA
#
# sway refuses to run as root: as root, the desktop and the program run as nobody. Exits 77
# (skipped) when sway, Xwayland or dbus-run-session is missing.

# shellcheck disable=SC2317  # the small predicates below run through ds_poll
set -u

bin=${1:?usage: tst_sway.sh PATH_TO_ORVANTA}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless sway swaymsg swaybar Xwayland dbus-run-session dbus-send python3 setpriv setsid
[[ -x $bin ]] || { fail "no program at $bin"; finish; }
DS_PROGRAM=$bin
ds_shot_dir || { fail "no folder for screenshots"; finish; }
readonly inset=24
DS_TIMEOUT=30

user=$(id -un)
as_user=()
if (($(id -u) == 0)); then
    user=nobody
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

DS_TMP=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-sway.XXXXXX")
trap ds_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
chmod 0755 "$DS_TMP"
mkdir -p "$DS_TMP"/{home,config,runtime}
chmod 0700 "$DS_TMP/runtime"
cat >"$DS_TMP/config/sway" <<CONFIG
output HEADLESS-1 mode 1280x800
xwayland enable
bar {
    position top
}
CONFIG
touch "$DS_TMP/orvanta.log"
chown -R "$user" "$DS_TMP"/{home,config,runtime,orvanta.log}

# In a session of its own, so that stopping it ends everything sway started.
ds_spawn sway setsid "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$DS_TMP/home" \
    XDG_CONFIG_HOME="$DS_TMP/config" XDG_RUNTIME_DIR="$DS_TMP/runtime" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    dbus-run-session -- sway -c "$DS_TMP/config/sway"
sway_pid=$DS_LAST_PID
stop_sway() { kill -TERM -- "-$sway_pid" 2>/dev/null; ds_stop; }
trap stop_sway EXIT

sway_socket() { compgen -G "$DS_TMP/runtime/sway-ipc.*.sock"; }
ds_poll "$DS_TIMEOUT" sway_socket || { fail "sway did not start"; tail -n 20 "$DS_TMP/sway.log"; finish; }
SWAYSOCK=$(sway_socket)
export SWAYSOCK
bar_up() { swaymsg -t get_workspaces | grep -q '"y": [1-9]'; }
ds_poll "$DS_TIMEOUT" bar_up || echo "  note: the bar takes no room on the workspace"

# Started by sway, as a launcher would, with its environment (DISPLAY of its XWayland).
launch() { swaymsg -q exec "exec '$bin' >>'$DS_TMP/orvanta.log' 2>&1"; }
card_state() { swaymsg -t get_tree | python3 "$here/sway-tree.py" Orvanta; }
card_shown() { [[ -n $(card_state) ]]; }
card_hidden() { [[ -z $(card_state) ]]; }

sway_screenshot() {
    local display
    command -v grim >/dev/null || return 0
    display=$(basename "$(compgen -G "$DS_TMP/runtime/wayland-*[0-9]" | head -n1)")
    "${as_user[@]}" env XDG_RUNTIME_DIR="$DS_TMP/runtime" WAYLAND_DISPLAY="$display" grim "$DS_TMP/home/shot.png" &&
        cp "$DS_TMP/home/shot.png" "$DS_SHOT_DIR/e2e-sway-$1.png"
}

in_corner() {
    local x y w h sticky visible ws wx wy ww wh
    read -r x y w h sticky visible ws wx wy ww wh _ < <(card_state) || return 1
    AC_WHY="card ${w}x${h}+${x}+${y} sticky=$sticky visible=$visible on workspace $ws ${ww}x${wh}+${wx}+${wy}"
    [[ $ws == "$1" && $sticky == true && $visible == true ]] && ((x + w == wx + ww - inset && y == wy + inset))
}

launch
ds_poll "$DS_TIMEOUT" card_shown || { fail "no card within ${DS_TIMEOUT} s"; finish; }
check "the card floats, sticky, $inset px inside the top-right corner of the workspace's area" \
    ds_poll "$DS_TIMEOUT" in_corner 1
sway_screenshot 1-start

swaymsg -q workspace 2
check "after switching to workspace 2 the card shows there, in the corner" ds_poll "$DS_TIMEOUT" in_corner 2

# What swaybar does on a left click on the icon: Activate on the item it registered, on the
# program's session bus.
read -r _ _ _ _ _ _ _ _ _ _ _ pid < <(card_state)
bus=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^DBUS_SESSION_BUS_ADDRESS=//p')
on_bus() { "${as_user[@]}" dbus-send --bus="$bus" --print-reply "$@"; }
tray_item() {
    on_bus --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:RegisteredStatusNotifierItems | grep -o '"[^"]*"' | tr -d '"' |
        head -n1 | grep .
}
if ds_poll "$DS_TIMEOUT" tray_item; then
    item=$(tray_item)
    on_bus --dest="${item%%/*}" "/${item#*/}" org.kde.StatusNotifierItem.Activate int32:0 int32:0 >/dev/null
else
    fail "swaybar's tray holds no item of the program"
fi
check "a left click on the tray icon hides the card" ds_poll "$DS_TIMEOUT" card_hidden

launch
check "a second launch after hiding shows the card on workspace 2, in the corner" ds_poll "$DS_TIMEOUT" in_corner 2
sway_screenshot 2-workspace-2
if grep -q 'IPC socket' "$DS_TMP/orvanta.log"; then
    fail "the program could not use sway's socket: $(grep 'IPC socket' "$DS_TMP/orvanta.log" | head -n1)"
fi
finish

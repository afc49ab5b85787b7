# A private X desktop for end-to-end checks: Xvfb, openbox, picom and a tray on top.
# Source it, call ds_start, and everything started through it is stopped on exit.
#
#   ds_start                  private profile, X server, window manager, compositor, tray
#                             (DS_SCREEN=WxH sets the screen, 1280x800 by default; DS_MONITORS=
#                             "WxH+X+Y ..." splits it into RandR monitors; DS_COMPOSITOR=none
#                             leaves picom out; DS_TRAY_HEIGHT sets the tray's height, DS_TRAY=none
#                             leaves it out; DS_WM=kwin runs KWin, which composites itself, on a
#                             private session bus, instead of openbox)
#   ds_start_tray             starts the tray (again); its pid in DS_TRAY_PID
#   ds_new_profile            fresh HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR (0700)
#   ds_spawn NAME CMD...      starts CMD in the background; its pid in DS_LAST_PID
#   ds_poll SECONDS CMD...    runs CMD every 20 ms until it succeeds or time runs out
#   ds_process_gone PID       true once PID has exited (zombies count as exited)
#   ds_wait_exit SECONDS PID  waits for a spawned PID to end; its status in DS_EXIT_STATUS
#   ds_workarea               "x y w h" of the usable area (without the tray's strut)
#   ds_geometry WID           "x y w h" of a window, x and y relative to the root
#   ds_start_bus              a session bus without service activation; its address in DS_BUS_ADDRESS
#   ds_screenshot NAME        the whole screen into $DS_SHOT_DIR/e2e-NAME.png
#   ds_locale NAME            makes sure the locale NAME.UTF-8 (en_US, de_DE) can be used:
#                             made in the private folder when the machine has none
#
# Screenshots go to DS_SHOT_DIR: by default e2e-shots/ in the build folder of DS_PROGRAM (the
# program under test, set by the sourcing script), or a folder in $TMPDIR for a program outside
# a build folder. Nothing is written into the working folder.
#
# Every readiness wait polls; nothing sleeps for a fixed time.
# shellcheck shell=bash disable=SC2034  # DS_* results are read by the sourcing script

# Long enough for a start on a machine whose cores are all busy; every wait ends as soon as it can.
DS_TIMEOUT=${DS_TIMEOUT:-30}
DS_SHOT_DIR=${DS_SHOT_DIR:-}
DS_PROGRAM=${DS_PROGRAM:-}
DS_PIDS=()
DS_TMP=""
DS_LAST_PID=""
DS_TRAY_PID=""
DS_EXIT_STATUS=""
DS_BUS_ADDRESS=""

ds_log() { printf '[desktop] %s\n' "$*" >&2; }

ds_poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.02
    done
}

ds_process_gone() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [[ $state == Z* ]]
}

ds_wait_exit() {
    local seconds=$1 pid=$2 i
    ds_poll "$seconds" ds_process_gone "$pid" || return 1
    wait "$pid"
    DS_EXIT_STATUS=$?
    # A reaped pid may be reused: it must not be stopped again on exit.
    for i in "${!DS_PIDS[@]}"; do
        [[ ${DS_PIDS[i]} == "$pid" ]] && unset 'DS_PIDS[i]'
    done
    DS_PIDS=("${DS_PIDS[@]}")
}

ds_spawn() {
    local name=$1
    shift
    "$@" >"$DS_TMP/$name.log" 2>&1 &
    DS_LAST_PID=$!
    DS_PIDS+=("$DS_LAST_PID")
}

# Stops one process: TERM, then KILL if it has not gone within a few seconds; reaps it.
ds_stop_pid() {
    local pid=$1
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
    kill -TERM "$pid" 2>/dev/null
    ds_poll 5 ds_process_gone "$pid" || kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

ds_stop() {
    local i
    for ((i = ${#DS_PIDS[@]} - 1; i >= 0; i--)); do
        ds_stop_pid "${DS_PIDS[i]}"
    done
    DS_PIDS=()
    [[ -n $DS_TMP && -d $DS_TMP ]] && rm -rf "$DS_TMP"
    DS_TMP=""
}

ds_new_profile() {
    local profile
    profile=$(mktemp -d "$DS_TMP/profile.XXXXXX")
    mkdir -p "$profile/home" "$profile/config" "$profile/cache" "$profile/data" "$profile/runtime"
    chmod 0700 "$profile/runtime"
    export HOME=$profile/home
    export XDG_CONFIG_HOME=$profile/config
    export XDG_CACHE_HOME=$profile/cache
    export XDG_DATA_HOME=$profile/data
    export XDG_RUNTIME_DIR=$profile/runtime
}

# openbox names itself on the root before it has finished starting, and a dock mapped in
# between may never be managed; the work area comes once it has.
ds_root_has_wm_check() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
ds_root_has_wm() { ds_root_has_wm_check && xprop -root _NET_WORKAREA | grep -q '= '; }

# picom names the window that owns the compositing selection after itself.
ds_compositor_up() { [[ -n $(xdotool search --classname '^picom$') ]]; }

ds_workarea() {
    local values
    values=$(xprop -root _NET_WORKAREA) || return 1
    values=${values#*= }
    [[ $values =~ ^([0-9]+),\ ([0-9]+),\ ([0-9]+),\ ([0-9]+) ]] || return 1
    echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[4]}"
}

# The tray is ready when its strut has moved the work area down.
ds_tray_up() {
    local y
    read -r _ y _ _ < <(ds_workarea) || return 1
    ((y > 0)) && [[ -n $(xdotool search --onlyvisible --class '^trayer$') ]]
}

# The tray's visible panel window.
ds_tray_window() { xdotool search --onlyvisible --class '^trayer$' | head -n1; }

ds_geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
         /^ *Width:/ {w=$2} /^ *Height:/ {h=$2}
         END {if (w == "") exit 1; print x, y, w, h}' <<<"$info"
}

ds_locale() {
    locale -a 2>/dev/null | grep -qix "$1\.utf-\?8" && return 0
    mkdir -p "$DS_TMP/locale"
    if command -v localedef >/dev/null && localedef -i "$1" -f UTF-8 "$DS_TMP/locale/$1.UTF-8" 2>/dev/null; then
        export LOCPATH=$DS_TMP/locale
    else
        ds_log "no $1.UTF-8 locale could be made; the program still reads LANG"
        return 1
    fi
}

# The build folder that holds PROGRAM: the nearest folder above it with a CMakeCache.txt.
ds_build_dir() {
    local dir
    dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd -P) || return 1
    while [[ $dir != / ]]; do
        [[ -f $dir/CMakeCache.txt ]] && { echo "$dir"; return 0; }
        dir=$(dirname "$dir")
    done
    return 1
}

ds_shot_dir() {
    local build
    if [[ -z $DS_SHOT_DIR ]]; then
        if [[ -n $DS_PROGRAM ]] && build=$(ds_build_dir "$DS_PROGRAM"); then
            DS_SHOT_DIR=$build/e2e-shots
        else
            DS_SHOT_DIR=${TMPDIR:-/tmp}/orvanta-e2e-shots
        fi
    fi
    mkdir -p "$DS_SHOT_DIR" || return 1
    ds_log "screenshots go to $DS_SHOT_DIR"
}

ds_start_bus() {
    cat >"$DS_TMP/bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$DS_TMP</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    ds_spawn bus dbus-daemon --config-file="$DS_TMP/bus.conf" --nofork --print-address
    ds_poll "$DS_TIMEOUT" grep -q '^unix:' "$DS_TMP/bus.log" || return 1
    DS_BUS_ADDRESS=$(grep -m1 '^unix:' "$DS_TMP/bus.log")
}

ds_screenshot() {
    command -v import >/dev/null || return 0
    import -window root "$DS_SHOT_DIR/e2e-$1.png" 2>/dev/null || ds_log "screenshot $1 failed"
}

ds_start() {
    DS_TMP=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-e2e.XXXXXX")
    trap ds_stop EXIT
    ds_shot_dir || { ds_log "no folder for screenshots at $DS_SHOT_DIR"; return 1; }
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
    ds_new_profile
    # Without a session bus the tray icon uses XEmbed, and nothing can autolaunch a bus.
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$DS_TMP/no-session-bus"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY DESKTOP_SESSION XDG_CURRENT_DESKTOP SESSION_MANAGER

    # Xvfb picks a free display number itself and writes it to the given descriptor.
    Xvfb -displayfd 3 -screen 0 "${DS_SCREEN:-1280x800}x24" -nolisten tcp -noreset \
        3>"$DS_TMP/display" >"$DS_TMP/xvfb.log" 2>&1 &
    DS_PIDS+=("$!")
    ds_poll "$DS_TIMEOUT" test -s "$DS_TMP/display" || { ds_log "Xvfb did not start"; return 1; }
    DISPLAY=:$(head -n1 "$DS_TMP/display")
    export DISPLAY
    ds_poll "$DS_TIMEOUT" xdpyinfo || { ds_log "display $DISPLAY does not answer"; return 1; }
    local monitor w h n=0
    for monitor in ${DS_MONITORS:-}; do
        [[ $monitor =~ ^([0-9]+)x([0-9]+)(\+[0-9]+\+[0-9]+)$ ]] || { ds_log "not a monitor: $monitor"; return 1; }
        w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
        # The first monitor takes the screen's one output, the others none; sizes in mm are nominal.
        xrandr --setmonitor "orvanta-$n" "$w/$((w / 4))x$h/$((h / 4))${BASH_REMATCH[3]}" \
            "$( ((n == 0)) && echo screen || echo none)" >/dev/null ||
            { ds_log "xrandr could not make monitor $monitor"; return 1; }
        n=$((n + 1))
    done

    if [[ ${DS_WM:-openbox} == kwin ]]; then
        # KWin wants a session bus, and publishes its work area once there are two desktops.
        ds_spawn dbus dbus-daemon --session --nofork --address="unix:path=$DS_TMP/session-bus"
        export DBUS_SESSION_BUS_ADDRESS="unix:path=$DS_TMP/session-bus"
        ds_poll "$DS_TIMEOUT" test -S "$DS_TMP/session-bus" || { ds_log "the session bus did not start"; return 1; }
        ds_spawn kwin kwin_x11 --replace
        ds_poll "$((DS_TIMEOUT * 3))" ds_root_has_wm_check || { ds_log "kwin did not start"; return 1; }
        wmctrl -n 2
        ds_poll "$DS_TIMEOUT" ds_root_has_wm || { ds_log "kwin made no second desktop"; return 1; }
    else
        ds_spawn openbox openbox --sm-disable
        ds_poll "$DS_TIMEOUT" ds_root_has_wm || { ds_log "openbox did not start"; return 1; }
    fi

    if [[ ${DS_WM:-openbox} != kwin && ${DS_COMPOSITOR:-picom} != none ]]; then
        # No configuration file: the defaults, whatever the machine has installed.
        ds_spawn picom picom --backend xrender --config /dev/null
        ds_poll "$DS_TIMEOUT" ds_compositor_up || { ds_log "picom did not start"; return 1; }
    fi

    if [[ ${DS_TRAY:-trayer} == none ]]; then
        ds_log "desktop up on $DISPLAY, work area $(ds_workarea)"
        return 0
    fi
    ds_start_tray || return 1
    ds_log "desktop up on $DISPLAY, work area $(ds_workarea)"
}

ds_start_tray() {
    # trayer documents a strut by default but only sets one when asked.
    ds_spawn trayer trayer --edge top --SetPartialStrut true --SetDockType true ${DS_TRAY_HEIGHT:+--height "$DS_TRAY_HEIGHT"}
    DS_TRAY_PID=$DS_LAST_PID
    ds_poll "$DS_TIMEOUT" ds_tray_up || { ds_log "trayer did not start"; return 1; }
}

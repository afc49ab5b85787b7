#!/usr/bin/env bash
# Side-by-side benchmark: Orvanta in each of its everyday states (untouched; a text field
# focused, while its caret blinks and after a quiet spell; a countdown started from the
# keyboard; the glass theme; widths 180, 220 and 340; five notes; the preferences open), next
# to `xclock -digital -update 1` and a bare Qt reference window (bench/reference-window.cpp),
# each alone on the same private X desktop (Xvfb, openbox, picom; all rendering in software).
# Writes bench/REPORT.md and its figures as JSON beside it.
#
#   bench/run-bench.sh            the full run, about 20 minutes
#   bench/run-bench.sh --quick    a smoke run of about 8 minutes (figures too short to trust)
#
# The build goes to build-bench/ (or $ORVANTA_BENCH_BUILD_DIR); the report to bench/REPORT.md
# (or $ORVANTA_BENCH_REPORT), its figures to the same name with .json (or $ORVANTA_BENCH_FIGURES).
# With $ORVANTA_BENCH_BEFORE naming the figures of an earlier run, the report sets each
# state's figures beside those. The raw measurements, screenshots of every state included,
# stay in $ORVANTA_BENCH_KEEP when it is set.
# Profiles ("HOME=... XDG_...") and commands are word lists, split on purpose; the per-desktop
# variables (DISPLAY_main, XVFB_main, ...) are set through printf -v.
# shellcheck disable=SC2046,SC2086,SC2154
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

quick=false
case "${1:-}" in
    "") ;;
    --quick) quick=true ;;
    *) echo "usage: bench/run-bench.sh [--quick]" >&2; exit 2 ;;
esac

# A blink that stops does so 10 s after the last key or click, as desktop toolkits do; the
# caret's quiet row starts measuring after caret_quiet_s.
caret_quiet_s=13
if $quick; then
    idle_s=8            # the untouched card, xclock and the reference window
    short_s=5           # every other state
    blink_s=4           # the caret while it blinks (it may stop 10 s after the click)
    settle_s=3          # from the start to the state being set and the memory reading
    startups=1          # start-up runs of each program
    collect_s=3         # instruction counting under callgrind, per state
    blink_collect_s=3
    warm_s=4            # from the window to counting instructions
else
    idle_s=60
    short_s=30
    blink_s=8
    settle_s=10
    startups=5
    collect_s=10
    blink_collect_s=7
    # Every digit of the seconds' units has been drawn once: glyphs come from the cache.
    warm_s=12
fi

# --- packages and build ---

scripts/install-deps.sh
bench_packages=(xvfb openbox picom x11-apps x11-utils xdotool valgrind libxcb-damage0-dev python3 imagemagick)
missing=()
for p in "${bench_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    as_root=()
    [[ $(id -u) -ne 0 ]] && as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${ORVANTA_BENCH_BUILD_DIR:-build-bench}
[[ $build == /* ]] || build=$repo/$build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_TESTS=OFF -DORVANTA_TOOLS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvanta reference-window damage-watch orvanta-render-card
orvanta=$build/src/app/orvanta
renderer=$build/tools/orvanta-render-card
reference=$build/bench/reference-window
watch=$build/bench/damage-watch

# --- private desktops ---

tmp=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-bench.XXXXXX")
results=$tmp/results
mkdir -p "$results"
pids_file=$tmp/pids
: >"$pids_file"

stop_pid() {
    local pid=$1 i
    kill -TERM "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 250; i++)); do
        kill -0 "$pid" 2>/dev/null || return 0
        [[ $(ps -o stat= -p "$pid" 2>/dev/null) == Z* ]] && break
        sleep 0.02
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    local pid
    for pid in $(tac "$pids_file" 2>/dev/null); do
        stop_pid "$pid"
    done
    if [[ -n ${ORVANTA_BENCH_KEEP:-} ]]; then
        mkdir -p "$ORVANTA_BENCH_KEEP" && cp -r "$results"/. "$ORVANTA_BENCH_KEEP"/
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

track() { echo "$1" >>"$pids_file"; }

poll() {
    local seconds=$1 i
    shift
    for ((i = 0; i < seconds * 100; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.01
    done
    return 1
}

# Nothing from the caller's desktop leaks in; without a session bus nothing can autolaunch one.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-session-bus"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY DESKTOP_SESSION XDG_CURRENT_DESKTOP SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# start_session NAME: Xvfb (black root, so an unpainted window is one flat colour), openbox
# and picom; sets DISPLAY_<NAME>, XVFB_<NAME>, PICOM_<NAME> and OPENBOX_<NAME>.
start_session() {
    local name=$1 dir=$tmp/session-$1 display
    mkdir -p "$dir"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset -br 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    printf -v "XVFB_$name" %s $!
    track $!
    poll 10 test -s "$dir/display" || { echo "Xvfb did not start" >&2; return 1; }
    display=:$(head -n1 "$dir/display")
    printf -v "DISPLAY_$name" %s "$display"
    poll 10 xdpyinfo -display "$display" || { echo "display $display does not answer" >&2; return 1; }
    DISPLAY=$display openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    printf -v "OPENBOX_$name" %s $!
    track $!
    poll 10 sh -c "xprop -display $display -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
        { echo "openbox did not start" >&2; return 1; }
    DISPLAY=$display picom --backend xrender --config /dev/null >"$dir/picom.log" 2>&1 &
    printf -v "PICOM_$name" %s $!
    track $!
    # picom names the window that owns the compositing selection after itself.
    poll 10 env DISPLAY="$display" xdotool search --classname '^picom$' || { echo "picom did not start" >&2; return 1; }
}

# new_profile: a fresh empty HOME and XDG folders; prints the env assignments for `env`.
new_profile() {
    local p
    mkdir -p "$tmp/profiles"
    p=$(mktemp -d "$tmp/profiles/XXXXXX")
    mkdir -p "$p/home" "$p/config" "$p/cache" "$p/data" "$p/runtime"
    chmod 0700 "$p/runtime"
    echo "HOME=$p/home XDG_CONFIG_HOME=$p/config XDG_CACHE_HOME=$p/cache XDG_DATA_HOME=$p/data XDG_RUNTIME_DIR=$p/runtime"
}

# What is measured: Orvanta in each of its states, xclock and the reference window. A state
# is a fresh profile with prepared settings and, for some, what is done to the card once it
# stands (drive_state): "chime" is the card after its first countdown has ended, its sound
# played and its flash gone; "longnotes" holds five notes of 100,000 characters. The caret state gives two rows: while the caret blinks, and after a
# quiet spell long enough for a blink that stops to have stopped.
states=(default noseconds caret countdown glass w180 w340 notes5 longnotes chime prefs)
others=(xclock reference)

# Five short notes, as the program stores them.
notes5_base64=$(python3 -c '
import base64, json, uuid
notes = [{"id": str(uuid.uuid4()).upper(), "text": t, "done": False} for t in ("one", "two", "three", "four", "five")]
print(base64.b64encode(json.dumps(notes).encode()).decode())')
# Five notes of 100,000 characters of words, which wrap into thousands of lines each.
longnotes_base64=$(python3 -c '
import base64, json, uuid
words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor".split()
def text(n):
    out, i = [], 0
    while sum(map(len, out)) + len(out) < 100000:
        out.append(words[(i * 7 + n) % len(words)])
        i += 1
    return " ".join(out)[:100000]
notes = [{"id": str(uuid.uuid4()).upper(), "text": text(n), "done": False} for n in range(5)]
print(base64.b64encode(json.dumps(notes).encode()).decode())')
declare -A settings=(
    [noseconds]='{"showSeconds": false}'
    [glass]='{"theme": "glass"}'
    [w180]='{"cardWidth": 180}'
    [w340]='{"cardWidth": 340}'
    [notes5]="{\"notes\": {\"base64\": \"$notes5_base64\"}}"
    [longnotes]="{\"notes\": {\"base64\": \"$longnotes_base64\"}}"
)

command_for() {
    case $1 in
        xclock) echo "xclock -digital -update 1" ;;
        reference) echo "$reference" ;;
        *) echo "$orvanta" ;;
    esac
}

# The function whose every return ends one tick, for the per-tick instruction counts.
tick_function() {
    case $1 in
        xclock) echo XtAppAddTimeOut ;;
        reference) echo 'ReferenceWindow::paintEvent(QPaintEvent*)' ;;
        *) echo 'AppModel::tick()' ;;
    esac
}

# The function whose first return ends the first painted frame, for the start-up count: the
# toolkit's paint-and-flush of a window for the two Qt programs, the string drawing for xclock.
first_paint_function() {
    case $1 in
        xclock) echo XftDrawStringUtf8 ;;
        *) echo 'QWidgetRepaintManager::paintAndFlush()' ;;
    esac
}

# profile_for NAME: a fresh profile with the settings that state starts from.
profile_for() {
    local env config
    env=$(new_profile)
    if [[ -n ${settings[$1]:-} ]]; then
        config=${env#*XDG_CONFIG_HOME=}
        config=${config%% *}
        mkdir -p "$config/orvanta"
        echo "${settings[$1]}" >"$config/orvanta/settings.json"
    fi
    echo "$env"
}

# ready_profile NAME DISPLAY: a profile for NAME as it stands on any start but the very first:
# Orvanta keeps what it can between starts (a cache), so it is started there once first and
# stopped once its window shows. The first start of a fresh profile is counted on its own.
ready_profile() {
    local name=$1 display=$2 env pid
    env=$(profile_for "$name")
    if [[ $name != xclock && $name != reference ]]; then
        DISPLAY=$display env $env $orvanta >/dev/null 2>&1 &
        pid=$!
        DISPLAY=$display "$watch" wait 30 "$pid" >/dev/null || echo "$name: no window on the first start" >&2
        sleep 1
        stop_pid "$pid"
    fi
    echo "$env"
}

# --- driving the card (DISPLAY names the desktop) ---

window_box() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
        /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {if (w == "") exit 1; print x, y, w, h}'
}
window_height() { window_box "$1" | awk '{print $4}'; }
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }
height_below() { (($(window_height "$1") < $2)); }
# The card keeps its size over half a second (the drawer has finished moving).
settled() {
    local before
    before=$(window_box "$1")
    sleep 0.5
    [[ $(window_box "$1") == "$before" ]]
}
# The preferences window: another visible window of the process, painted (more than one colour).
second_window_painted() {
    local pid=$1 card=$2 wid
    for wid in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        [[ $wid == "$card" ]] && continue
        (($(import -window "$wid" png:- 2>/dev/null | identify -format '%k' - 2>/dev/null || echo 0) > 1)) && return 0
    done
    return 1
}

# A click on the middle of the timer field, found in the card renderer's layout of a card as
# wide as this one; then the pointer leaves the card so no hover stays on it.
click_timer_field() {
    local wid=$1 x y w layout fx fy fw fh
    read -r x y w _ < <(window_box "$wid") || return 1
    layout=$tmp/layout-$w.txt
    [[ -s $layout ]] || QT_QPA_PLATFORM=offscreen "$renderer" -o "$layout.png" --width "$w" --layout "$layout" >/dev/null 2>&1 ||
        { echo "the card renderer wrote no layout" >&2; return 1; }
    read -r fx fy fw fh < <(awk '$1 == "timer-field" {print $2, $3, $4, $5}' "$layout")
    [[ -n $fh ]] || { echo "no timer field in the layout" >&2; return 1; }
    xdotool mousemove "$((x + fx + fw / 2))" "$((y + fy + fh / 2))" click 1
    xdotool mousemove 20 780
}

# drive_state NAME WINDOW PID SECONDS: puts a standing card into its state and checks that it
# is in it, waiting up to SECONDS for each step.
drive_state() {
    local name=$1 wid=$2 pid=$3 seconds=$4 height
    case $name in
        caret)
            click_timer_field "$wid" || return 1
            poll "$seconds" has_focus "$wid" || { echo "the card did not take the keyboard" >&2; return 1; }
            ;;
        countdown)
            height=$(window_height "$wid")
            click_timer_field "$wid" || return 1
            poll "$seconds" has_focus "$wid" || { echo "the card did not take the keyboard" >&2; return 1; }
            xdotool key ctrl+a type 25:00
            xdotool key Return
            poll "$seconds" height_below "$wid" "$height" || { echo "Return did not start the countdown" >&2; return 1; }
            poll "$seconds" settled "$wid" || { echo "the drawer kept moving" >&2; return 1; }
            ;;
        chime)
            height=$(window_height "$wid")
            click_timer_field "$wid" || return 1
            poll "$seconds" has_focus "$wid" || { echo "the card did not take the keyboard" >&2; return 1; }
            xdotool key ctrl+a type 0:01
            xdotool key Return
            poll "$seconds" height_below "$wid" "$height" || { echo "Return did not start the countdown" >&2; return 1; }
            # One second to the end, 1.4 s of flash, and time for the sound to play.
            sleep 4
            ;;
        prefs)
            xdotool windowactivate "$wid" 2>/dev/null
            poll "$seconds" has_focus "$wid" || { echo "the card did not take the keyboard" >&2; return 1; }
            xdotool key ctrl+comma
            poll "$seconds" second_window_painted "$pid" "$wid" || { echo "the preferences window did not open" >&2; return 1; }
            ;;
    esac
}

# The screen as the state was measured, kept with the results.
screenshot() { import -window root "$results/shot-$1.png" 2>/dev/null || echo "screenshot $1 failed" >&2; }

# utime + stime in clock ticks, of all threads, living and gone.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# CPU time in nanoseconds, from the scheduler's own accounting.
cpu_ns() { awk '{s += $1} END {print s + 0}' /proc/"$1"/task/*/schedstat 2>/dev/null; }
now() { date +%s.%N; }

# snapshot FILE PREFIX SESSION [PID]: appends the counters of the session's server, window
# manager and compositor, and of each thread of PID, to a key-value file. Threads are listed
# one by one because a thread that ends takes its counters with it: only threads alive at
# both ends of a measurement are compared.
snapshot() {
    local file=$1 prefix=$2 s=$3 pid=${4:-} task run voluntary
    local xvfb=XVFB_$s picom=PICOM_$s openbox=OPENBOX_$s
    {
        echo "${prefix}time $(now)"
        echo "${prefix}xvfb_ns $(cpu_ns "${!xvfb}")"
        echo "${prefix}picom_ns $(cpu_ns "${!picom}")"
        echo "${prefix}openbox_ns $(cpu_ns "${!openbox}")"
        if [[ -n $pid ]]; then
            echo "${prefix}prog_ticks $(cpu_ticks "$pid")"
            for task in /proc/"$pid"/task/*; do
                read -r run _ <"$task/schedstat" 2>/dev/null || continue
                voluntary=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status" 2>/dev/null) || continue
                echo "${prefix}thread ${task##*/} $run $voluntary"
            done
        fi
    } >>"$file"
}

# --- instruction counts, on a second identical desktop while the first one idles ---

sleep_until() { sleep "$(python3 -c "print(max(0.0, $1 - $(now)))")"; }

# collect OUT LABEL SECONDS PID: counts instructions for SECONDS, then moves the dumps made
# meanwhile (one at the end of each tick) into OUT.LABEL/.
collect() {
    local out=$1 label=$2 seconds=$3 pid=$4 f
    callgrind_control -i on "$pid" >/dev/null
    sleep "$seconds"
    callgrind_control -i off "$pid" >/dev/null
    mkdir -p "$out.$label"
    for f in "$out".[0-9]*; do
        [[ -e $f ]] && mv "$f" "$out.$label/"
    done
    echo "$label $(find "$out.$label" -type f | wc -l) dumps"
}

# One state under callgrind, counting only once the state is set and every digit of the
# seconds has been drawn once (steady state: no glyph is rasterised for the first time).
callgrind_state() {
    local name=$1 pid wid started t0
    local out=$results/cg-$name
    DISPLAY=$DISPLAY_cg env $(ready_profile "$name" "$DISPLAY_cg") valgrind --tool=callgrind --instr-atstart=no \
        --dump-after="$(tick_function "$name")" --callgrind-out-file="$out" $(command_for "$name") >"$out.log" 2>&1 &
    pid=$!
    track "$pid"
    wid=$(DISPLAY=$DISPLAY_cg "$watch" wait 120 "$pid") || { echo "$name: no window under valgrind" >&2; return 1; }
    started=$(now)
    DISPLAY=$DISPLAY_cg drive_state "$name" "$wid" "$pid" 60 || { echo "$name: the state could not be set under valgrind" >&2; return 1; }
    DISPLAY=$DISPLAY_cg screenshot "cg-$name"
    if [[ $name == caret ]]; then
        t0=$(now)
        sleep 1
        collect "$out" blink "$blink_collect_s" "$pid"
        sleep_until "$(python3 -c "print($t0 + $caret_quiet_s)")"
        collect "$out" stopped "$collect_s" "$pid"
    else
        sleep_until "$(python3 -c "print($started + $warm_s)")"
        collect "$out" idle "$collect_s" "$pid"
    fi
    stop_pid "$pid"
}

dump_complete() { tail -n1 "$1" 2>/dev/null | grep -q '^totals:'; }

# Instructions from the start to the end of the first painted frame: the dump is taken as the
# function that ends the frame returns, inside the program, so nothing after it counts.
# The row "first" is the untouched card's first start in a fresh profile.
callgrind_startup() {
    local name=$1 pid profile
    local out=$results/startup-$name
    if [[ $name == first ]]; then
        profile=$(profile_for default)
    else
        profile=$(ready_profile "$name" "$DISPLAY_cg")
    fi
    DISPLAY=$DISPLAY_cg env $profile valgrind --tool=callgrind \
        --dump-after="$(first_paint_function "$name")" --callgrind-out-file="$out.out" $(command_for "$name") \
        >"$out.log" 2>&1 &
    pid=$!
    track "$pid"
    poll 120 dump_complete "$out.out.1" || { echo "$name: no first frame under valgrind" >&2; return 1; }
    stop_pid "$pid"
    callgrind_annotate --inclusive=yes "$out.out.1" >"$out.inclusive.txt" 2>/dev/null || true
}

# count_action OUT LABEL PID COMMAND...: counts the instructions of PID while COMMAND runs,
# and keeps them as the dump OUT.LABEL.
count_action() {
    local out=$1 label=$2 pid=$3 f
    shift 3
    callgrind_control -i on "$pid" >/dev/null
    "$@" || { echo "$label: the action failed" >&2; return 1; }
    callgrind_control -i off "$pid" >/dev/null
    callgrind_control -d "$label" "$pid" >/dev/null
    for f in "$out".[0-9]*; do
        poll 60 dump_complete "$f" && mv "$f" "$out.$label"
    done
    [[ -e $out.$label ]] || { echo "$label: no dump" >&2; return 1; }
}

# The card no longer changes size (slowly, under valgrind).
settled_slowly() { poll 60 settled "$1" && sleep 1; }

# The left edge dragged 40 px outwards in ten moves, then released.
grip_drag() {
    local wid=$1 x y h
    read -r x y _ h < <(window_box "$wid") || return 1
    xdotool mousemove "$((x + 4))" "$((y + h / 2))" mousedown 1
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove_relative -- -4 0
        sleep 0.2
    done
    xdotool mouseup 1
    xdotool mousemove 20 780
    settled_slowly "$wid"
}

# Two clicks on the grip (the card's last 20 px): the drawer closes, then opens again.
drawer_close_reopen() {
    local wid=$1 x y w h click
    for click in close open; do
        read -r x y w h < <(window_box "$wid") || return 1
        xdotool mousemove "$((x + w / 2))" "$((y + h - 10))" click 1
        xdotool mousemove 20 780
        settled_slowly "$wid" || { echo "the drawer did not $click" >&2; return 1; }
    done
}

# A countdown of one second from Return to its end, the flash and the chime.
first_chime() {
    xdotool key Return
    sleep 8
}

# What a grip drag, a drawer closed and opened again, and the first chime cost the untouched
# card: one card under callgrind, counting only while each is done.
callgrind_actions() {
    local out=$results/action pid wid
    DISPLAY=$DISPLAY_cg env $(ready_profile default "$DISPLAY_cg") valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$out" "$orvanta" >"$out.log" 2>&1 &
    pid=$!
    track "$pid"
    export DISPLAY=$DISPLAY_cg
    wid=$("$watch" wait 120 "$pid") || { echo "actions: no window under valgrind" >&2; return 1; }
    sleep "$warm_s"
    count_action "$out" drag "$pid" grip_drag "$wid" || return 1
    count_action "$out" drawer "$pid" drawer_close_reopen "$wid" || return 1
    click_timer_field "$wid" || return 1
    poll 60 has_focus "$wid" || { echo "the card did not take the keyboard" >&2; return 1; }
    xdotool key ctrl+a type 0:01
    count_action "$out" chime "$pid" first_chime || return 1
    screenshot cg-actions
    stop_pid "$pid"
}

callgrind_phase() {
    local name
    for name in "${states[@]}" "${others[@]}"; do
        echo "-- $name"
        callgrind_state "$name"
    done
    for name in default w340 notes5 longnotes first reference xclock; do
        callgrind_startup "$name"
    done
    echo "-- actions"
    callgrind_actions
}

cp /proc/loadavg "$results/loadavg-start"
echo "== desktops"
start_session main
start_session cg
echo "   main $DISPLAY_main, callgrind $DISPLAY_cg"
DISPLAY=$DISPLAY_main xdotool mousemove 20 780
DISPLAY=$DISPLAY_cg xdotool mousemove 20 780

echo "== idle baseline on $DISPLAY_main (no client), instruction counts on $DISPLAY_cg"
baseline=$results/baseline.kv
snapshot "$baseline" start_ main
callgrind_phase >"$results/callgrind-phase.log" 2>&1 &
cg_pid=$!
track "$cg_pid"
if ! wait "$cg_pid"; then
    cat "$results/callgrind-phase.log" >&2
    echo "the instruction counts failed" >&2
    exit 1
fi
snapshot "$baseline" end_ main
cp /proc/loadavg "$results/loadavg-callgrind"
for pid_var in XVFB_cg OPENBOX_cg PICOM_cg; do
    stop_pid "${!pid_var}"
done

export DISPLAY=$DISPLAY_main

echo "== start-up, $startups round(s)"
declare -A startup_profile
for name in default xclock reference; do
    startup_profile[$name]=$(ready_profile "$name" "$DISPLAY")
done
for ((round = 1; round <= startups; round++)); do
    for name in default xclock reference; do
        ms=$(env ${startup_profile[$name]} "$watch" first-frame -- $(command_for "$name"))
        echo "$name $ms" >>"$results/startup"
        sleep 0.3
    done
done
cat "$results/startup"

# memory KV PID: the memory figures of a settled program.
memory() {
    local kv=$1 pid=$2
    {
        grep -E '^(Rss|Pss|Private_Clean|Private_Dirty):' "/proc/$pid/smaps_rollup" |
            awk '{print tolower($1) "_kb", $2}' | tr -d :
        # PSS splits each library page among the processes mapping it, so it changes with
        # what else runs on the machine: note how many other processes share the toolkit right
        # now, and count the PSS again as if only this desktop ran.
        echo "qt_sharers $(grep -l 'libQt6Core\.so' /proc/[0-9]*/maps 2>/dev/null | grep -vc "^/proc/$pid/")"
        echo "desktop_pss_kb $(python3 bench/desktop-pss.py "$pid" "$XVFB_main" "$OPENBOX_main" "$PICOM_main")"
    } >>"$kv"
}

# measure ROW PID WINDOW SECONDS: CPU, wake-ups and drawings of one row.
measure() {
    local row=$1 pid=$2 wid=$3 seconds=$4
    snapshot "$results/run-$row.kv" start_ main "$pid"
    "$watch" record "$seconds" "$wid" >"$results/damage-$row.txt"
    snapshot "$results/run-$row.kv" end_ main "$pid"
}

echo "== each state: memory after ${settle_s} s, then the idle measurement"
for name in "${others[@]}" "${states[@]}"; do
    profile=$(ready_profile "$name" "$DISPLAY")
    started=$(now)
    env $profile $(command_for "$name") >"$results/run-$name.log" 2>&1 &
    pid=$!
    track "$pid"
    wid=$("$watch" wait 20 "$pid") || { echo "$name: no window" >&2; exit 1; }
    sleep_until "$(python3 -c "print($started + $settle_s)")"
    drive_state "$name" "$wid" "$pid" 10 || { echo "$name: the state could not be set" >&2; exit 1; }
    screenshot "$name"
    if [[ $name == caret ]]; then
        t0=$(now)
        memory "$results/run-caret-blink.kv" "$pid"
        cp "$results/run-caret-blink.kv" "$results/run-caret-stopped.kv"
        sleep_until "$(python3 -c "print($t0 + 0.5)")"
        measure caret-blink "$pid" "$wid" "$blink_s"
        sleep_until "$(python3 -c "print($t0 + $caret_quiet_s)")"
        screenshot caret-stopped
        measure caret-stopped "$pid" "$wid" "$short_s"
    else
        memory "$results/run-$name.kv" "$pid"
        sleep 1
        case $name in
            default | xclock | reference) measure "$name" "$pid" "$wid" "$idle_s" ;;
            *) measure "$name" "$pid" "$wid" "$short_s" ;;
        esac
    fi
    stop_pid "$pid"
    echo "   $name done"
    sleep 0.5
done

cp /proc/loadavg "$results/loadavg-end"
echo "== report"
report=${ORVANTA_BENCH_REPORT:-bench/REPORT.md}
mode=full
$quick && mode=quick
before_args=()
[[ -n ${ORVANTA_BENCH_BEFORE:-} ]] && before_args=(--before "$ORVANTA_BENCH_BEFORE")
python3 bench/write-report.py "$results" "$report" --mode "$mode" --idle "$idle_s" --short "$short_s" \
    --blink "$blink_s" --settle "$settle_s" --collect "$collect_s" --blink-collect "$blink_collect_s" \
    --warm "$warm_s" --caret-quiet "$caret_quiet_s" --startups "$startups" \
    --figures "${ORVANTA_BENCH_FIGURES:-${report%.md}.json}" "${before_args[@]}"
echo "Report written to $report"

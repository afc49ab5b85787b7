#!/usr/bin/env bash
# Side-by-side benchmark: Orvanta with empty settings, `xclock -digital -update 1` and a bare
# Qt reference window (bench/reference-window.cpp), each alone on the same private X desktop
# (Xvfb, openbox, picom; all rendering in software). Writes bench/REPORT.md.
#
#   bench/run-bench.sh            the full run, about 6 minutes
#   bench/run-bench.sh --quick    a smoke run of about a minute (figures too short to trust)
#
# The build goes to build-bench/ (or $ORVANTA_BENCH_BUILD_DIR); the report to bench/REPORT.md
# (or $ORVANTA_BENCH_REPORT). The raw measurements stay in $ORVANTA_BENCH_KEEP when it is set.
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

if $quick; then
    idle_s=8        # each idle measurement
    settle_s=2      # from the start to the memory reading and the start of the idle measurement
    startups=1      # start-up runs of each program
    collect_s=2     # instruction counting under callgrind
else
    idle_s=60
    settle_s=10
    startups=5
    collect_s=10
fi

# --- packages and build ---

scripts/install-deps.sh
bench_packages=(xvfb openbox picom x11-apps x11-utils xdotool valgrind libxcb-damage0-dev python3)
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
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target orvanta reference-window damage-watch
orvanta=$build/src/app/orvanta
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

# The programs: name, WM_CLASS to find the window by, its title ("" for any), command.
programs=(orvanta orvanta-noseconds xclock reference)
declare -A class=([orvanta]=orvanta [orvanta-noseconds]=orvanta [xclock]=xclock [reference]=reference-window)
declare -A title=([orvanta]=Orvanta [orvanta-noseconds]=Orvanta [xclock]="" [reference]="")
declare -A command=([orvanta]=$orvanta [orvanta-noseconds]=$orvanta [xclock]="xclock -digital -update 1"
                    [reference]=$reference)

# profile_for NAME: a fresh profile with the settings that program variant starts from.
profile_for() {
    local env
    env=$(new_profile)
    if [[ $1 == orvanta-noseconds ]]; then
        local config=${env#*XDG_CONFIG_HOME=}
        config=${config%% *}
        mkdir -p "$config/orvanta"
        echo '{"showSeconds": false}' >"$config/orvanta/settings.json"
    fi
    echo "$env"
}

window_args() { echo "${class[$1]}${title[$1]:+ ${title[$1]}}"; }

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

# Waits until a collection of collect_s seconds (plus slack) ends before the next minute, so
# no minute change falls into it.
wait_for_quiet_minute() {
    local s
    while :; do
        s=$(date +%-S)
        ((s >= 1 && s <= 60 - collect_s - 4)) && return 0
        sleep 0.5
    done
}

callgrind_one() {
    local name=$1 pid
    local out=$results/callgrind-$name
    DISPLAY=$DISPLAY_cg env $(profile_for "$name") valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$out.out" ${command[$name]} >"$out.log" 2>&1 &
    pid=$!
    track "$pid"
    DISPLAY=$DISPLAY_cg "$watch" wait 60 $(window_args "$name") || { echo "$name: no window under valgrind" >&2; return 1; }
    sleep 2
    wait_for_quiet_minute
    callgrind_control -i on "$pid" >/dev/null
    local start
    start=$(now)
    sleep "$collect_s"
    callgrind_control --dump "$pid" >/dev/null
    echo "$name $start $(now)" >>"$results/callgrind-times"
    stop_pid "$pid"
    callgrind_annotate --inclusive=yes "$out.out.1" >"$out.inclusive.txt" 2>/dev/null || true
    callgrind_annotate "$out.out.1" >"$out.self.txt" 2>/dev/null || true
}

# Instructions from the start to the first frame with content (and the few events after it
# that run before the dump request is served).
callgrind_startup() {
    local name=$1 pid
    local out=$results/startup-$name
    DISPLAY=$DISPLAY_cg env $(profile_for "$name") valgrind --tool=callgrind \
        --callgrind-out-file="$out.out" ${command[$name]} >"$out.log" 2>&1 &
    pid=$!
    track "$pid"
    DISPLAY=$DISPLAY_cg "$watch" wait 60 $(window_args "$name") || { echo "$name: no window under valgrind" >&2; return 1; }
    callgrind_control --dump "$pid" >/dev/null
    stop_pid "$pid"
    callgrind_annotate --inclusive=yes "$out.out.1" >"$out.inclusive.txt" 2>/dev/null || true
}

callgrind_phase() {
    local name
    for name in orvanta-noseconds orvanta reference xclock; do
        callgrind_one "$name"
    done
    for name in orvanta reference xclock; do
        callgrind_startup "$name"
    done
}

cp /proc/loadavg "$results/loadavg-start"
echo "== desktops"
start_session main
start_session cg
echo "   main $DISPLAY_main, callgrind $DISPLAY_cg"

echo "== idle baseline on $DISPLAY_main (no client), instruction counts on $DISPLAY_cg"
baseline=$results/baseline.kv
snapshot "$baseline" start_ main
callgrind_phase >"$results/callgrind-phase.log" 2>&1 &
cg_pid=$!
track "$cg_pid"
sleep "$idle_s"
if ! wait "$cg_pid"; then
    cat "$results/callgrind-phase.log" >&2
    echo "the instruction counts failed" >&2
    exit 1
fi
snapshot "$baseline" end_ main
for pid_var in XVFB_cg OPENBOX_cg PICOM_cg; do
    stop_pid "${!pid_var}"
done

export DISPLAY=$DISPLAY_main

echo "== start-up, $startups round(s)"
for ((round = 1; round <= startups; round++)); do
    for name in orvanta xclock reference; do
        ms=$(env $(profile_for "$name") "$watch" first-frame $(window_args "$name") -- ${command[$name]})
        echo "$name $ms" >>"$results/startup"
        sleep 0.3
    done
done
cat "$results/startup"

echo "== memory after ${settle_s} s, then ${idle_s} s idle each"
for name in "${programs[@]}"; do
    kv=$results/run-$name.kv
    started=$(now)
    env $(profile_for "$name") ${command[$name]} >"$results/run-$name.log" 2>&1 &
    pid=$!
    track "$pid"
    "$watch" wait 20 $(window_args "$name") || { echo "$name: no window" >&2; exit 1; }
    sleep "$(python3 -c "print(max(0.0, $started + $settle_s - $(now)))")"
    grep -E '^(Rss|Pss|Private_Clean|Private_Dirty):' "/proc/$pid/smaps_rollup" |
        awk '{print tolower($1) "_kb", $2}' | tr -d : >>"$kv"
    # PSS splits each library page among the processes mapping it, so it changes with what
    # else runs on the machine: note how many other processes share the toolkit right now, and
    # count the PSS again as if only this desktop ran.
    echo "qt_sharers $(grep -l 'libQt6Core\.so' /proc/[0-9]*/maps 2>/dev/null | grep -vc "^/proc/$pid/")" >>"$kv"
    echo "desktop_pss_kb $(python3 bench/desktop-pss.py "$pid" "$XVFB_main" "$OPENBOX_main" "$PICOM_main")" >>"$kv"
    snapshot "$kv" start_ main "$pid"
    "$watch" record "$idle_s" $(window_args "$name") >"$results/damage-$name.txt"
    snapshot "$kv" end_ main "$pid"
    stop_pid "$pid"
    echo "   $name done"
    sleep 0.5
done

cp /proc/loadavg "$results/loadavg-end"
echo "== report"
report=${ORVANTA_BENCH_REPORT:-bench/REPORT.md}
mode=full
$quick && mode=quick
python3 bench/write-report.py "$results" "$report" --mode "$mode" --idle "$idle_s" --settle "$settle_s" \
    --collect "$collect_s" --startups "$startups"
echo "Report written to $report"

# shellcheck shell=bash
# The checks of an end-to-end run of the real program: counting results, starting and ending
# the program, its windows and menus, and reading what it shows from screenshots, window
# geometry and its settings file. Source it after desktop-session.sh. Pictures are read with
# ImageMagick; colours are "R G B" in 0..255.
#
#   pass TEXT / fail TEXT         one result
#   check TEXT COMMAND...         one result: whether the command succeeds (it may say why not in AC_WHY)
#   finish                        on failure the tail of each program log; the totals; exits 1 if any failed
#   ck_require WHAT TOOL...       fails and finishes unless every tool is installed
#   ck_skip_unless TOOL...        exits 77 (skipped) unless every tool is installed
#
#   ac_launch NAME                starts AC_BIN, waits for its card in the corner; sets AC_APP, AC_CARD
#   ac_quit_wait                  waits for AC_APP to end; its status in DS_EXIT_STATUS
#   ac_end_program                stops AC_APP if it still runs
#   ac_card_geometry              "x y w h" of the card; ac_height_is, ac_height_below, ac_width_is
#   ac_card_of PID                the card window of one process
#   ac_centred_in WID AREA        the window is centred in the area "x y w h", to 1 px
#   ac_has_focus WID              the window has the keyboard
#   ac_open_tray_menu / ac_open_card_menu X Y, then ac_choose N (Down N times, Return)
#   ac_click_grip GRIP            a click in the middle of the card's last GRIP rows
#   ac_layout RENDERER ARGS...    renders a state; prints the file of the boxes the renderer drew
#   ac_where LAYOUT NAME          "x y w h" of one of them; ac_centre LAYOUT NAME its centre "x y"
#   ac_snap WID FILE              the window's own pixels; ac_snap_root FILE the screen
#   ac_pixel FILE X Y             "R G B" of one pixel
#   ac_count FILE X Y W H R G B TOL      pixels of the box within TOL of the colour
#   ac_ink_box FILE X Y W H R G B TOL    "x0 y0 x1 y1" of the pixels farther than TOL from it
#   ac_color_box FILE X Y W H R G B TOL  "x0 y0 x1 y1" of the pixels within TOL of it
#   ac_ink_rows FILE X Y W H R G B TOL   one "y0 y1" line per run of rows holding such pixels
#   ac_max_level FILE X Y W H            the brightest channel value in the box
#   ac_matches_render SHOT X Y W H -- ARGS...   the box equals the card renderer's picture
#   ac_shows_now SHOT X Y W H T0 T1 -- ARGS...  it shows the time of day of a moment near T0..T1
#   ac_shows_countdown SHOT X Y W H START TOTAL -- ARGS...
#                                 it shows what is left of a countdown of TOTAL s started at START
#   ac_watch_flash SECONDS ROW DIGITS [until-over], then ac_flash_seen: the border's flash,
#                                 read fast in the background
#   ac_longest_run FILE X Y W H R G B TOL  the longest run of such pixels along one row
#   ac_setting KEY / ac_notes     values from the settings file
#   ac_start_pulse, ac_start_recording FILE, ac_stop_recording, ac_rms FILE: the chime
#   ac_start_pulse_listener, ac_pulse_asked: without a sound server, whether one was asked
#
# On a busy machine the program may be a few seconds behind: checks wait for what must happen
# (AC_SOON seconds at most), and what the face shows is compared with a few seconds of the clock.

# shellcheck disable=SC2034  # AC_SHOWN is read by the script that sources this
AC_RENDERER=${AC_RENDERER:-}
AC_BIN=${AC_BIN:-}
AC_HERE=$(dirname "${BASH_SOURCE[0]}")
AC_APP=""
AC_CARD=""
AC_WHY=""
AC_SHOWN=""
# How long a check waits for what must happen; it goes on as soon as it has.
AC_SOON=${AC_SOON:-20}
# How many seconds the clock on the face may be behind the wall clock on a busy machine.
AC_LAG=3

# --- counting the results ---

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

check() {
    local what=$1
    shift
    AC_WHY=""
    if "$@"; then pass "$what"; else fail "$what${AC_WHY:+ ($AC_WHY)}"; fi
}

finish() {
    if ((failed > 0)) && [[ -n ${DS_TMP:-} ]]; then
        local log
        for log in "$DS_TMP"/orvanta*.log; do
            [[ -s $log ]] && { echo "--- $(basename "$log"):"; tail -n 20 "$log"; }
        done
    fi
    echo "$passed passed, $failed failed"
    ((failed == 0))
    exit
}

ck_require() {
    local what=$1 tool missing=()
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    ((${#missing[@]})) && { fail "$what needs ${missing[*]}"; finish; }
}

ck_skip_unless() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# A fresh file name in the session's folder, ending in NAME.
ac_tmp() { mktemp --dry-run "$DS_TMP/ac.XXXXXXXX-$1"; }

# Keeps a picture beside the other screenshots (the session's folder goes at exit); prints its path.
ac_keep() {
    local kept
    kept=$DS_SHOT_DIR/e2e-acceptance-$(basename "$1")
    cp "$1" "$kept" 2>/dev/null && echo "$kept"
}

ac_now() { date +%s.%N; }

# Seconds between two ac_now stamps, to the millisecond.
ac_elapsed() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", b - a}'; }

# --- the program's windows ---

ac_card_geometry() { ds_geometry "$AC_CARD"; }
ac_height_is() { local gx gy gw gh; read -r gx gy gw gh < <(ac_card_geometry) && ((gh == $1)); }
ac_height_below() { local gx gy gw gh; read -r gx gy gw gh < <(ac_card_geometry) && ((gh < $1)); }
ac_width_is() { local gx gy gw gh; read -r gx gy gw gh < <(ac_card_geometry) && ((gw == $1)); }
ac_has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

ac_centred_in() {
    local x y w h ax ay aw ah
    read -r x y w h < <(ds_geometry "$1") || return 1
    read -r ax ay aw ah <<<"$2"
    local dx=$((2 * x + w - 2 * ax - aw)) dy=$((2 * y + h - 2 * ay - ah))
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2))
}

ac_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
ac_unmapped() { ! ac_viewable "$1"; }

# Mapped top-level windows of the program with exactly this title; menus (override-redirect) excluded.
ac_windows_titled() {
    local title=$1 wid info
    for wid in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
        [[ $(xdotool getwindowname "$wid" 2>/dev/null) == "$title" ]] || continue
        xprop -id "$wid" WM_CLASS 2>/dev/null | grep -qi '"orvanta"' || continue
        info=$(xwininfo -id "$wid" 2>/dev/null) || continue
        grep -q 'Override Redirect State: no' <<<"$info" && echo "$wid"
    done
}

# The card of one process (a copy that failed to quit may still show its own).
ac_card_of() {
    local wid
    for wid in $(ac_windows_titled Orvanta); do
        [[ $(xprop -id "$wid" _NET_WM_PID 2>/dev/null) == *" = $1" ]] && echo "$wid"
    done
}

ac_prefs_windows() { ac_windows_titled "Orvanta Preferences"; }
ac_prefs_count_is() { (($(ac_prefs_windows | wc -l) == $1)); }

# Every mapped window of the program, menus and the tray icon included.
ac_program_windows() {
    local wid
    for wid in $(xdotool search --onlyvisible --classname . 2>/dev/null); do
        xprop -id "$wid" WM_CLASS 2>/dev/null | grep -qi '"orvanta"' && echo "$wid"
    done
}

# The card sits with its top-right corner 24 px inside the top-right of the work area.
ac_corner() {
    local x y w h
    read -r x y w h < <(ds_workarea)
    echo "$((x + w - 24)) $((y + 24))"
}

ac_in_corner() {
    local x y w h right top
    read -r x y w h < <(ds_geometry "$1") || return 1
    read -r right top < <(ac_corner)
    ((x + w == right && y == top))
}

ac_one_card() {
    local cards
    cards=$(ac_windows_titled Orvanta)
    [[ -n $cards && $(wc -l <<<"$cards") -eq 1 ]] || return 1
    AC_CARD=$cards
}

# Starts the program in the current profile and waits until its card stands in the corner.
ac_launch() {
    ds_spawn "$1" "$AC_BIN"
    AC_APP=$DS_LAST_PID
    AC_CARD=""
    ds_poll "$DS_TIMEOUT" ac_one_card || { AC_WHY="no card window within ${DS_TIMEOUT} s"; return 1; }
    # The card may still grow once its drawer has been measured; it must end up in the corner.
    ds_poll "$DS_TIMEOUT" ac_settled || { AC_WHY="the card keeps changing its size"; return 1; }
    ds_poll "$DS_TIMEOUT" ac_in_corner "$AC_CARD" || { AC_WHY="card at $(ac_card_geometry), not in the corner"; return 1; }
}

# The card's geometry stays the same over a fifth of a second.
ac_settled() {
    local before
    before=$(ac_card_geometry)
    sleep 0.2
    [[ $(ac_card_geometry) == "$before" ]]
}

ac_quit_wait() {
    ds_wait_exit "$DS_TIMEOUT" "$AC_APP" || return 1
    AC_APP=""
}

ac_end_program() {
    [[ -n $AC_APP ]] && ds_stop_pid "$AC_APP"
    AC_APP=""
}

# --- menus ---

# Menus are the program's override-redirect windows.
ac_menus() {
    local wid
    for wid in $(ac_program_windows); do
        xwininfo -id "$wid" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$wid"
    done
}

ac_new_menu() {
    local before=$1 wid
    for wid in $(ac_menus); do
        grep -qx "$wid" <<<"$before" || return 0
    done
    return 1
}

ac_menu_closed() { ! ac_new_menu "$1"; }

AC_MENU_BEFORE=""
AC_MENU_CLOSED_AT=0

# The program's icon inside the tray panel.
ac_tray_icon() {
    local panel
    panel=$(ds_tray_window)
    [[ -n $panel ]] || return 1
    xwininfo -tree -id "$panel" 2>/dev/null | awk 'tolower($0) ~ /\("orvanta" / {print $1; exit}' | grep .
}

ac_open_tray_menu() {
    local icon x y w h rest
    ds_poll "$DS_TIMEOUT" ac_tray_icon || { AC_WHY="no tray icon"; return 1; }
    # WORKAROUND: Qt's XEmbed tray icon drops a press that comes within about half a second
    # of one of its menus closing, so a quick second click opens nothing.
    rest=$(awk -v c="$AC_MENU_CLOSED_AT" -v n="$(ac_now)" 'BEGIN {r = c + 0.8 - n; if (r > 0) printf "%.3f", r}')
    [[ -n $rest ]] && sleep "$rest"
    icon=$(ac_tray_icon)
    read -r x y w h < <(ds_geometry "$icon")
    AC_MENU_BEFORE=$(ac_menus)
    xdotool mousemove "$((x + w / 2))" "$((y + h / 2))" click 3
    ds_poll "$DS_TIMEOUT" ac_new_menu "$AC_MENU_BEFORE" || { AC_WHY="the tray menu did not open"; return 1; }
}

# A right click on the card at (X,Y) from its top-left corner: a part that is not a control.
ac_open_card_menu() {
    local x y w h
    read -r x y w h < <(ac_card_geometry)
    AC_MENU_BEFORE=$(ac_menus)
    xdotool mousemove "$((x + $1))" "$((y + $2))" click 3
    ds_poll "$DS_TIMEOUT" ac_new_menu "$AC_MENU_BEFORE" || { AC_WHY="the card's menu did not open"; return 1; }
}

# Down N times, then Return; separators are skipped by the menu itself.
ac_choose() {
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
    ds_poll "$DS_TIMEOUT" ac_menu_closed "$AC_MENU_BEFORE" || { AC_WHY="the menu did not close"; return 1; }
    AC_MENU_CLOSED_AT=$(ac_now)
}

# --- pointer ---

# The grip row is the card's last GRIP rows, whatever its height now.
ac_click_grip() {
    local gx gy gw gh
    read -r gx gy gw gh < <(ac_card_geometry)
    xdotool mousemove "$((gx + gw / 2))" "$((gy + gh - $1 / 2))" click 1
}

# Presses at (X,Y), moves in STEPS equal steps by (DX,DY), releases. Each step waits a little
# so that every motion reaches the program as its own event. With "hold" the button stays
# down: the caller releases it with `xdotool mouseup 1`.
ac_drag() {
    local x=$1 y=$2 dx=$3 dy=$4 steps=${5:-10} i
    xdotool mousemove "$x" "$y" mousedown 1
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove "$((x + dx * i / steps))" "$((y + dy * i / steps))"
        sleep 0.03
    done
    [[ ${6:-} == hold ]] || xdotool mouseup 1
}

# --- where things are ---

# Renders a state with RENDERER ARGS... and prints the file in which the renderer listed the
# boxes it drew, one "name x y w h" line each, in the picture's pixels.
ac_layout() {
    local renderer=$1 file
    shift
    file=$(ac_tmp layout.txt)
    QT_QPA_PLATFORM=offscreen "$renderer" -o "$file.png" --layout "$file" "$@" >/dev/null 2>&1 && [[ -s $file ]] || return 1
    rm -f "$file.png"
    echo "$file"
}

# Fails when the layout has no such box.
ac_where() { awk -v n="$2" '$1 == n {print $2, $3, $4, $5; found = 1; exit} END {exit !found}' "$1"; }
ac_centre() { ac_where "$@" | awk '{print $1 + int($3 / 2), $2 + int($4 / 2)}'; }

# --- pictures ---

ac_snap() { import -window "$1" "$2" 2>/dev/null; }
ac_snap_root() { import -window root "$1" 2>/dev/null; }

# "x y r g b" per pixel of the box, in the picture's coordinates, channels scaled to 0..255.
ac_pixels() {
    local file=$1 x=$2 y=$3 w=$4 h=$5
    convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- 2>/dev/null |
        awk -F'[,:() ]+' -v ox="$x" -v oy="$y" 'NR > 1 {print $1 + ox, $2 + oy, $3, $4, $5}'
}

ac_pixel() { ac_pixels "$1" "$2" "$3" 1 1 | awk '{print $3, $4, $5}'; }

# True when the two colours differ by at most TOL in every channel.
ac_near() {
    local -a a b
    local tol=${3:-6} i d
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    for i in 0 1 2; do
        d=$((a[i] - b[i]))
        ((d < 0)) && d=$((-d))
        ((d <= tol)) || return 1
    done
}

ac_count() {
    ac_pixels "$1" "$2" "$3" "$4" "$5" |
        awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" '
            function abs(v) { return v < 0 ? -v : v }
            abs($3 - r) <= t && abs($4 - g) <= t && abs($5 - b) <= t {n++}
            END {print n + 0}'
}

# The bounding box of the pixels within TOL of the colour (NEAR 1) or farther from it (NEAR 0).
ac_box() {
    ac_pixels "$1" "$2" "$3" "$4" "$5" |
        awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" -v near="${10}" '
            function abs(v) { return v < 0 ? -v : v }
            (abs($3 - r) <= t && abs($4 - g) <= t && abs($5 - b) <= t) == near {
                if (!n++) {x0 = x1 = $1; y0 = y1 = $2}
                if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1
                if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2
            }
            END {if (n) print x0, y0, x1, y1; else exit 1}'
}

ac_ink_box() { ac_box "$@" 0; }
ac_color_box() { ac_box "$@" 1; }

ac_ink_rows() {
    ac_pixels "$1" "$2" "$3" "$4" "$5" |
        awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" '
            function abs(v) { return v < 0 ? -v : v }
            abs($3 - r) > t || abs($4 - g) > t || abs($5 - b) > t {ink[$2] = 1}
            END {
                for (y in ink) ys[++n] = y + 0
                # insertion sort: a handful of rows
                for (i = 2; i <= n; i++) { v = ys[i]; for (j = i - 1; j >= 1 && ys[j] > v; j--) ys[j + 1] = ys[j]; ys[j + 1] = v }
                for (i = 1; i <= n; i++) {
                    if (i == 1 || ys[i] != ys[i - 1] + 1) { if (i > 1) print start, ys[i - 1]; start = ys[i] }
                }
                if (n) print start, ys[n]
            }'
}

ac_max_level() {
    ac_pixels "$1" "$2" "$3" "$4" "$5" |
        awk '{for (i = 3; i <= 5; i++) if ($i > m) m = $i} END {print m + 0}'
}

# The longest horizontal run, on one row of the box, of pixels farther than TOL from the colour.
ac_longest_run() {
    ac_pixels "$1" "$2" "$3" "$4" "$5" |
        awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" '
            function abs(v) { return v < 0 ? -v : v }
            {
                hit = abs($3 - r) > t || abs($4 - g) > t || abs($5 - b) > t
                if ($2 != row) {row = $2; run = 0}
                run = hit ? run + 1 : 0
                if (run > best) best = run
            }
            END {print best + 0}'
}

# Renders the card with the given renderer options and compares the box with the screenshot.
# The window's transparent corners read as black, so the picture is laid on black too.
ac_render_diff() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5
    shift 6
    local picture live drawn
    picture=$(ac_tmp render.png) live=$(ac_tmp live.png) drawn=$(ac_tmp drawn.png)
    QT_QPA_PLATFORM=offscreen "$AC_RENDERER" -o "$picture" "$@" >/dev/null 2>&1 || { echo 999999; return; }
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$live"
    convert "$picture" -background black -flatten -crop "${w}x${h}+${x}+${y}" +repage "$drawn"
    compare -metric AE -fuzz 2% "$live" "$drawn" null: 2>&1 | awk '{print int($1)}'
    rm -f "$picture" "$live" "$drawn"
}

ac_matches_render() { (($(ac_render_diff "$@") <= 3)); }

# The local time of a Unix second in the form the renderer takes.
ac_local_time() { date -d "@$1" +%Y-%m-%dT%H:%M:%S; }

# True when the box shows the time of day of one of the seconds from T0 - AC_LAG to T1 (the
# Unix seconds before and after the picture was taken; the face may be a little behind on a busy
# machine); extra renderer options follow "--". Sets AC_SHOWN to the matching time, the newest
# one tried first.
ac_shows_now() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5 from=$(($6 - AC_LAG)) to=$7 s
    shift 8
    AC_SHOWN=""
    for ((s = to; s >= from; s--)); do
        if ac_matches_render "$shot" "$x" "$y" "$w" "$h" -- --time "$(ac_local_time "$s")" "$@"; then
            AC_SHOWN=$(ac_local_time "$s")
            return 0
        fi
    done
    return 1
}

# True when the box, photographed just now, shows what may be left of a countdown of TOTAL
# seconds started after START (an ac_now stamp taken before the start was asked for): not less
# than TOTAL less the time since START, nor more than TOTAL + 1 (until its first tick the model
# counts from its last one). Sets AC_SHOWN to the seconds shown. Each comparison renders a
# picture, which takes a while on a busy machine: the likeliest values come first, what is left
# now, then a little more (the face may be behind), and a second less.
ac_shows_countdown() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5 start=$6 total=$7 n candidates
    shift 8
    AC_SHOWN=""
    read -r -a candidates < <(awk -v s="$start" -v n="$(ac_now)" -v t="$total" 'BEGIN {
        e = int(t - (n - s)); if (e < 0) e = 0
        printf "%d ", e; if (e > 0) printf "%d ", e - 1
        for (i = e + 1; i <= t + 1; i++) printf "%d ", i
        print ""
    }')
    for n in "${candidates[@]}"; do
        if ac_matches_render "$shot" "$x" "$y" "$w" "$h" -- --countdown "$n" --time "$(ac_local_time "$(date +%s)")" "$@"; then
            AC_SHOWN=$n
            return 0
        fi
    done
    return 1
}

# Watches the card's left border on row ROW for SECONDS, or with "until-over" only until the
# border is back after a flash, through flash-watch.py in the background; returns once the
# watcher reads the border, so what follows is watched. ac_flash_seen waits for its end.
ac_watch_flash() {
    local seconds=$1 row=$2 digits=$3 options=()
    [[ ${4:-} == until-over ]] && options=(--until-over)
    AC_FLASH_LOG=$(ac_tmp flash.txt)
    python3 "$AC_HERE/flash-watch.py" "$AC_CARD" "$seconds" "$row" "$digits" "${options[@]}" >"$AC_FLASH_LOG" 2>&1 &
    AC_FLASH_WATCHER=$!
    ds_poll "$DS_TIMEOUT" grep -q '^watching' "$AC_FLASH_LOG"
}

# Waits for the watcher and reads what it saw. Sets AC_FLASH to "ON OFF": the first and last
# moment the border flashed, in seconds after the watch began (empty when it never did), AC_FLASH_DIGITS
# to the accent pixels in the box DIGITS ("x y w h") at the first, AC_FLASH_OVER to "over" once
# the border was normal again after it, and AC_BORDER_OTHER to a border that was neither
# flashing nor normal. True when it flashed.
ac_flash_seen() {
    local result on off
    AC_FLASH="" AC_FLASH_DIGITS="" AC_FLASH_OVER="" AC_BORDER_OTHER=""
    wait "$AC_FLASH_WATCHER"
    result=$(tail -n 1 "$AC_FLASH_LOG")
    case $result in
    flash\ *) read -r _ on off AC_FLASH_DIGITS AC_FLASH_OVER <<<"$result" && AC_FLASH="$on $off" ;;
    none\ -) ;;
    none\ *) AC_BORDER_OTHER=${result#none } ;;
    *) AC_BORDER_OTHER="flash-watch.py: $result" ;;
    esac
    [[ -n $AC_FLASH ]]
}

# --- the settings file ---

ac_settings_file() { echo "$XDG_CONFIG_HOME/orvanta/settings.json"; }

# One setting as JSON text ("true", "340", "\"dark\""); nothing when it is not stored.
ac_setting() {
    python3 - "$(ac_settings_file)" "$1" <<'EOF' 2>/dev/null
import json, sys
try:
    value = json.load(open(sys.argv[1]))[sys.argv[2]]
except (OSError, ValueError, KeyError):
    sys.exit(0)
print(json.dumps(value))
EOF
}

# The stored notes, one "done<TAB>text" line each, in their stored order.
ac_notes() {
    python3 - "$(ac_settings_file)" <<'EOF' 2>/dev/null
import base64, json, sys
try:
    stored = json.load(open(sys.argv[1]))["notes"]["base64"]
except (OSError, ValueError, KeyError, TypeError):
    sys.exit(0)
for note in json.loads(base64.b64decode(stored)):
    print("%s\t%s" % ("done" if note["done"] else "open", note["text"]))
EOF
}

# --- sound ---

AC_PULSE=""
AC_RECORDER=""
AC_FAKE_PULSE=""

ac_pulse_up() { pactl info >/dev/null 2>&1; }

# A PulseAudio server with one null sink in the current runtime folder.
ac_start_pulse() {
    command -v pulseaudio >/dev/null && command -v parec >/dev/null && command -v sox >/dev/null || return 1
    ds_spawn pulse pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
        --load="module-null-sink sink_name=nul" --load="module-native-protocol-unix auth-anonymous=1"
    AC_PULSE=$DS_LAST_PID
    ds_poll "$DS_TIMEOUT" ac_pulse_up
}

# Without a sound server: a listener where the program looks for one (the runtime folder's
# pulse/native), which logs each connection, to see that the program asks for the chime.
ac_start_pulse_listener() {
    mkdir -p "$XDG_RUNTIME_DIR/pulse"
    AC_FAKE_PULSE=$DS_TMP/pulse-listener.log
    ds_spawn pulse-listener python3 -u -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(8)
while True:
    client, _ = server.accept()
    print("connection", flush=True)
    client.close()' "$XDG_RUNTIME_DIR/pulse/native"
    AC_PULSE=$DS_LAST_PID
    ds_poll "$DS_TIMEOUT" test -S "$XDG_RUNTIME_DIR/pulse/native"
}

ac_pulse_requests() { grep -c connection "$AC_FAKE_PULSE"; }
ac_pulse_asked() { (($(ac_pulse_requests) > $1)); }

ac_stop_pulse() {
    [[ -n $AC_RECORDER ]] && ds_stop_pid "$AC_RECORDER"
    [[ -n $AC_PULSE ]] && ds_stop_pid "$AC_PULSE"
    AC_RECORDER="" AC_PULSE="" AC_FAKE_PULSE=""
}

# Records what reaches the null sink into FILE until ac_stop_recording.
ac_start_recording() {
    ds_spawn parec parec --latency-msec=20 -d nul.monitor --file-format=wav "$1"
    AC_RECORDER=$DS_LAST_PID
}

ac_stop_recording() {
    [[ -n $AC_RECORDER ]] && ds_stop_pid "$AC_RECORDER"
    AC_RECORDER=""
}

# The RMS amplitude of a recording (0 for silence).
ac_rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }

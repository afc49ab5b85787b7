#!/usr/bin/env bash
# Acceptance run of the real program on a private X desktop (Xvfb, openbox, picom, trayer):
# every user-visible behaviour driven with the pointer and the keyboard through xdotool, and
# observed through screenshots, window geometry and the files the program writes. Each case
# starts the program with its own empty settings folder.
#
#   tst_acceptance.sh PATH_TO_ORVANTA [PATH_TO_ORVANTA_RENDER_CARD [PATH_TO_ORVANTA_RENDER_PREFERENCES]]
#
# What the clock face shows is compared with the card renderer's picture of the same state,
# and where things are (the digits, a field, a switch) is read from the layout the renderers
# report for that state; the renderers default to tools/orvanta-render-card and
# tools/orvanta-render-preferences of the program's build folder.
# Exits 77 (skipped) when Xvfb or xdotool is missing, non-zero when any check fails.
# A box "x y w h", a point "x y" or a colour "R G B" is handed on as its numbers, unquoted.
# shellcheck disable=SC2046,SC2086,SC2317  # predicates run through ds_poll and check
set -u
# Each case's sound server is its own, found in its own runtime folder.
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_COOKIE

bin=${1:?usage: tst_acceptance.sh PATH_TO_ORVANTA [PATH_TO_ORVANTA_RENDER_CARD [PATH_TO_ORVANTA_RENDER_PREFERENCES]]}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool

AC_BIN=$bin
AC_RENDERER=${2:-$(dirname "$bin")/../../tools/orvanta-render-card}
PREFS_RENDERER=${3:-$(dirname "$AC_RENDERER")/orvanta-render-preferences}

# What the program is doing when it did not do what was asked: its state and the screen.
diagnose() {
    local shot
    shot=$(ac_tmp screen.png)
    ac_snap_root "$shot"
    echo "    process ${AC_APP:-none}: $( [[ -n $AC_APP ]] && ps -o stat=,wchan:32= -p "$AC_APP" 2>/dev/null || echo gone)"
    echo "    menus open: $(ac_menus | tr '\n' ' '); screen: $(ac_keep "$shot")"
}

# Chooses entry N of a menu opened by OPENER and expects the program to end cleanly.
#   quit_from_menu "the card's menu" open_card_menu 2
quit_from_menu() {
    local where=$1 opener=$2 entry=$3
    if "$opener" && ac_choose "$entry" && ac_quit_wait; then
        if ((DS_EXIT_STATUS == 0)); then pass "\"Quit Orvanta\" in $where ends the program"; else fail "\"Quit Orvanta\" in $where: exit status $DS_EXIT_STATUS"; fi
    else
        fail "\"Quit Orvanta\" from $where did not end the program ${AC_WHY}"
        diagnose
        ac_end_program
    fi
}

ck_require "the acceptance run" openbox picom trayer xprop xwininfo xdpyinfo import convert compare python3
[[ -x $bin ]] || { fail "no program at $bin"; finish; }
[[ -x $AC_RENDERER ]] || { fail "no card renderer at $AC_RENDERER"; finish; }
[[ -x $PREFS_RENDERER ]] || { fail "no preferences renderer at $PREFS_RENDERER"; finish; }

# A time zone in which it is early afternoon, so the 12-hour clock shows a one-digit hour
# with PM lit and the 24-hour clock a two-digit hour.
offset=$((13 - $(date -u +%-H)))
if ((offset > 0)); then zone=Etc/GMT-$offset; elif ((offset < 0)); then zone=Etc/GMT+$((-offset)); else zone=Etc/GMT; fi
[[ -e /usr/share/zoneinfo/$zone ]] && export TZ=$zone

ds_start || { fail "the private desktop did not start"; finish; }
# The checks are an American English user's: the clock writes AM/PM until told otherwise.
ds_locale en_US
export LANG=en_US.UTF-8 LC_ALL='' LANGUAGE=''

# --- the card ---
#
# Where the card's parts are comes from the card renderer's layout of the same state, read
# by card_state for the card's width and settings: CARD for the card as it starts (clock,
# open drawer), RUNNING for a running countdown with the drawer closed, and NOTES in the
# notes case. Positions are from the card's top-left corner; GRIP is the grip row's height.
# The clock face fills the top F rows and the notes pane starts under the second divider,
# DIV2; both are found on the card itself and must be where the renderer draws them.

readonly surface_dark="10 10 10" digits_dark="232 232 232" accent_orange="245 140 33"
CARD="" RUNNING="" NOTES="" GRIP=0

# True when the layout has every named box; says which are missing in AC_WHY.
layout_has() {
    local layout=$1 name absent=""
    shift
    for name in "$@"; do ac_where "$layout" "$name" >/dev/null || absent+=" $name"; done
    [[ -z $absent ]] || { AC_WHY="the renderer reports no${absent}"; return 1; }
}

# A point of bare surface: between the resize edge and the digits, level with their middle.
face_margin() {
    local ex ew dx dy dh
    read -r ex _ ew _ < <(ac_where "$CARD" edge)
    read -r dx dy _ dh < <(ac_where "$CARD" digits)
    echo "$(((ex + ew + dx) / 2)) $((dy + dh / 2))"
}

# The first row under the notes field, where the note rows begin.
rows_top() { ac_where "$CARD" notes-field | awk '{print $2 + $4}'; }

probe_dividers() {
    local shot=$1 h=$2 mx my r g b
    # Halfway between the card's left edge and the drawer's fields, from the digits' middle
    # row down to the grip row, only the surface and the two dividers show.
    mx=$(($(ac_where "$CARD" timer-field | awk '{print $1}') / 2))
    read -r _ my < <(face_margin)
    read -r r g b < <(ac_pixel "$shot" "$mx" "$my")
    mapfile -t AC_DIVIDERS < <(ac_ink_rows "$shot" "$mx" "$my" 1 "$((h - GRIP - my))" "$r" "$g" "$b" 8)
    F=${AC_DIVIDERS[0]%% *}
    DIV2=${AC_DIVIDERS[1]%% *}
    [[ -n $F && -n $DIV2 ]]
}

# Reads the card's geometry and its dividers into x y w h F DIV2, and the renderer's layouts
# of the card at its width, with the renderer options given for its settings.
card_state() {
    local shot want1 want2
    shot=$(ac_tmp state.png)
    read -r x y w h < <(ac_card_geometry)
    { CARD=$(ac_layout "$AC_RENDERER" --width "$w" "$@") && RUNNING=$(ac_layout "$AC_RENDERER" --width "$w" --countdown 3 --closed "$@"); } ||
        { AC_WHY="the card renderer wrote no layout"; return 1; }
    layout_has "$CARD" face digits edge divider1 divider2 timer-field timer-text notes-field notes-text grip || return 1
    layout_has "$RUNNING" digits cancel || return 1
    GRIP=$(ac_where "$CARD" grip | awk '{print $4}')
    ac_snap "$AC_CARD" "$shot"
    probe_dividers "$shot" "$h" || { AC_WHY="no drawer dividers on the card"; return 1; }
    want1=$(ac_where "$CARD" divider1 | awk '{print $2}') want2=$(ac_where "$CARD" divider2 | awk '{print $2}')
    ((F == want1 && DIV2 == want2)) || { AC_WHY="dividers at rows $F and $DIV2, the renderer draws them at $want1 and $want2"; return 1; }
}

geometry_is() { [[ $(ac_card_geometry) == "$1" ]]; }
# The card stands (DX,DY) from (X,Y), give or take 3 px.
moved_by() {
    local gx gy gw gh
    read -r gx gy gw gh < <(ac_card_geometry)
    ((gx - $1 - $3 >= -3 && gx - $1 - $3 <= 3 && gy - $2 - $4 >= -3 && gy - $2 - $4 <= 3))
}

click_at() { xdotool mousemove "$1" "$2" click 1; }
# A click on the middle of a box of the layout (CARD unless given), on the card at (x,y).
click_box() { local cx cy; read -r cx cy < <(ac_centre "${2:-$CARD}" "$1"); click_at "$((x + cx))" "$((y + cy))"; }
click_grip() { ac_click_grip "$GRIP"; }
open_card_menu() { ac_open_card_menu $(face_margin); }

# How wide the text in the timer field is, in the digits colour: 0 or 1..2 for the caret of an
# empty field (a centred field hides its placeholder while it has the keyboard, and the
# placeholder is dim anyway), tens of pixels for typed text.
timer_field_text_width() {
    local shot=$DS_TMP/timer-field.png box
    ac_snap "$AC_CARD" "$shot"
    box=$(ac_color_box "$shot" $(ac_where "$CARD" timer-text) $digits_dark 50) || { echo 0; return; }
    awk '{print $3 - $1 + 1}' <<<"$box"
}
timer_field_empty() { (($(timer_field_text_width) <= 3)); }
timer_field_filled() { (($(timer_field_text_width) >= 12)); }

# Accent pixels where the digits of the given layout are drawn.
digits_accent() {
    local shot
    shot=$(ac_tmp digits.png)
    ac_snap "$AC_CARD" "$shot"
    ac_count "$shot" $(ac_where "$1" digits) $accent_orange 40
}
# A countdown's digits, or none where the time of day is drawn.
accent_in_digits() { (($(digits_accent "$RUNNING") > 100)); }
no_accent_in_digits() { ! (($(digits_accent "$CARD") > 100)); }

# The face (rows 0..F-1 of the card) against the renderer's time of day now.
face_shows_now() {
    local shot=$DS_TMP/face.png t0 t1
    t0=$(date +%s)
    ac_snap "$AC_CARD" "$shot"
    t1=$(date +%s)
    ac_shows_now "$shot" 0 0 "$w" "$1" "$t0" "$t1" -- "${@:2}" ||
        AC_WHY="the face matches no time of day from $(ac_local_time $((t0 - AC_LAG))) to $(ac_local_time "$t1"); picture $(ac_keep "$shot")"
}

# The face shows a later time of day than FIRST.
face_advanced_from() { face_shows_now "$2" && [[ $AC_SHOWN > $1 ]]; }

# The card's top ROWS rows against the renderer's countdown of TOTAL seconds started after
# START (an ac_now stamp); the picture stays in $DS_TMP/countdown.png.
face_counts_down() {
    local start=$1 total=$2 rows=$3 shot=$DS_TMP/countdown.png
    shift 3
    ac_snap "$AC_CARD" "$shot"
    ac_shows_countdown "$shot" 0 0 "$w" "$rows" "$start" "$total" -- "$@"
}

# ---------------------------------------------------------------------------------------------
case_first_start() {
    echo "== first start with no settings"
    ds_new_profile
    check "the program starts and its card appears in the corner" ac_launch orvanta-first || return
    local x y w h F DIV2 right top shot t0 t1 first hour lit dim ready=""
    card_state && ready=yes
    read -r right top < <(ac_corner)
    if ((w == 220 && x + w == right && y == top)); then
        pass "the card is 220 px wide, its top-right corner 24 px inside the work area ($right,$top)"
    else
        fail "card ${w}x${h}+${x}+${y}, expected width 220 with its top-right corner at ($right,$top)"
    fi
    if [[ -n $ready ]] && ((h == $(ac_where "$CARD" card | awk '{print $4}'))); then
        pass "the drawer is open: dividers at rows $F and $DIV2, ${h} px high, as the renderer lays out the open card"
    else
        fail "the drawer is not open: card ${h} px high, dividers at '${AC_DIVIDERS[*]}'${AC_WHY:+ ($AC_WHY)}"
        return
    fi
    if [[ ! -e $(ac_settings_file) ]]; then pass "nothing is written at start-up"; else fail "settings written at start-up: $(cat "$(ac_settings_file)")"; fi

    shot=$(ac_tmp first.png)
    t0=$(date +%s)
    ac_snap "$AC_CARD" "$shot"
    t1=$(date +%s)
    local color
    color=$(ac_pixel "$shot" $(face_margin))
    if ac_near "$color" "$surface_dark" 2; then pass "dark theme: the card's surface is $color"; else fail "the card's surface is $color, expected $surface_dark"; fi

    hour=$(date +%-H)
    if ((hour >= 12)); then lit=pm dim=am; else lit=am dim=pm; fi
    local lit_count=0 dim_count=0 dim_ink=0
    if layout_has "$CARD" am pm; then
        lit_count=$(ac_count "$shot" $(ac_where "$CARD" $lit) $accent_orange 40)
        dim_count=$(ac_count "$shot" $(ac_where "$CARD" $dim) $accent_orange 40)
        dim_ink=$(ac_count "$shot" $(ac_where "$CARD" $dim) 90 90 90 30)
    fi
    if ((lit_count > 15 && dim_count == 0 && dim_ink > 10)); then
        pass "12-hour clock: the AM/PM column shows $( ((hour >= 12)) && echo PM || echo AM) in the orange accent and the other in grey"
    else
        fail "AM/PM column at hour $hour: $lit_count accent pixels on the lit label, $dim_count on the other, $dim_ink grey${AC_WHY:+ ($AC_WHY)}"
    fi

    if ac_shows_now "$shot" 0 0 "$w" "$F" "$t0" "$t1" --; then
        first=$AC_SHOWN
        pass "the face shows the real time $first (h:mm:ss, AM/PM, date), as the card renderer draws it"
    else
        fail "the face matches no time from $(ac_local_time $((t0 - AC_LAG))) to $(ac_local_time "$t1") (picture $(ac_keep "$shot"))"
        return
    fi
    if ds_poll "$AC_SOON" face_advanced_from "$first" "$F"; then
        pass "the digits advance: $first, then $AC_SHOWN"
    else
        fail "the digits did not advance from $first within $AC_SOON s (shown '${AC_SHOWN}')"
    fi
}

# ---------------------------------------------------------------------------------------------
# Types a duration into the timer field and presses Return; COUNTDOWN_START is an ac_now stamp
# taken before, so the countdown began after it. With more arguments (SECONDS ROW DIGITS
# [until-over]) the card's border is watched from before Return on, by ac_watch_flash.
start_countdown() {
    click_box timer-field
    xdotool key ctrl+a type "$1"
    (($# > 1)) && ac_watch_flash "${@:2}"
    COUNTDOWN_START=$(ac_now)
    xdotool key Return
}

# The chime of the countdown that ended: heard on the null sink ("server"), or asked for from
# the listener in its place ("listener"); REQUESTS is how many requests came before.
check_chime() {
    local sound=$1 recording=$2 rms
    case $sound in
    server)
        # The chime follows the flash at once and lasts under a second.
        sleep 1
        ac_stop_recording
        rms=$(ac_rms "$recording")
        if awk -v r="${rms:-0}" 'BEGIN {exit !(r > 0.001)}'; then pass "the chime reached the sound server (RMS amplitude $rms)"; else fail "nothing reached the sound server's null sink (RMS amplitude '${rms}')"; fi
        ;;
    listener)
        if ds_poll "$AC_SOON" ac_pulse_asked 0; then pass "the program asked the sound server for the chime"; else fail "the program never asked the sound server for the chime"; fi
        ;;
    *) fail "neither a sound server nor a listener could be started for the chime" ;;
    esac
}

case_countdown() {
    echo "== one countdown from end to end, and one cancelled"
    ds_new_profile
    # The chime is heard on a PulseAudio null sink; without PulseAudio, a listener in the
    # server's place shows that the program asked for it.
    local sound=""
    if ac_start_pulse; then
        sound=server
    else
        ac_stop_pulse
        ac_start_pulse_listener && sound=listener
        echo "  note: no PulseAudio server could be started; checking only that the program asks for the chime"
    fi
    check "the program starts" ac_launch orvanta-countdown || return
    local x y w h F DIV2 closed shot recording on off mid digits requests=0
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    closed=$((F + GRIP)) mid=$(((F + GRIP) / 2)) digits=$(ac_where "$CARD" digits)

    # A countdown of 3 s to its end. How long the flash lasts is the widget tests' business
    # (on a fake clock); here it must come after the countdown's end, show, and go again.
    recording=$(ac_tmp chime.wav)
    [[ $sound == server ]] && ac_start_recording "$recording"
    start_countdown 0:03 30 "$mid" "$digits" until-over
    if ds_poll "$AC_SOON" ac_height_is "$closed"; then pass "Return in the timer field closes the drawer (card ${closed} px high)"; else fail "the drawer did not close after Return: $(ac_card_geometry)"; fi
    if ac_flash_seen; then
        read -r on off <<<"$AC_FLASH"
        if awk -v a="$on" 'BEGIN {exit !(a >= 2.5)}'; then pass "the border turns to the accent colour, 2 px wide, when the countdown ends (${on} s after the watch began, just before Return)"; else fail "the flash began ${on} s after a 3-second countdown started"; fi
        if [[ $AC_FLASH_OVER == over ]]; then
            pass "the flash ends (last seen at ${off} s) and the border returns to 1 px"
        else
            fail "the border still flashed at ${off} s, the end of the watch"
        fi
        if ((AC_FLASH_DIGITS == 0)); then pass "while the border flashes the digits already show the time of day"; else fail "$AC_FLASH_DIGITS accent pixels in the digits while the border flashes"; fi
    else
        fail "no accent border within 30 s of a 3-second countdown${AC_BORDER_OTHER:+ (border seen as $AC_BORDER_OTHER)}"
    fi
    check "after the countdown the face shows the time of day" ds_poll "$AC_SOON" face_shows_now "$F" --closed
    check_chime "$sound" "$recording"
    [[ $sound == listener ]] && requests=$(ac_pulse_requests)

    # A countdown of a minute, time enough to look at it on a busy machine and cancel it: it ends
    # with no flash and no chime. (Looking at a countdown of 30 s took longer than that at a load
    # of 20, and it ended by itself.)
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$h" || fail "the grip did not open the drawer again"
    recording=$(ac_tmp cancelled.wav)
    [[ $sound == server ]] && ac_start_recording "$recording"
    # Watched until well past the moment it would have ended.
    start_countdown 1:00 75 "$mid" "$digits"
    ds_poll "$AC_SOON" ac_height_is "$closed" || fail "the drawer did not close for a countdown of 60 s"
    if ds_poll "$AC_SOON" face_counts_down "$COUNTDOWN_START" 60 "$closed" --closed; then
        pass "the face counts down in the accent colour with its cancel button: $AC_SHOWN s left, as the renderer draws it"
    else
        fail "the face shows no countdown from 60 s (picture $(ac_keep "$DS_TMP/countdown.png"))"
    fi
    shot=$(ac_tmp running.png)
    ac_snap "$AC_CARD" "$shot"
    local accent cancel_ink
    accent=$(ac_count "$shot" $(ac_where "$RUNNING" digits) $accent_orange 40)
    cancel_ink=$(ac_count "$shot" $(ac_where "$RUNNING" cancel) 200 200 200 60)
    if ((accent > 100 && cancel_ink > 4)); then pass "countdown digits: $accent accent pixels; the cancel button's cross shows"; else fail "countdown: $accent accent pixels in the digits, $cancel_ink cross pixels in the cancel button (picture $(ac_keep "$shot"))"; fi
    click_box cancel "$RUNNING"
    local cancelled_at
    cancelled_at=$(ac_elapsed "$COUNTDOWN_START" "$(ac_now)")
    awk -v c="$cancelled_at" 'BEGIN {exit !(c < 55)}' || fail "the cancel button was pressed only ${cancelled_at} s after the start"
    if ds_poll "$AC_SOON" no_accent_in_digits; then
        check "the cancel button stops the countdown: the face shows the time of day without the button" ds_poll "$AC_SOON" face_shows_now "$F" --closed
    else
        fail "the cancel button did not stop the countdown"
    fi
    if ! ac_flash_seen; then pass "a cancelled countdown ends with no flash"; else fail "a cancelled countdown flashed at $AC_FLASH s"; fi
    local rms
    case $sound in
    server)
        ac_stop_recording
        rms=$(ac_rms "$recording")
        if awk -v r="${rms:-1}" 'BEGIN {exit !(r < 0.0001)}'; then pass "and no chime"; else fail "a cancelled countdown played a sound (RMS amplitude '$rms')"; fi
        ;;
    listener)
        if ! ac_pulse_asked "$requests"; then pass "and no chime is asked for"; else fail "a cancelled countdown asked for a sound"; fi
        ;;
    esac
}

# ---------------------------------------------------------------------------------------------
case_drawer() {
    echo "== the drawer and its grip"
    ds_new_profile
    check "the program starts" ac_launch orvanta-drawer || return
    local x y w h F DIV2 open closed drawer d
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    open=$h closed=$((F + GRIP)) drawer=$((h - F - GRIP))
    click_grip
    if ds_poll "$AC_SOON" geometry_is "$x $y $w $closed"; then pass "a click on the grip closes the drawer: top and right edges stay, ${open} -> ${closed} px"; else fail "after a click on the grip: $(ac_card_geometry), expected $x $y $w $closed"; fi
    click_grip
    if ds_poll "$AC_SOON" geometry_is "$x $y $w $open"; then pass "a second click opens it again, growing downward to ${open} px"; else fail "after a second click: $(ac_card_geometry), expected $x $y $w $open"; fi
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$closed" || fail "the grip did not close the drawer for the drags"

    # Dragging down from closed: the drawer follows the pointer, then settles by the half rule.
    d=$((drawer / 2 + 20))
    xdotool mousemove "$((x + w / 2))" "$((y + closed - GRIP / 2))" mousedown 1
    local i
    for ((i = 1; i <= 8; i++)); do
        xdotool mousemove "$((x + w / 2))" "$((y + closed - GRIP / 2 + d * i / 16))"
        sleep 0.03
    done
    if ds_poll "$AC_SOON" geometry_is "$x $y $w $((closed + d / 2))"; then pass "dragging the grip down pulls the drawer open with the pointer: ${closed} + $((d / 2)) px, top fixed"; else fail "half-way through the drag the card is $(ac_card_geometry), expected $x $y $w $((closed + d / 2))"; fi
    for ((i = 9; i <= 16; i++)); do
        xdotool mousemove "$((x + w / 2))" "$((y + closed - GRIP / 2 + d * i / 16))"
        sleep 0.03
    done
    xdotool mouseup 1
    if ds_poll "$AC_SOON" geometry_is "$x $y $w $open"; then pass "released ${d} px down (past half of ${drawer}) the drawer opens fully"; else fail "released ${d} px down: $(ac_card_geometry), expected $x $y $w $open"; fi

    click_grip
    ds_poll "$AC_SOON" ac_height_is "$closed" || fail "the grip did not close the drawer again"
    d=$((drawer / 2 - 20))
    ac_drag "$((x + w / 2))" "$((y + closed - GRIP / 2))" 0 "$d" 12
    if ds_poll "$AC_SOON" geometry_is "$x $y $w $closed"; then pass "released ${d} px down (under half) it snaps back closed"; else fail "released ${d} px down: $(ac_card_geometry), expected $x $y $w $closed"; fi

    # Opened, the drawer hands the keyboard to the timer field, even from the notes field.
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$open" || fail "the grip did not open the drawer"
    click_box notes-field
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$closed" || fail "the grip did not close the drawer"
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$open" || fail "the grip did not open the drawer"
    # The field takes the keyboard 0.05 s after the drawer has opened; nothing on screen tells
    # when, so this waits twenty times as long.
    sleep 1
    xdotool key ctrl+a type "0:30"
    xdotool key Return
    if ds_poll "$AC_SOON" ac_height_is "$closed" && ds_poll "$AC_SOON" accent_in_digits && [[ -z $(ac_notes) ]]; then
        pass "opening the drawer gives the timer field the keyboard: typing 0:30 and Return start a countdown"
    else
        fail "after the drawer opened, 0:30 and Return did not start a countdown: card $(ac_card_geometry), notes '$(ac_notes | tr '\t\n' ':|')'"
    fi
}

# ---------------------------------------------------------------------------------------------
case_width() {
    echo "== the card's width"
    ds_new_profile
    check "the program starts" ac_launch orvanta-width || return
    local x y w h F DIV2 right shot1 shot2 ex ey i t0 t1 x2 y2 w2 h2 box1 box2 wide
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    right=$((x + w))
    shot1=$(ac_tmp narrow.png)
    ac_snap "$AC_CARD" "$shot1"
    box1=$(ac_ink_box "$shot1" $(ac_where "$CARD" digits) $surface_dark 60)

    ex=$((x + $(ac_centre "$CARD" edge | awk '{print $1}'))) ey=$((y + h / 2))
    xdotool mousemove "$ex" "$ey" mousedown 1
    for ((i = 1; i <= 5; i++)); do xdotool mousemove "$((ex - 10 * i))" "$ey"; sleep 0.03; done
    if ds_poll "$AC_SOON" ac_width_is 270 && read -r x2 y2 w2 h2 < <(ac_card_geometry) && ((x2 + w2 == right && y2 == y)); then
        pass "dragging the left edge 50 px to the left widens the card to 270, right edge at $right"
    else
        fail "after 50 px to the left: $(ac_card_geometry), expected width 270 with the right edge at $right"
    fi
    for ((i = 6; i <= 30; i++)); do xdotool mousemove "$((ex - 10 * i))" "$ey"; sleep 0.03; done
    xdotool mouseup 1
    if ds_poll "$AC_SOON" ac_width_is 340; then
        read -r x2 y2 w2 h2 < <(ac_card_geometry)
        if ((x2 + w2 == right && y2 == y)); then pass "300 px to the left stops at 340: $w2 wide, the right edge and the top stay ($right, $y)"; else fail "at 340 the card is at ${x2},${y2}, right edge $((x2 + w2)), expected $right and top $y"; fi
    else
        fail "after 300 px to the left the card is $(ac_card_geometry), expected 340 wide"
    fi
    # The release writes the width, beside the card's own work.
    stored_340() { [[ $(ac_setting cardWidth) == 340 || $(ac_setting cardWidth) == 340.0 ]]; }
    ds_poll "$AC_SOON" stored_340
    local stored
    stored=$(ac_setting cardWidth)
    if [[ $stored == 340 || $stored == 340.0 ]]; then pass "the width is stored: cardWidth $stored"; else fail "cardWidth stored as '$stored', expected 340"; fi

    # Everything inside scales by 340/220: the face, the drawer, the digits.
    read -r x2 y2 w2 h2 < <(ac_card_geometry)
    shot2=$(ac_tmp wide.png)
    t0=$(date +%s)
    ac_snap "$AC_CARD" "$shot2"
    t1=$(date +%s)
    { wide=$(ac_layout "$AC_RENDERER" --width "$w2") && layout_has "$wide" digits face; } || { fail "no layout of the card at $w2 px${AC_WHY:+ ($AC_WHY)}"; return; }
    box2=$(ac_ink_box "$shot2" $(ac_where "$wide" digits) $surface_dark 60)
    local ratio_h ratio_d
    ratio_h=$(awk -v a="$box1" -v b="$box2" 'BEGIN {split(a, p, " "); split(b, q, " "); printf "%.3f", (q[4] - q[2] + 1) / (p[4] - p[2] + 1)}')
    ratio_d=$(awk -v a="$h" -v b="$h2" -v g="$GRIP" 'BEGIN {printf "%.3f", (b - g) / (a - g)}')
    if awk -v r="$ratio_h" -v s="$ratio_d" 'BEGIN {exit !(r > 1.4 && r < 1.7 && s > 1.45 && s < 1.65)}'; then
        pass "everything inside is larger: digits ${ratio_h}x as high, the card without its grip row ${ratio_d}x (340/220 = 1.545)"
    else
        fail "after widening to 340: digits ${ratio_h}x as high ($box1 -> $box2), card without grip ${ratio_d}x ($h -> $h2), expected about 1.545"
    fi
    local face2
    face2=$(ac_where "$wide" face | awk '{print $4}')
    if ac_shows_now "$shot2" 0 0 340 "$face2" "$t0" "$t1" -- --width 340; then
        pass "the wide face is the renderer's face at 340 px"
    else
        fail "the face at 340 px matches no rendered face (picture $(ac_keep "$shot2"))"
    fi
}

# ---------------------------------------------------------------------------------------------
# Rows of the notes list on a card H high, "top bottom" each, found by their crosses: ink in
# the crosses' column between the notes field and the grip row.
note_rows() {
    local shot=$1 h=$2 top cx cw
    top=$(rows_top)
    read -r cx _ cw _ < <(ac_where "$NOTES" note1-cross)
    ac_ink_rows "$shot" "$cx" "$top" "$cw" "$((h - GRIP - top))" $surface_dark 30
}

note_row_count_is() {
    local shot gx gy gw gh
    shot=$(ac_tmp rows.png)
    read -r gx gy gw gh < <(ac_card_geometry)
    ac_snap "$AC_CARD" "$shot"
    (($(note_rows "$shot" "$gh" | wc -l) == $1))
}

stored_notes_are() { [[ $(ac_notes | tr '\t\n' ':|') == "$1" ]]; }

# The look of note row N (from 1): sets NOTE_MARK (accent pixels in its check mark), NOTE_FULL
# (text pixels at the full digits colour) and NOTE_LINE (the longest run of ink along one pixel
# row of its text, which a strike-through makes as wide as the word).
note_look() {
    local shot=$DS_TMP/note.png
    ac_snap "$AC_CARD" "$shot"
    NOTE_MARK=$(ac_count "$shot" $(ac_where "$NOTES" "note$1-check") $accent_orange 50)
    NOTE_FULL=$(ac_count "$shot" $(ac_where "$NOTES" "note$1-text") $digits_dark 30)
    NOTE_LINE=$(ac_longest_run "$shot" $(ac_where "$NOTES" "note$1-text") $surface_dark 60)
}
note_looks_checked() { note_look "$1"; ((NOTE_MARK > 60 && NOTE_FULL == 0 && NOTE_LINE >= 18)); }

case_notes() {
    echo "== notes"
    ds_new_profile
    check "the program starts" ac_launch orvanta-notes || return
    local x y w h F DIV2 note n shot before top
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    # Where the rows of the five notes typed below are drawn.
    { NOTES=$(ac_layout "$AC_RENDERER" --width "$w" --note one --note two --note three --note four --note five) &&
        layout_has "$NOTES" note1-check note1-text note1-cross note2-check note2-text note4-cross; } ||
        { fail "no layout of the card with five notes${AC_WHY:+ ($AC_WHY)}"; return; }
    click_box notes-field
    n=0
    for note in one two three four five; do
        xdotool type "$note"
        xdotool key Return
        n=$((n + 1))
        ds_poll "$AC_SOON" note_row_count_is "$n" || break
    done
    if note_row_count_is 5 && stored_notes_are "open:one|open:two|open:three|open:four|open:five|"; then
        pass "typing and Return adds five notes, shown as five rows and stored in order"
    else
        fail "after adding five notes: stored '$(ac_notes | tr '\t\n' ':|')'"
    fi
    read -r x y w h < <(ac_card_geometry)
    before=$h
    # The fifth note's check mark has the keyboard (Return would check it off): typing
    # must add nothing to a full list.
    xdotool type "six"
    sleep 0.5
    read -r x y w h < <(ac_card_geometry)
    if ((h == before)) && note_row_count_is 5 && stored_notes_are "open:one|open:two|open:three|open:four|open:five|"; then
        pass "with five notes the field refuses a sixth"
    else
        fail "a sixth note changed something: card ${before} -> ${h} px, stored '$(ac_notes | tr '\t\n' ':|')'"
    fi
    shot=$(ac_tmp full.png)
    ac_snap "$AC_CARD" "$shot"
    if (($(ac_max_level "$shot" $(ac_where "$CARD" notes-text)) < 150)); then pass "the disabled field shows none of the typed text"; else fail "typed text shows in the full list's field ($(ac_keep "$shot"))"; fi

    # Check off the second note by its circle.
    local before_look
    note_look 2
    before_look="mark $NOTE_MARK px, $NOTE_FULL full-colour text px, ink line $NOTE_LINE px"
    if ((NOTE_MARK == 0 && NOTE_FULL > 20 && NOTE_LINE < 12)); then
        pass "an open note shows an empty circle and plain text ($before_look)"
    else
        fail "the second note, still open, shows $before_look ($(ac_keep "$DS_TMP/note.png"))"
    fi
    click_box note2-check "$NOTES"
    if ds_poll "$AC_SOON" stored_notes_are "open:one|done:two|open:three|open:four|open:five|"; then pass "a click on a note's circle checks it off and stores it"; else fail "after a click on the second circle: stored '$(ac_notes | tr '\t\n' ':|')'"; fi
    if ds_poll "$AC_SOON" note_looks_checked 2; then
        pass "the checked note shows a filled accent mark ($NOTE_MARK px), dimmed text struck through (a $NOTE_LINE-px line)"
    else
        fail "checked note: mark $NOTE_MARK accent px, $NOTE_FULL text px at full colour, ink line $NOTE_LINE px ($(ac_keep "$DS_TMP/note.png"))"
    fi
    note_look 1
    if ((NOTE_MARK == 0 && NOTE_FULL > 20)); then pass "the other notes stay open"; else fail "the first note changed its look: mark $NOTE_MARK accent px, $NOTE_FULL full-colour text px"; fi

    # Delete the fourth note with its cross.
    click_box note4-cross "$NOTES"
    if ds_poll "$AC_SOON" stored_notes_are "open:one|done:two|open:three|open:five|" && ds_poll "$AC_SOON" note_row_count_is 4; then
        pass "a note's cross deletes it: four rows and four stored notes remain"
    else
        fail "after a click on the fourth cross: stored '$(ac_notes | tr '\t\n' ':|')'"
    fi

    # Quit from the card's menu and start again: the same list.
    read -r x y w h < <(ac_card_geometry)
    before=$(ac_tmp before-quit.png)
    ac_snap "$AC_CARD" "$before"
    quit_from_menu "the card's menu" open_card_menu 2
    check "the program starts again with the same settings folder" ac_launch orvanta-notes-again || return
    # The rows, from under the notes field down to the grip row, as they were before quitting.
    top=$(rows_top)
    convert "$before" -crop "${w}x$((h - GRIP - top))+0+$top" +repage "$before.rows.png"
    if ds_poll "$AC_SOON" rows_look_like "$before.rows.png" "$top" && stored_notes_are "open:one|done:two|open:three|open:five|"; then
        pass "after a restart the same notes show in the same order with the same check marks"
    else
        fail "after a restart: card $(ac_card_geometry) (was ${h} high), $ROWS_DIFF pixels of the rows differ ($(ac_keep "$DS_TMP/rows-now.png")), stored '$(ac_notes | tr '\t\n' ':|')'"
    fi
}

# True when the card's rows from row TOP down equal the picture.
rows_look_like() {
    local picture=$1 top=$2 shot=$DS_TMP/card-now.png crop=$DS_TMP/rows-now.png
    ac_snap "$AC_CARD" "$shot"
    convert "$shot" -crop "$(identify -format '%wx%h' "$picture")+0+$top" +repage "$crop"
    ROWS_DIFF=$(compare -metric AE -fuzz 2% "$picture" "$crop" null: 2>&1)
    [[ $ROWS_DIFF == 0 ]]
}

# ---------------------------------------------------------------------------------------------
# The preferences window, 340x380. Where its parts are comes from the preferences renderer's
# layout, PREFS_LAYOUT, from the window's top-left corner. A switch's knob sits in the round
# left end of its track when off (a white spot there), at the right end when on; a selected
# swatch's ring runs along the edge of its box, unlike the background just beside the box.
readonly -A surface_of=([black]="10 10 10" [white]="237 235 235" [blue]="38 99 235" [red]="250 59 23")
PREFS_LAYOUT=""

# A click on the middle of a box of the window at (px,py).
click_prefs() { local cx cy; read -r cx cy < <(ac_centre "$PREFS_LAYOUT" "$1"); click_at "$((px + cx))" "$((py + cy))"; }

# A point of bare window background: left of the form, level with its middle.
prefs_bare() { ac_where "$PREFS_LAYOUT" form | awk '{print int($1 / 2), $2 + int($4 / 2)}'; }

prefs_snap() {
    local shot
    shot=$(ac_tmp prefs.png)
    ac_snap "$PREFS" "$shot"
    echo "$shot"
}

# "on" or "off" for the switch of each name, read from one picture (not in the blue theme,
# whose white tint looks like a knob).
switch_states() {
    local shot=$1 name out="" sx sy sh
    for name in h24 showSeconds showDate startOpen sound login; do
        read -r sx sy _ sh < <(ac_where "$PREFS_LAYOUT" "switch-$name")
        if ac_near "$(ac_pixel "$shot" "$((sx + sh / 2))" "$((sy + sh / 2))")" "255 255 255" 30; then out+="$name=off "; else out+="$name=on "; fi
    done
    echo "${out% }"
}

ringed_swatches() {
    local shot=$1 name ring gap out="" sx sy sw sh
    for name in black white blue red glass; do
        read -r sx sy sw sh < <(ac_where "$PREFS_LAYOUT" "swatch-$name")
        ring=$(ac_pixel "$shot" "$((sx + sw - 1))" "$((sy + sh / 2))")
        gap=$(ac_pixel "$shot" "$((sx + sw))" "$((sy + sh / 2))")
        ac_near "$ring" "$gap" 40 || out+="$name "
    done
    echo "${out% }"
}

# The black and white swatches are where the renderer draws them.
swatches_where_laid_out() {
    local shot
    shot=$(prefs_snap)
    ac_near "$(ac_pixel "$shot" $(ac_centre "$PREFS_LAYOUT" swatch-black))" "0 0 0" 10 &&
        ac_near "$(ac_pixel "$shot" $(ac_centre "$PREFS_LAYOUT" swatch-white))" "255 255 255" 10
}

# The window shows these switch states and this one swatch ringed; PREFS_SHOWN says what it shows.
prefs_show() {
    local shot
    shot=$(prefs_snap)
    PREFS_SHOWN="$(switch_states "$shot"), $(ringed_swatches "$shot")"
    [[ $PREFS_SHOWN == "$1, $2" ]]
}
prefs_switch_is() { [[ $(switch_states "$(prefs_snap)") == *"$1=$2"* ]]; }
setting_is() { [[ $(ac_setting "$1") == "$2" ]]; }
ringed_is() { [[ $(ringed_swatches "$(prefs_snap)") == "$1" ]]; }

card_pixel() {
    local shot
    shot=$(ac_tmp card.png)
    ac_snap "$AC_CARD" "$shot"
    ac_pixel "$shot" "$1" "$2"
}
card_surface_is() { ac_near "$(card_pixel $(face_margin))" "$1" 3; }
prefs_background_is() { ac_near "$(ac_pixel "$(prefs_snap)" $(prefs_bare))" "$1" 3; }

# Accent pixels in the face: with no countdown running only the lit AM or PM label has them.
card_ampm_ink() {
    local shot
    shot=$(ac_tmp ampm.png)
    ac_snap "$AC_CARD" "$shot"
    ac_count "$shot" $(ac_where "$CARD" face) $accent_orange 40
}
# The digits' line across the whole card, however wide the digits are.
digits_line() { ac_where "$CARD" digits | awk -v w="$w" '{print 0, $2, w, $4}'; }
# The width of the digits' ink (the digits colour only, so not the AM/PM column).
digits_width() {
    local shot box
    shot=$(ac_tmp width.png)
    ac_snap "$AC_CARD" "$shot"
    box=$(ac_color_box "$shot" $(digits_line) $digits_dark 40) || { echo 0; return; }
    awk '{print $3 - $1 + 1}' <<<"$box"
}
digits_wider_than() { (($(digits_width) > $1)); }
digits_narrower_than() { (($(digits_width) < $1)); }
no_ampm() { (($(card_ampm_ink) == 0)); }

case_preferences() {
    echo "== the preferences window"
    ds_new_profile
    check "the program starts" ac_launch orvanta-prefs || return
    local x y w h F DIV2 shot px py pw ph name
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    { PREFS_LAYOUT=$(ac_layout "$PREFS_RENDERER") && layout_has "$PREFS_LAYOUT" close form swatch-{black,white,blue,red,glass} switch-{h24,showSeconds,showDate,startOpen,sound,login}; } ||
        { fail "no layout of the preferences window${AC_WHY:+ ($AC_WHY)}"; return; }
    if ac_open_tray_menu && ac_choose 2 && ds_poll "$DS_TIMEOUT" ac_prefs_count_is 1; then
        PREFS=$(ac_prefs_windows)
        read -r px py pw ph < <(ds_geometry "$PREFS")
        if ((pw == 340 && ph == 380)); then pass "\"Preferences…\" in the tray menu opens one 340x380 preferences window"; else fail "the preferences window is ${pw}x${ph}, expected 340x380"; fi
    else
        fail "\"Preferences…\" in the tray menu: $(ac_prefs_windows | wc -l) preferences windows ${AC_WHY}"
        return
    fi
    if open_card_menu && ac_choose 1; then
        ds_poll 1 ac_prefs_count_is 2
        if [[ $(ac_prefs_windows) == "$PREFS" ]]; then pass "\"Preferences…\" in the card's menu brings up the same single window"; else fail "after \"Preferences…\" in the card's menu: windows $(ac_prefs_windows | tr '\n' ' '), expected only $PREFS"; fi
    else
        fail "\"Preferences…\" in the card's menu ${AC_WHY}"
    fi

    if ! ds_poll "$AC_SOON" swatches_where_laid_out; then
        fail "the preferences window is not laid out as the renderer reports (the black and white swatches are elsewhere; picture $(ac_keep "$(prefs_snap)"))"
        return
    fi
    if ds_poll "$AC_SOON" prefs_show "h24=off showSeconds=on showDate=on startOpen=on sound=on login=off" black; then
        pass "with no settings the window shows $PREFS_SHOWN ringed"
    else
        fail "with no settings the window shows '$PREFS_SHOWN' ringed"
    fi

    # The clock switches change the visible card at once.
    local ampm width height
    ampm=$(card_ampm_ink)
    width=$(digits_width)
    click_prefs switch-h24
    if ds_poll "$AC_SOON" no_ampm && ds_poll "$AC_SOON" digits_wider_than "$width" && setting_is h24 true; then
        pass "\"24-hour clock\" on: the AM/PM column goes ($ampm ink pixels before), the hour gets two digits ($width -> $(digits_width) px); h24 stored"
    else
        fail "\"24-hour clock\" on: AM/PM ink $(card_ampm_ink) (was $ampm), digits $(digits_width) px (was $width), h24 '$(ac_setting h24)'"
    fi
    width=$(digits_width)
    click_prefs switch-showSeconds
    if ds_poll "$AC_SOON" digits_narrower_than "$((width - 30))" && setting_is showSeconds false; then
        pass "\"Show seconds\" off: the digits lose the seconds ($width -> $(digits_width) px); stored"
    else
        fail "\"Show seconds\" off: digits $(digits_width) px (were $width), showSeconds '$(ac_setting showSeconds)'"
    fi
    read -r x y w height < <(ac_card_geometry)
    click_prefs switch-showDate
    if ds_poll "$AC_SOON" ac_height_below "$((height - 10))"; then
        if setting_is showDate false; then pass "\"Show date\" off: the card loses its date line (${height} -> $(ac_card_geometry | awk '{print $4}') px); stored"; else fail "showDate stored as '$(ac_setting showDate)'"; fi
    else
        fail "\"Show date\" off: the card is $(ac_card_geometry | awk '{print $4}') px high, was ${height}"
    fi

    # Each swatch re-colours the card and the window and rings itself.
    local theme accent want
    for name in white blue glass black red; do
        click_prefs "swatch-$name"
        case $name in
        black) theme='"dark"' accent="" ;;
        white) theme='"light"' accent="" ;;
        blue) theme='"color"' accent='"blue"' ;;
        red) theme='"color"' accent='"red"' ;;
        glass) theme='"glass"' accent="" ;;
        esac
        if ! ds_poll "$AC_SOON" setting_is theme "$theme" || { [[ -n $accent ]] && ! setting_is accent "$accent"; }; then
            fail "swatch $name: stored theme '$(ac_setting theme)', accent '$(ac_setting accent)'"
            continue
        fi
        if [[ $name == glass ]]; then
            check "swatch glass: card and window show the translucent glass material" ds_poll "$AC_SOON" glass_shows
        else
            want=${surface_of[$name]}
            if ds_poll "$AC_SOON" card_surface_is "$want" && ds_poll "$AC_SOON" prefs_background_is "$want"; then
                pass "swatch $name: the card and the window turn to $want"
            else
                fail "swatch $name: card surface $(card_pixel $(face_margin)), window $(ac_pixel "$(prefs_snap)" $(prefs_bare)), expected $want"
            fi
        fi
        if ds_poll "$AC_SOON" ringed_is "$name"; then pass "swatch $name rings itself alone"; else fail "after a click on $name the ringed swatches are '$(ringed_swatches "$(prefs_snap)")'"; fi
    done

    # Launch at login.
    local entry=$XDG_CONFIG_HOME/autostart/io.github.orvanta.Orvanta.desktop
    click_prefs switch-login
    if ds_poll "$AC_SOON" test -f "$entry" && grep -q '^Exec=.*orvanta' "$entry" && ds_poll "$AC_SOON" prefs_switch_is login on; then
        pass "\"Launch at login\" on writes $entry ($(grep '^Exec=' "$entry"))"
    else
        fail "\"Launch at login\" on: entry $( [[ -f $entry ]] && echo present || echo missing), switch $(switch_states "$(prefs_snap)")"
    fi
    click_prefs switch-login
    if ds_poll "$AC_SOON" test ! -e "$entry" && ds_poll "$AC_SOON" prefs_switch_is login off; then pass "\"Launch at login\" off removes the entry"; else fail "\"Launch at login\" off: entry $( [[ -e $entry ]] && echo still there || echo gone), switch $(switch_states "$(prefs_snap)")"; fi

    # Closed and opened again, the window shows the current settings.
    click_prefs close
    if ds_poll "$AC_SOON" ac_unmapped "$PREFS"; then pass "the close button closes the window"; else fail "the close button left the window open"; fi
    if ac_open_tray_menu && ac_choose 2 && ds_poll "$DS_TIMEOUT" ac_prefs_count_is 1; then
        PREFS=$(ac_prefs_windows)
        read -r px py pw ph < <(ds_geometry "$PREFS")
        if ds_poll "$AC_SOON" prefs_show "h24=on showSeconds=off showDate=off startOpen=on sound=on login=off" red; then
            pass "reopened, the window shows the current settings: $PREFS_SHOWN ringed"
        else
            fail "reopened, the window shows '$PREFS_SHOWN' ringed"
        fi
    else
        fail "the window did not open again from the tray menu ${AC_WHY}"
    fi

    # "Quit Orvanta" in the tray menu; at the next start everything changed is there.
    quit_from_menu "the tray menu" ac_open_tray_menu 3
    check "the program starts again" ac_launch orvanta-prefs-again || return
    card_state --theme color --accent red --h24 --no-seconds --no-date || { fail "at the next start the card shows no open drawer ($AC_WHY)"; return; }
    if ds_poll "$AC_SOON" face_shows_now "$F" --theme color --accent red --h24 --no-seconds --no-date; then
        pass "at the next start the card is red, 24-hour, without seconds or date, as the renderer draws those settings"
    else
        fail "at the next start the card is not the rendered red 24-hour card without seconds or date ($AC_WHY)"
    fi
}

# The glass material: white digits on a tint that lets the desktop through.
glass_shows() {
    local shot root inside outside want
    shot=$(ac_tmp glass-card.png)
    ac_snap "$AC_CARD" "$shot"
    root=$(ac_tmp glass-root.png)
    ac_snap_root "$root"
    local gx gy gw gh mx my
    read -r gx gy gw gh < <(ac_card_geometry)
    read -r mx my < <(face_margin)
    inside=$(ac_pixel "$root" "$((gx + mx))" "$((gy + my))")
    outside=$(ac_pixel "$root" "$((gx - 6))" "$((gy + my))")
    # The tint is (0.10, 0.10, 0.11) at 80 per cent over what lies behind.
    want=$(awk -v o="$outside" 'BEGIN {split(o, c, " "); printf "%d %d %d", 20.4 + 0.2 * c[1] + 0.5, 20.4 + 0.2 * c[2] + 0.5, 22.4 + 0.2 * c[3] + 0.5}')
    if ! ac_near "$inside" "$want" 4; then AC_WHY="on screen the card shows $inside over $outside, expected $want"; return 1; fi
    if ((($(ac_max_level "$shot" $(digits_line))) < 250)); then AC_WHY="the digits are not white"; return 1; fi
    if ac_near "$(ac_pixel "$(prefs_snap)" $(prefs_bare))" "10 10 10" 3; then AC_WHY="the window kept the dark surface"; return 1; fi
}

# ---------------------------------------------------------------------------------------------
case_show_hide_move() {
    echo "== show and hide, moving, and what does not move"
    ds_new_profile
    check "the program starts" ac_launch orvanta-move || return
    local x y w h F DIV2 x2 y2 w2 h2 mx my ex
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    read -r mx my < <(face_margin)
    ex=$(ac_centre "$CARD" edge | awk '{print $1}')
    if ac_open_tray_menu && ac_choose 1 && ds_poll "$AC_SOON" ac_unmapped "$AC_CARD"; then pass "\"Show / Hide Widget\" hides the card"; else fail "\"Show / Hide Widget\" left the card visible ${AC_WHY}"; fi
    if ac_open_tray_menu && ac_choose 1 && ds_poll "$AC_SOON" ac_viewable "$AC_CARD" && ds_poll "$AC_SOON" ac_in_corner "$AC_CARD"; then pass "\"Show / Hide Widget\" again shows it in the corner"; else fail "\"Show / Hide Widget\" did not bring the card back: $(ac_card_geometry) ${AC_WHY}"; fi

    # The face's empty margin moves the window with the pointer; the window manager moves it,
    # and on a busy machine it may still be on its way when the button is let go.
    ac_drag "$((x + mx))" "$((y + my))" -200 150 10 hold
    ds_poll "$AC_SOON" moved_by "$x" "$y" -200 150
    xdotool mouseup 1
    read -r x2 y2 w2 h2 < <(ac_card_geometry)
    if ((x2 - x >= -203 && x2 - x <= -197 && y2 - y >= 147 && y2 - y <= 153)); then
        pass "dragging an empty part of the card moves it by the pointer's (-200,+150): now at ($x2,$y2)"
    else
        fail "after dragging the face by (-200,+150) the card went from ($x,$y) to ($x2,$y2)"
    fi
    x=$x2 y=$y2
    ac_drag "$((x + w / 2))" "$((y + h - GRIP / 2))" -150 0 10
    sleep 0.3
    read -r x2 y2 w2 h2 < <(ac_card_geometry)
    if ((x2 == x && y2 == y)); then pass "dragging the grip sideways does not move the card"; else fail "dragging the grip moved the card from ($x,$y) to ($x2,$y2)"; fi
    ac_drag "$((x + ex))" "$((y + my))" 0 120 10
    sleep 0.3
    read -r x2 y2 w2 h2 < <(ac_card_geometry)
    if ((x2 == x && y2 == y && w2 == w)); then pass "dragging the left edge up and down neither moves nor resizes the card"; else fail "a vertical drag on the left edge: ($x,$y) ${w} wide -> ($x2,$y2) ${w2} wide"; fi
    ac_drag "$((x + ex))" "$((y + my))" -40 0 8
    if ds_poll "$AC_SOON" ac_width_is 260; then
        read -r x2 y2 w2 h2 < <(ac_card_geometry)
        if ((x2 + w2 == x + w && y2 == y)); then pass "dragging the left edge resizes the card without moving it: right edge and top stay"; else fail "dragging the left edge moved the card: ($x,$y) ${w} wide -> ($x2,$y2) ${w2} wide"; fi
    else
        fail "dragging the left edge 40 px to the left: $(ac_card_geometry), expected 260 wide"
    fi

    # Ctrl+Q while the card has the keyboard; the width is there at the next start.
    xdotool windowactivate "$AC_CARD" 2>/dev/null
    ds_poll "$AC_SOON" ac_has_focus "$AC_CARD"
    xdotool key ctrl+q
    if ac_quit_wait && ((DS_EXIT_STATUS == 0)); then pass "Ctrl+Q on the card ends the program"; else fail "Ctrl+Q on the card did not end the program"; diagnose; ac_end_program; fi
    check "the program starts again" ac_launch orvanta-move-again || return
    if ds_poll "$AC_SOON" ac_width_is 260; then pass "at the next start the card is 260 wide again, in the corner"; else fail "at the next start the card is $(ac_card_geometry), expected 260 wide"; fi
}

# ---------------------------------------------------------------------------------------------
case_bad_input() {
    echo "== bad input through the real interface"
    ds_new_profile
    check "the program starts" ac_launch orvanta-input || return
    local x y w h F DIV2 shot
    card_state || { fail "the card shows its open drawer ($AC_WHY)"; return; }
    click_box timer-field
    xdotool key ctrl+a BackSpace
    if ds_poll "$AC_SOON" timer_field_empty; then pass "the emptied timer field shows no text"; else fail "the emptied timer field still shows text (text $(timer_field_text_width) px wide)"; fi
    xdotool type "abc XYZ -+. ,;"
    sleep 0.3
    if timer_field_empty; then pass "letters, signs, points and spaces typed into the timer field never stay"; else fail "typed letters and signs show in the timer field (text $(timer_field_text_width) px wide, picture $(ac_keep "$DS_TMP/timer-field.png"))"; fi

    local bad
    for bad in "0:00" "1:2:3:4"; do
        xdotool type "$bad"
        if ! ds_poll "$AC_SOON" timer_field_filled; then fail "typing $bad shows nothing in the timer field"; continue; fi
        xdotool key Return
        if ds_poll "$AC_SOON" timer_field_empty && ac_height_is "$h" && no_accent_in_digits; then
            pass "the rejected duration $bad empties the field; the drawer stays open and no countdown starts"
        else
            fail "after $bad and Return: field text $(timer_field_text_width) px wide, card $(ac_card_geometry) (was $h high)"
        fi
    done

    click_box notes-field
    xdotool type "   "
    xdotool key Return
    sleep 0.5
    if ac_height_is "$h" && [[ -z $(ac_notes) ]]; then pass "a blank note adds nothing"; else fail "a blank note: card $(ac_card_geometry) (was $h high), stored '$(ac_notes)'"; fi

    # Typed with letters in between: 1a:3b0 keeps 1:30.
    start_countdown 1a:3b0
    if ds_poll "$AC_SOON" ac_height_is "$((F + GRIP))"; then
        if ds_poll "$AC_SOON" face_counts_down "$COUNTDOWN_START" 90 "$F" --closed; then pass "typed 1a:3b0 keeps 1:30: a countdown of 90 s runs ($AC_SHOWN s left)"; else fail "typed 1a:3b0: the face shows no countdown of about 90 s ($(ac_keep "$DS_TMP/countdown.png"))"; fi
    else
        fail "typed 1a:3b0 and Return: no countdown started (card $(ac_card_geometry))"
    fi

    # Pasted: "5 min" copied from the notes field keeps 5.
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$h" || fail "the grip did not open the drawer"
    click_box notes-field
    xdotool type "5 min"
    xdotool key ctrl+a ctrl+c
    click_box timer-field
    xdotool key ctrl+a ctrl+v
    ds_poll "$AC_SOON" timer_field_filled || fail "pasting \"5 min\" into the timer field shows nothing"
    COUNTDOWN_START=$(ac_now)
    xdotool key Return
    if ds_poll "$AC_SOON" ac_height_is "$((F + GRIP))"; then
        if ds_poll "$AC_SOON" face_counts_down "$COUNTDOWN_START" 300 "$F" --closed; then pass "pasted \"5 min\" keeps 5: a countdown of 300 s runs ($AC_SHOWN s left)"; else fail "pasted \"5 min\": the face shows no countdown of about 300 s ($(ac_keep "$DS_TMP/countdown.png"))"; fi
    else
        fail "pasted \"5 min\" and Return: no countdown started (card $(ac_card_geometry))"
    fi
}

case_first_start; ac_end_program
case_countdown; ac_end_program; ac_stop_pulse
case_drawer; ac_end_program
case_width; ac_end_program
case_notes; ac_end_program
case_preferences; ac_end_program
case_show_hide_move; ac_end_program
case_bad_input; ac_end_program

finish

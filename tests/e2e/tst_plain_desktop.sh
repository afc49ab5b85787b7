#!/usr/bin/env bash
# The real program on a plain desktop: Xvfb, openbox and a tray, but no compositor. Checks
# what a person sees there and what the common desktop suites hide:
#   - the card's rounded corners show the desktop, never black, and the card follows a
#     compositor that starts and stops while it runs;
#   - the desktop's light/dark switch (a portal on a private session bus) recolours the card
#     and an open preferences window at once, and its contrast setting lifts the date line;
#   - what a person types into the timer field after opening the drawer;
#   - the preferences window: Escape closes it, and it keeps its blur request when shown again;
#   - a tray that starts after the program: the icon docks and its menu opens and works.
# Screenshots go to e2e-plain-*.png in the build folder's e2e-shots/.
#
#   tst_plain_desktop.sh PATH_TO_ORVANTA PATH_TO_ORVANTA_RENDER_CARD PATH_TO_ORVANTA_FAKE_PORTAL
#
# Exits 77 (skipped) when Xvfb or xdotool is missing, non-zero when any check fails.

# shellcheck disable=SC2086,SC2317  # colours "R G B" go on as three arguments; predicates run through ds_poll
set -u
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_COOKIE

usage="usage: tst_plain_desktop.sh PATH_TO_ORVANTA PATH_TO_ORVANTA_RENDER_CARD PATH_TO_ORVANTA_FAKE_PORTAL"
bin=${1:?$usage}
portal=${3:?$usage}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool
AC_BIN=$bin
AC_RENDERER=$2

ck_require "the plain desktop" openbox picom trayer xprop xwininfo xdpyinfo xsetroot xmessage import convert compare dbus-daemon
for program in "$bin" "$AC_RENDERER" "$portal"; do
    [[ -x $program ]] || { fail "no program at $program"; finish; }
done

DS_COMPOSITOR=none ds_start || { fail "the desktop did not start"; finish; }
# A desktop colour that no theme draws.
readonly desktop="143 168 200"
xsetroot -solid '#8fa8c8'

readonly light_surface="237 235 235" dark_surface="10 10 10" digits_dark="232 232 232"
# The glass theme's tint painted opaque, as it is without a compositor.
readonly glass_opaque="43 43 46"

# Settings for the next run: a fresh profile whose settings file holds the given JSON.
profile_with() {
    ds_new_profile
    mkdir -p "$XDG_CONFIG_HOME/orvanta"
    printf '%s\n' "$1" >"$XDG_CONFIG_HOME/orvanta/settings.json"
}

# "R G B" of the screen at a point of the card, from the top-left corner of its window.
card_pixel() {
    local x y w h shot
    read -r x y w h < <(ac_card_geometry) || return 1
    shot=$(ac_tmp screen.png)
    ac_snap_root "$shot"
    ac_pixel "$shot" "$((x + $1))" "$((y + $2))"
}

# True when the card's pixel at (X,Y) is within TOL of the colour.
card_pixel_near() { ac_near "$(card_pixel "$1" "$2")" "$3" "${4:-6}"; }
card_pixel_away() { ! ac_near "$(card_pixel "$1" "$2")" "$3" "${4:-6}"; }

# The four corner pixels of the card's window, on the screen.
corners() {
    local x y w h shot
    read -r x y w h < <(ac_card_geometry) || return 1
    shot=$(ac_tmp corners.png)
    ac_snap_root "$shot"
    local top bottom
    top="$(ac_pixel "$shot" "$x" "$y"), $(ac_pixel "$shot" "$((x + w - 1))" "$y")"
    bottom="$(ac_pixel "$shot" "$x" "$((y + h - 1))"), $(ac_pixel "$shot" "$((x + w - 1))" "$((y + h - 1))")"
    echo "$top, $bottom"
}

# True when the predicate holds for the colour ("R G B") of each of the four corners.
every_corner() {
    local corner
    while IFS= read -r corner; do
        "$1" "$corner" || return 1
    done < <(corners | tr ',' '\n' | sed 's/^ //')
}
shows_desktop() { ac_near "$1" "$desktop" 8; }
# With a window behind the card: whatever the corners show, it is not black.
not_black() { local r g b; read -r r g b <<<"$1"; ((r > 40 || g > 40 || b > 40)); }

click_grip() { ac_click_grip 20; }

# ---------------------------------------------------------------------------------------------
case_corners() {
    echo "== no compositor: the card's corners"
    profile_with '{"theme": "light"}'
    check "the program starts" ac_launch orvanta-corners || return
    local x y w h
    read -r x y w h < <(ac_card_geometry)
    ds_screenshot plain-1-corners-open
    if every_corner shows_desktop; then pass "drawer open: the four corners show the desktop ($(corners))"; else fail "drawer open: the corners read $(corners), the desktop is $desktop"; fi
    if card_pixel_near 12 50 "$light_surface"; then pass "the card itself is drawn opaque: $(card_pixel 12 50)"; else fail "inside the card: $(card_pixel 12 50), expected $light_surface"; fi
    click_grip
    ds_poll "$AC_SOON" ac_height_below "$h" || fail "a click on the grip did not close the drawer"
    ds_poll "$AC_SOON" every_corner shows_desktop
    ds_screenshot plain-2-corners-closed
    if every_corner shows_desktop; then pass "drawer closed: the corners follow the new size ($(corners))"; else fail "drawer closed: the corners read $(corners)"; fi
}

# ---------------------------------------------------------------------------------------------
backdrop_shown() { [[ -n $(xdotool search --onlyvisible --classname '^orvanta-backdrop$' 2>/dev/null) ]]; }

case_compositor() {
    echo "== a compositor that starts and stops while the program runs"
    profile_with '{"theme": "glass"}'
    check "the program starts" ac_launch orvanta-compositor || return
    # A white window behind the card: the translucent glass shows it, the opaque tint does not.
    local x y w h
    read -r x y w h < <(ac_card_geometry)
    ds_spawn backdrop xmessage -name orvanta-backdrop -bg white -geometry "300x400+$((x - 40))+$y" " "
    local backdrop=$DS_LAST_PID
    ds_poll "$DS_TIMEOUT" backdrop_shown || fail "the white window behind the card did not show"
    if ds_poll "$AC_SOON" card_pixel_near 12 50 "$glass_opaque"; then pass "no compositor: the glass tint is opaque ($(card_pixel 12 50))"; else fail "no compositor: the glass card reads $(card_pixel 12 50), expected $glass_opaque"; fi

    ds_spawn picom picom --backend xrender --config /dev/null
    local compositor=$DS_LAST_PID started
    ds_poll "$DS_TIMEOUT" ds_compositor_up || fail "picom did not start"
    started=$(ac_now)
    if ds_poll "$AC_SOON" card_pixel_away 12 50 "$glass_opaque" 12; then
        pass "picom started: within $(ac_elapsed "$started" "$(ac_now)") s the glass shows the white window behind it ($(card_pixel 12 50))"
    else
        fail "picom started: the glass card still reads $(card_pixel 12 50) after 3 s"
    fi
    ds_screenshot plain-3-compositor-on

    ds_stop_pid "$compositor"
    started=$(ac_now)
    if ds_poll "$AC_SOON" card_pixel_near 12 50 "$glass_opaque" && ds_poll "$AC_SOON" every_corner not_black; then
        pass "picom stopped: within $(ac_elapsed "$started" "$(ac_now)") s the tint is opaque again; the corners show what lies behind ($(corners))"
    else
        fail "picom stopped: the card reads $(card_pixel 12 50) and its corners $(corners)"
    fi
    ds_screenshot plain-4-compositor-off
    ds_stop_pid "$backdrop"
    case_preferences
}

# The preferences window of the glass card that case_compositor leaves running.
prefs_window() { ac_prefs_windows | head -n1 | grep .; }
no_prefs_window() { ac_prefs_count_is 0; }
# The property is there; empty, it asks for the whole window.
has_blur() { xprop -id "$1" _KDE_NET_WM_BLUR_BEHIND_REGION 2>/dev/null | grep -q '^_KDE_NET_WM_BLUR_BEHIND_REGION(CARDINAL)'; }
open_prefs() {
    xdotool windowactivate "$AC_CARD" 2>/dev/null
    ds_poll "$DS_TIMEOUT" ac_has_focus "$AC_CARD"
    xdotool key ctrl+comma
    ds_poll "$DS_TIMEOUT" prefs_window
}

case_preferences() {
    echo "== the preferences window"
    local prefs
    if ! open_prefs; then fail "Ctrl+comma opened no preferences window"; return; fi
    prefs=$(prefs_window)
    if has_blur "$prefs"; then pass "glass: the preferences window asks for blur behind it"; else fail "glass: the preferences window has no blur request"; fi
    ds_poll "$DS_TIMEOUT" ac_has_focus "$prefs"
    xdotool key Escape
    if ds_poll "$AC_SOON" no_prefs_window; then
        pass "Escape closes the preferences window"
    else
        fail "after Escape $(ac_prefs_windows | wc -l) preferences windows show"
        return
    fi
    if open_prefs; then
        prefs=$(prefs_window)
        if has_blur "$prefs"; then pass "shown again (native window $prefs), it still asks for blur"; else fail "shown again (native window $prefs), the blur request is gone"; fi
    else
        fail "Ctrl+comma did not show the preferences window again"
    fi
}

# ---------------------------------------------------------------------------------------------
DARK_PREFS=""

# "R G B, R G B": the card's surface and the surface of the preferences window DARK_PREFS, from
# one picture of the screen.
both_look() {
    local x y px py shot
    read -r x y _ < <(ac_card_geometry) || return 1
    read -r px py _ < <(ds_geometry "$DARK_PREFS") || return 1
    shot=$(ac_tmp both.png)
    ac_snap_root "$shot"
    echo "$(ac_pixel "$shot" "$((x + 12))" "$((y + 50))"), $(ac_pixel "$shot" "$((px + 200))" "$((py + 14))")"
}

both_are() {
    local card prefs
    IFS=, read -r card prefs < <(both_look)
    ac_near "$card" "$1" 6 && ac_near "${prefs# }" "$1" 6
}

case_dark_mode() {
    echo "== the desktop's light/dark switch, while the program runs"
    # A session bus of the test's own, without service activation, and the portal on it.
    local address
    ds_start_bus || { fail "the private session bus did not start"; return; }
    address=$DS_BUS_ADDRESS
    mkfifo "$DS_TMP/portal.in"
    # shellcheck disable=SC2016  # the inner shell expands its own arguments
    ds_spawn orvanta-portal bash -c 'exec "$0" "$1" --scheme 2 <"$2"' "$portal" "$address" "$DS_TMP/portal.in"
    exec 7>"$DS_TMP/portal.in"
    ds_poll "$DS_TIMEOUT" grep -q ready "$DS_TMP/orvanta-portal.log" || { fail "the fake portal did not come up"; return; }

    profile_with '{"theme": "system"}'
    local saved=$DBUS_SESSION_BUS_ADDRESS
    export DBUS_SESSION_BUS_ADDRESS=$address
    check "the program starts on the private bus" ac_launch orvanta-dark
    export DBUS_SESSION_BUS_ADDRESS=$saved
    [[ -n $AC_APP ]] || return
    if ds_poll "$AC_SOON" card_pixel_near 12 50 "$light_surface"; then pass "the portal prefers light: the card is light"; else fail "the portal prefers light, the card reads $(card_pixel 12 50)"; fi
    open_prefs || { fail "Ctrl+comma opened no preferences window"; return; }
    DARK_PREFS=$(prefs_window)
    if ds_poll "$AC_SOON" both_are "$light_surface"; then pass "the open preferences window is light too"; else fail "the card and the preferences window read $(both_look)"; fi
    ds_screenshot plain-5-light

    local switched
    echo "scheme 1" >&7
    switched=$(ac_now)
    if ds_poll "$AC_SOON" both_are "$dark_surface"; then
        pass "the portal switches to dark: card and preferences window are dark $(ac_elapsed "$switched" "$(ac_now)") s later, no restart"
    else
        fail "1 s after the portal switched to dark the card and the preferences window read $(both_look)"
    fi
    ds_screenshot plain-6-dark
    echo "scheme 2" >&7
    if ds_poll "$AC_SOON" both_are "$light_surface"; then pass "and back to light"; else fail "back to light: the card and the preferences window read $(both_look)"; fi

    # The date line's grey: the light theme's secondary ink at 40 %, darker with high contrast.
    if ds_poll "$AC_SOON" date_pixels_at "$date_high" 0; then pass "normal contrast: no date pixel reaches the high-contrast grey"; else fail "normal contrast: $(date_pixels "$date_high") date pixels near $date_high ($(ac_keep "$DS_TMP/date.png"))"; fi
    echo "contrast 1" >&7
    switched=$(ac_now)
    if ds_poll "$AC_SOON" date_pixels_at "$date_high" 10; then
        pass "the portal asks for high contrast: the date line turns to $date_high $(ac_elapsed "$switched" "$(ac_now)") s later, no restart"
    else
        fail "$AC_SOON s after the portal asked for high contrast the date line has $(date_pixels "$date_high") pixels near $date_high ($(ac_keep "$DS_TMP/date.png"))"
    fi
    ds_screenshot plain-6b-high-contrast
    echo "contrast 0" >&7
    if ds_poll "$AC_SOON" date_pixels_at "$date_high" 0; then pass "and back to normal contrast"; else fail "back to normal contrast: $(date_pixels "$date_high") date pixels near $date_high"; fi
    exec 7>&-
}

# The light theme's date line with high contrast: black at 57 % on its surface.
readonly date_high="102 101 101"

# How many pixels of the card's date line (at the default width) are near the colour.
date_pixels() {
    local shot=$DS_TMP/date.png
    ac_snap "$AC_CARD" "$shot"
    # shellcheck disable=SC2086  # the colour is three words
    ac_count "$shot" 28 64 164 14 $1 14
}
# True when at least MIN pixels (MIN 0: none at all) of the date line are near the colour.
date_pixels_at() {
    local n
    n=$(date_pixels "$1")
    if (($2 == 0)); then ((n == 0)); else ((n >= $2)); fi
}

# ---------------------------------------------------------------------------------------------
# The face of a card whose drawer is closed shows what is left of a countdown of TOTAL seconds
# started after START (an ac_now stamp). The corners' columns are left out (without a
# compositor the card paints them, where the renderer leaves them clear), and so is the
# buttons' column, where the keyboard goes after Return. The clock's settings decide the face's
# height (a 24-hour face is taller than one with AM/PM), so the renderer is given them too.
face_counts_down() {
    local gx gy gw gh shot=$DS_TMP/countdown.png
    read -r gx gy gw gh < <(ac_card_geometry)
    ac_snap "$AC_CARD" "$shot"
    ac_shows_countdown "$shot" 24 0 "$((gw - 72))" "$((gh - 20))" "$1" "$2" -- --closed --h24
}

# Pixels of the timer field (its text rows, from the first divider at F) near a colour.
field_pixels() {
    local gx gy gw gh shot=$DS_TMP/field.png
    read -r gx gy gw gh < <(ac_card_geometry)
    ac_snap "$AC_CARD" "$shot"
    ac_count "$shot" 30 "$((F + 16))" "$((gw - 60))" 28 "$@"
}

# The hint: "25:00" in the secondary colour, with no typed digits in the field.
readonly hint_dark="108 108 108"
hint_shows() { (($(field_pixels $hint_dark 24) > 40 && $(field_pixels $digits_dark 40) <= 3)); }

case_timer_field() {
    echo "== typing into the timer field"
    # A stored 24-hour clock: unstored, it follows the locale, and the face's height with it.
    profile_with '{"h24": true}'
    check "the program starts" ac_launch orvanta-timer || return
    local x y w open closed F
    read -r x y w open < <(ac_card_geometry)
    click_grip
    ds_poll "$AC_SOON" ac_height_below "$open" || { fail "a click on the grip did not close the drawer"; return; }
    read -r x y w closed < <(ac_card_geometry)
    F=$((closed - 20))
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$open" || { fail "a second click on the grip did not open the drawer"; return; }
    # The field takes the keyboard 0.05 s after the drawer has opened; nothing on screen tells
    # when, so this waits twenty times as long.
    sleep 1
    ds_screenshot plain-7-drawer-opened
    xdotool type 10
    local start
    start=$(ac_now)
    xdotool key Return
    if ds_poll "$AC_SOON" ac_height_is "$closed" && ds_poll "$AC_SOON" face_counts_down "$start" 600; then
        pass "the opened drawer selects the duration: typing 10 and Return start a countdown of 10 minutes ($AC_SHOWN s left)"
    else
        fail "after opening the drawer, 10 and Return: card $(ac_card_geometry), the face shows no countdown from 600 s ($(ac_keep "$DS_TMP/countdown.png"))"
    fi
    click_grip
    ds_poll "$AC_SOON" ac_height_is "$open" || { fail "the grip did not open the drawer again"; return; }
    sleep 1
    xdotool key BackSpace
    ds_screenshot plain-8-field-empty
    if ds_poll "$AC_SOON" hint_shows; then pass "the emptied field with the keyboard shows the hint 25:00 in the secondary colour"; else fail "the emptied field shows $(field_pixels $hint_dark 24) hint pixels and $(field_pixels $digits_dark 40) text pixels ($(ac_keep "$DS_TMP/field.png"))"; fi
    xdotool type 0
    xdotool key Return
    ds_screenshot plain-9-rejected
    if ds_poll "$AC_SOON" hint_shows && ac_height_is "$open"; then pass "after a rejected start (0) the field is empty and shows the hint; the drawer stays open"; else fail "after 0 and Return: $(field_pixels $hint_dark 24) hint pixels, $(field_pixels $digits_dark 40) text pixels, card $(ac_card_geometry)"; fi
}

# ---------------------------------------------------------------------------------------------
case_late_tray() {
    echo "== a tray that starts after the program"
    ds_stop_pid "$DS_TRAY_PID"
    profile_with '{"theme": "light"}'
    check "the program starts without a tray" ac_launch orvanta-late-tray || return
    ds_start_tray || { fail "the tray did not start again"; return; }
    if ! ac_open_tray_menu; then
        fail "a right click on the icon in a tray that came later opened no menu: ${AC_WHY}"
        return
    fi
    ds_screenshot plain-10-late-tray-menu
    pass "the icon docks in a tray that starts later, and a right click opens its menu"
    ac_choose 1
    if ds_poll "$DS_TIMEOUT" ac_unmapped "$AC_CARD"; then pass "its \"Show / Hide Widget\" hides the card"; else fail "its \"Show / Hide Widget\" left the card visible"; fi
}

case_corners; ac_end_program
case_compositor; ac_end_program
case_dark_mode; ac_end_program
case_timer_field; ac_end_program
case_late_tray; ac_end_program
finish

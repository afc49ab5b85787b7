#!/usr/bin/env bash
# The program's promises about its store, kept under attack on a private X desktop (Xvfb,
# openbox, picom, trayer):
#  - killed with SIGKILL at random moments while notes are added, checked off and deleted, the
#    width is dragged and the drawer moved, it leaves a settings file that parses and a notes
#    list that is one of the states the user made, never a torn or emptied one; a third as many
#    kills again with the settings folder on a nearly full tmpfs (as root);
#  - launches at the same moment leave exactly one card (one writer), also over a lock file
#    left by something else;
#  - as another user with a runtime folder it cannot write, launches still leave one card;
#  - with no private folder for its lock it refuses with one line on standard error and a
#    dialog, and exits 1.
#
#   tst_endurance.sh PATH_TO_ORVANTA [KILLS]
#
# ORVANTA_E2E_SEED repeats a run's random moments. Exits 77 (skipped) when Xvfb or xdotool is
# missing, non-zero when any check fails.
# shellcheck disable=SC2086,SC2317  # colours "R G B" go on as three arguments; predicates run through ds_poll
set -u

bin=${1:?usage: tst_endurance.sh PATH_TO_ORVANTA [KILLS]}
kills=${2:-30}
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=desktop-session.sh
source "$here/desktop-session.sh"
DS_PROGRAM=$bin
# shellcheck source=acceptance-lib.sh
source "$here/acceptance-lib.sh"
ck_skip_unless Xvfb xdotool
AC_BIN=$bin
ck_require "the run" openbox picom trayer xprop xwininfo xdpyinfo import convert python3 setpriv
[[ -x $bin ]] || { fail "no program at $bin"; finish; }

# Bash reports every copy killed here ("... Killed ..."): expected, and noise.
exec 2> >(grep --line-buffered -v ' Killed  ' >&2)

seed=${ORVANTA_E2E_SEED:-$$}
RANDOM=$seed
echo "seed $seed (ORVANTA_E2E_SEED=$seed repeats this run)"

ds_start || { fail "the private desktop did not start"; finish; }

readonly surface_dark="10 10 10"

# --- what the settings file holds ---

# "absent", "torn: WHY", or "width W notes N1|N2|..." with each note as open:TEXT or done:TEXT.
stored_state() {
    python3 - "$(ac_settings_file)" <<'EOF'
import base64, binascii, json, math, sys
try:
    raw = open(sys.argv[1], 'rb').read()
except FileNotFoundError:
    print("absent"); sys.exit()
try:
    settings = json.loads(raw)
    notes = []
    if "notes" in settings:
        for note in json.loads(base64.b64decode(settings["notes"]["base64"], validate=True)):
            notes.append(("done:" if note["done"] else "open:") + note["text"])
    width = settings.get("cardWidth", "-")
    if width != "-" and not (isinstance(width, (int, float)) and math.isfinite(width) and 180 <= width <= 340):
        print("torn: cardWidth %r" % width); sys.exit()
except (ValueError, KeyError, TypeError, AttributeError, binascii.Error) as error:
    print("torn: %s (%d bytes)" % (error, len(raw))); sys.exit()
print("width %s notes %s" % (width, "|".join(notes)))
EOF
}

notes_of() { [[ $1 == absent ]] && return; echo "${1#* notes }"; }

# --- the card: where its parts are, at any width ---

# Sets x y w h, the scale s1000 (width / 220, times 1000), the dividers F and DIV2 and
# ROWS (the middle row of each note) from one picture of the card.
measure_card() {
    local shot rows line
    shot=$(ac_tmp card.png)
    read -r x y w h < <(ac_card_geometry) || return 1
    s1000=$((w * 1000 / 220))
    ac_snap "$AC_CARD" "$shot" || return 1
    # Rows unlike the surface at the left margin, below the rounded corner: the two dividers.
    local below_corner=$((16 * s1000 / 1000))
    mapfile -t rows < <(ac_ink_rows "$shot" 4 "$below_corner" 1 "$((h - 28 - below_corner))" $surface_dark 8)
    ((${#rows[@]} >= 2)) || return 1
    F=${rows[0]%% *}
    DIV2=${rows[1]%% *}
    # Each note's cross, near the right edge, below the notes field.
    local top=$((DIV2 + 40 * s1000 / 1000))
    ROWS=()
    while read -r line; do
        [[ -n $line ]] && ROWS+=($((( ${line% *} + ${line#* }) / 2)))
    done < <(ac_ink_rows "$shot" "$((w - 25 * s1000 / 1000))" "$top" "$((12 * s1000 / 1000))" "$((h - 20 - top))" $surface_dark 30)
    rm -f "$shot"
}

scaled() { echo $(($1 * s1000 / 1000)); }

alive() { ! ds_process_gone "$AC_APP"; }
file_stamp() { sha256sum "$(ac_settings_file)" 2>/dev/null; }
file_changed_from() { [[ $(file_stamp) != "$1" ]]; }

# --- 1. the kill loop ---

# One life: start the program, check what it finds, plan a few changes, kill it at a random
# moment while they are made. The notes it leaves must be one of the states the plan passes
# through (a prefix of the changes, applied whole).
kill_loop() {
    local kills=$1 where=$2 least_made=$(($1 / 5))
    echo "== $kills kills at random moments$where"
    ds_new_profile
    if [[ -n $where ]]; then
        nearly_full "$XDG_CONFIG_HOME" || return
        # Some saves may find no room; the promise is the same, only fewer changes are stored.
        least_made=1
    fi
    local torn=0 lost=0 shown_wrong=0 lives=0 made=0 state life i n delay before killer action what arg current found candidate
    local -a notes states actions
    state=$(stored_state)
    for ((life = 1; life <= kills; life++)); do
        if ! ac_launch "orvanta-life$life"; then
            fail "life $life: the program did not start again after a kill ($AC_WHY)"
            ac_end_program
            break
        fi
        lives=$((lives + 1))
        if ! measure_card; then
            fail "life $life: the card's drawer could not be measured"
            ac_end_program
            break
        fi
        IFS='|' read -r -a notes <<<"$(notes_of "$state")"
        if ((${#ROWS[@]} != ${#notes[@]})); then
            shown_wrong=$((shown_wrong + 1))
            echo "  life $life: the card shows ${#ROWS[@]} notes, the store holds ${#notes[@]} ($state)"
        fi

        # The plan: note changes first (an add keeps the rows above in place, a delete comes last
        # among them), then maybe one drag that changes the layout.
        states=("$(IFS='|'; echo "${notes[*]}")")
        actions=()
        n=${#notes[@]}
        if ((n < 5 && RANDOM % 3 > 0)); then
            notes+=("open:n$life")
            actions+=("add n$life")
            states+=("$(IFS='|'; echo "${notes[*]}")")
        fi
        if ((n > 0 && RANDOM % 2)); then
            i=$((RANDOM % n))
            if [[ ${notes[i]} == open:* ]]; then notes[i]=done:${notes[i]#open:}; else notes[i]=open:${notes[i]#done:}; fi
            actions+=("toggle $i")
            states+=("$(IFS='|'; echo "${notes[*]}")")
        fi
        if ((n > 0 && (n >= 4 || RANDOM % 3 == 0))); then
            i=$((RANDOM % n))
            notes=("${notes[@]:0:i}" "${notes[@]:i+1}")
            actions+=("delete $i")
            states+=("$(IFS='|'; echo "${notes[*]}")")
        fi
        case $((RANDOM % 3)) in
        0) actions+=("width $((RANDOM % 241 - 120))") ;;
        1) actions+=("drawer") ;;
        esac

        # With note changes planned, the kill clock starts when the first one reaches the file: on a
        # busy machine the clicks may take longer than any fixed delay.
        delay=$(awk -v r=$RANDOM 'BEGIN {printf "%.3f", r % 1400 / 1000}')
        before=$(file_stamp)
        (
            ((${#states[@]} == 1)) || ds_poll "$AC_SOON" file_changed_from "$before"
            sleep "$delay" && kill -KILL "$AC_APP" 2>/dev/null
        ) &
        killer=$!
        for action in "${actions[@]}"; do
            alive || break
            read -r what arg <<<"$action"
            case $what in
            add)
                xdotool mousemove "$((x + w / 2))" "$((y + DIV2 + $(scaled 25)))" click 1
                xdotool type --delay 10 "$arg"
                xdotool key Return
                ;;
            toggle) xdotool mousemove "$((x + $(scaled 20)))" "$((y + ROWS[arg]))" click 1 ;;
            delete) xdotool mousemove "$((x + w - $(scaled 19)))" "$((y + ROWS[arg]))" click 1 ;;
            width) ac_drag "$((x + 4))" "$((y + h / 2))" "$arg" 0 6 ;;
            drawer) ac_drag "$((x + w / 2))" "$((y + h - 10))" 0 "$((F - h))" 6 ;;
            esac
        done
        wait "$killer"
        if ! ac_quit_wait; then
            fail "life $life: the program did not end after SIGKILL"
            ac_end_program
            break
        fi

        state=$(stored_state)
        echo "  life $life: ${actions[*]:-nothing}; killed after ${delay}s; stored: $state"
        case $state in
        torn:*)
            torn=$((torn + 1))
            ;;
        *)
            current=$(notes_of "$state") found=""
            for candidate in "${states[@]}"; do [[ $candidate == "$current" ]] && found=1; done
            if [[ -z $found ]]; then
                lost=$((lost + 1))
                echo "    never made: '$current'; the states made were: ${states[*]/#/ / }"
            fi
            [[ $current != "${states[0]}" ]] && made=$((made + 1))
            ;;
        esac
    done
    if ((lives == kills && torn == 0)); then
        pass "$kills SIGKILLs at random moments$where: the settings file parsed after every one"
    else
        fail "$torn torn settings files in $lives lives of $kills"
    fi
    # Most lives get to store a change before their kill; if none do, the clicks missed the card.
    if ((lives == kills && lost == 0 && made >= least_made)); then
        pass "after every kill$where the notes were one of the states made ($made lives stored a change), never torn or emptied"
    elif ((made < least_made)); then
        fail "only $made of $lives lives stored a change: the changes did not reach the card"
    else
        fail "$lost kills left notes that were never made ($lives lives)"
    fi
    if ((shown_wrong == 0)); then
        pass "after every restart the card showed as many notes as were stored"
    else
        fail "$shown_wrong restarts showed another number of notes than the store holds"
    fi
    ds_screenshot "endurance-kills${where:+-nearly-full}"
    if [[ -n $where ]]; then
        umount "$XDG_CONFIG_HOME" || fail "the nearly full disk could not be unmounted"
        trap ds_stop EXIT
    fi
}

# A tmpfs on the settings folder with three pages left: room for the instance lock, the file
# and one temporary beside it, so that a temporary a kill leaves behind stops every later save
# unless the next start clears it.
nearly_full() {
    local size=$((64 * 1024)) filler
    if ((EUID != 0)); then
        echo "  (skipped: mounting a tmpfs needs root)"
        return 1
    fi
    mount -t tmpfs -o "size=$size,mode=0700" tmpfs "$1" || { fail "no tmpfs for the nearly full disk"; return 1; }
    # Unmounted before the session's folder is removed, also when the run is stopped.
    # shellcheck disable=SC2064  # the folder is fixed now
    trap "umount '$1'; ds_stop" EXIT
    filler=$1/filler
    head -c "$((size - 3 * 4096))" /dev/zero >"$filler" 2>/dev/null
    echo "  the settings folder is a $((size / 1024)) KiB tmpfs with $(df --output=avail -B1 "$1" | tail -n1) bytes free"
}

kill_loop "$kills" ""
kill_loop "$((kills / 3))" " on a nearly full disk"

# --- 2. launches at the same moment ---

cards() { ac_windows_titled Orvanta; }
count_cards_is() { (($(cards | wc -l) == $1)); }
gone_or_one_left() {
    local pid running=0
    for pid in "$@"; do ds_process_gone "$pid" || running=$((running + 1)); done
    ((running <= 1))
}

# Starts COUNT copies at once with the given command prefix; checks that one stays with one
# card and that every other exits with status 0.
simultaneous() {
    local what=$1 count=$2
    shift 2
    local pids=() pid i running=() statuses=()
    for ((i = 1; i <= count; i++)); do
        ds_spawn "orvanta-together$i" "$@" "$bin"
        pids+=("$DS_LAST_PID")
    done
    if ! ds_poll "$((3 * AC_SOON))" gone_or_one_left "${pids[@]}"; then
        fail "$what: more than one copy still runs after $((3 * AC_SOON)) s"
    fi
    ds_poll "$AC_SOON" count_cards_is 1
    # A second card would be mapped a moment after the first.
    sleep 0.5
    for pid in "${pids[@]}"; do
        if ds_process_gone "$pid"; then
            ds_wait_exit 1 "$pid"
            statuses+=("$DS_EXIT_STATUS")
        else
            running+=("$pid")
        fi
    done
    local bad
    bad=$(printf '%s\n' "${statuses[@]}" | grep -vcx 0)
    if ((${#running[@]} == 1)) && count_cards_is 1 && ((bad == 0)); then
        pass "$what: $count launches at once leave one copy with one card; the other $((count - 1)) exit 0"
    else
        fail "$what: $count launches at once: ${#running[@]} copies run, $(cards | wc -l) cards, exit statuses ${statuses[*]}"
        ds_screenshot "endurance-together-$count"
    fi
    for pid in "${running[@]}"; do ds_stop_pid "$pid"; done
    ds_poll "$AC_SOON" count_cards_is 0
}

echo "== launches at the same moment"
for round in 1 2; do
    ds_new_profile
    simultaneous "round $round" 10
done

if (($(id -u) == 0)); then
    # A lock file another user left (root owns this one; the copies run as nobody).
    victim=65534
    ds_new_profile
    chmod 0711 "$DS_TMP" "$(dirname "$XDG_RUNTIME_DIR")"
    chown -R "$victim:$victim" "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    mkdir -m 0700 "$XDG_RUNTIME_DIR/orvanta"
    chown "$victim:$victim" "$XDG_RUNTIME_DIR/orvanta"
    : >"$XDG_RUNTIME_DIR/orvanta/lock"
    simultaneous "over another user's empty lock file" 10 setpriv --reuid="$victim" --regid="$victim" --clear-groups

    # What a user has after su: a runtime folder that belongs to the user it was.
    ds_new_profile
    chmod 0711 "$DS_TMP" "$(dirname "$XDG_RUNTIME_DIR")"
    chown -R "$victim:$victim" "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
    shared=$(mktemp -d "$DS_TMP/tmp.XXXXXX")
    chmod 1777 "$shared"
    simultaneous "a runtime folder of another user" 3 env TMPDIR="$shared" setpriv --reuid="$victim" --regid="$victim" --clear-groups
else
    echo "  (not root: the checks with another user's files are left out)"
fi

# --- 3. no private folder: a clear refusal ---

dialog_up() { [[ -n $(xdotool search --onlyvisible --name '^Orvanta did not start$' 2>/dev/null) ]]; }

# Starts the program with the given command prefix and checks that it refuses: a dialog, then
# exit status 1 with one line on standard error that contains EXPECTED, and no card of its own
# (CARDS is how many cards run beside it).
refusal() {
    local name=$1 expected=$2 cards=$3
    shift 3
    ds_spawn "orvanta-$name" "$@" "$bin"
    local refused=$DS_LAST_PID
    if ds_poll "$DS_TIMEOUT" dialog_up; then
        ds_screenshot "endurance-$name"
        pass "$name: a dialog \"Orvanta did not start\" tells the user"
        xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^Orvanta did not start$' | head -n1)" key Return
    else
        fail "$name: no dialog within ${DS_TIMEOUT} s"
    fi
    if ds_wait_exit "$DS_TIMEOUT" "$refused"; then
        local message
        message=$(grep -v '^QStandardPaths' "$DS_TMP/orvanta-$name.log")
        if ((DS_EXIT_STATUS == 1)) && [[ $(wc -l <<<"$message") == 1 && $message == *"$expected"* ]] && count_cards_is "$cards"; then
            pass "$name: it exits 1 without a card, saying why in one line: $message"
        else
            fail "$name: exit status $DS_EXIT_STATUS, $(cards | wc -l) cards, standard error: $message"
        fi
    else
        fail "$name: the refusing launch still runs"
        ds_stop_pid "$refused"
    fi
}

echo "== no private folder for the lock"
ds_new_profile
runtime=$XDG_RUNTIME_DIR
unset XDG_RUNTIME_DIR
shared=$(mktemp -d "$DS_TMP/tmp.XXXXXX")
# Open to others, as something else might have made it.
mkdir -m 0755 "$shared/orvanta-$(id -u)"
chmod 0755 "$shared/orvanta-$(id -u)"
refusal refused "$shared/orvanta-$(id -u)" 0 env TMPDIR="$shared"
export XDG_RUNTIME_DIR=$runtime

# --- 4. another session: one writer per settings folder ---

# A copy runs; launches that cannot reach it (another runtime folder, or its own removed at
# logout while it lived on) refuse, and never write the settings it keeps.
echo "== launches from another session"
ds_new_profile
mkdir -m 0700 "$XDG_CONFIG_HOME/orvanta"
stored_notes=$(printf '[{"id":"0F6B3B0E-4C1A-4F8E-9C1B-2D3E4F5A6B7C","text":"kept","done":false}]' | base64 -w0)
printf '{"cardWidth": 260, "notes": {"base64": "%s"}}\n' "$stored_notes" >"$(ac_settings_file)"
before=$(sha256sum "$(ac_settings_file)")
if ac_launch orvanta-first-session; then
    other=$(mktemp -d "$DS_TMP/runtime.XXXXXX")
    refusal other-runtime "process $AC_APP" 1 env XDG_RUNTIME_DIR="$other"
    rm -rf "$XDG_RUNTIME_DIR/orvanta"
    refusal runtime-removed "$XDG_CONFIG_HOME/orvanta" 1 env
    if [[ $(sha256sum "$(ac_settings_file)" 2>/dev/null) == "$before" ]] && alive; then
        pass "the first copy runs on, and its settings file is as it left it"
    else
        fail "the first copy's settings file changed or the copy is gone"
    fi
    ac_end_program
else
    fail "the first copy did not start ($AC_WHY)"
    ac_end_program
fi

finish

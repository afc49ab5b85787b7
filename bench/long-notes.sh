#!/usr/bin/env bash
# Long notes, timed. On a private X desktop (tests/e2e/desktop-session.sh, 1280x800):
#  - the program's start-up to its first frame with content, with five stored notes of
#    100,000 characters each against five short ones (median of several rounds), and
#  - bench/long-notes.cpp, in one process: the card coming up with those notes, and the time
#    to add one more, for short notes and long ones.
# Figures only, nothing asserted; the target is long within 1.5x of short.
#
#   bench/long-notes.sh [PROGRAM]     PROGRAM: another orvanta binary to time, e.g. an older build
#
# Builds into build-bench/ (or $ORVANTA_BENCH_BUILD_DIR; an existing build there is reused as
# configured).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
# damage-watch sees the first frame through the X Damage extension.
dpkg-query -W -f='${Status}' libxcb-damage0-dev 2>/dev/null | grep -q 'install ok installed' ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends libxcb-damage0-dev; }

build=${ORVANTA_BENCH_BUILD_DIR:-build-bench}
[[ -f $build/CMakeCache.txt ]] ||
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target orvanta damage-watch long-notes >/dev/null
program=${1:-$build/src/app/orvanta}
rounds=${ORVANTA_BENCH_ROUNDS:-5}

# shellcheck source=tests/e2e/desktop-session.sh
source tests/e2e/desktop-session.sh
ds_start
# The session's waits return the status of what they stop: under set -e the first one
# would end the clean-up and leave the X server behind.
trap 'set +e; ds_stop' EXIT

# store_notes LENGTH: five notes of LENGTH characters, without a space, as the program stores them.
store_notes() {
    mkdir -p "$XDG_CONFIG_HOME/orvanta"
    python3 - "$XDG_CONFIG_HOME/orvanta/settings.json" "$1" <<'PY'
import base64, json, sys, uuid
path, length = sys.argv[1], int(sys.argv[2])
notes = []
for i in range(5):
    head = f"https://example.org/{i}/"
    notes.append({"id": str(uuid.uuid4()).upper(), "text": head + "a" * max(length - len(head), 0), "done": False})
data = json.dumps(notes, separators=(",", ":")).encode()
with open(path, "w") as f:
    json.dump({"notes": {"base64": base64.b64encode(data).decode()}}, f)
PY
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

startup() {
    local length=$1 round
    for ((round = 0; round < rounds; round++)); do
        ds_new_profile
        store_notes "$length"
        "$build/bench/damage-watch" first-frame orvanta Orvanta -- "$program"
    done | median
}

echo "program: $program"
short=$(startup 10)
long=$(startup 100000)
echo "start-up to first frame, five notes of 10 characters:      $short ms"
echo "start-up to first frame, five notes of 100,000 characters: $long ms ($(awk -v a="$long" -v b="$short" 'BEGIN {printf "%.2f", a / b}')x)"
"$build/bench/long-notes" 100000 2>/dev/null

#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary folder and checks it with the standard
# validators: desktop-file-validate, appstreamcli, lintian (its errors fail). Runs the unpacked
# program with --version, --help, a bad argument and no display, none of which may open a window.
#
#   tst_package.sh BUILD_DIR SOURCE_DIR
#
# Exits 77 (skipped) when a tool is missing; scripts/install-deps.sh --tests installs them all.
set -u

build=${1:?usage: tst_package.sh BUILD_DIR SOURCE_DIR}
source_dir=${2:?usage: tst_package.sh BUILD_DIR SOURCE_DIR}
readonly id=io.github.orvanta.Orvanta
for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian rsvg-convert compare; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
finish() {
    echo "$passed passed, $failed failed"
    exit $((failed > 0))
}
# Runs a check quietly and shows its output only when it fails.
check() {
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then pass "$what"; else fail "$what:"$'\n'"$out"; fi
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    fail "cpack -G DEB:"$'\n'"$(tail -n 30 "$tmp/cpack.log")"
    finish
fi
debs=("$tmp"/out/orvanta_*.deb)
deb=${debs[0]}
[[ -f $deb ]] || { fail "cpack made no package"; finish; }
pass "cpack made $(basename "$deb")"
root=$tmp/root
check "dpkg-deb -x unpacks it" dpkg-deb -x "$deb" "$root"

expected=(usr/bin/orvanta "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
          "usr/share/icons/hicolor/scalable/apps/$id.svg" usr/share/man/man1/orvanta.1.gz
          usr/share/doc/orvanta/copyright usr/share/doc/orvanta/changelog.gz usr/share/orvanta/sounds/Glass.wav)
missing=()
for path in "${expected[@]}"; do [[ -f $root/$path ]] || missing+=("$path"); done
if ((${#missing[@]} == 0)); then pass "the package holds the program and its files"; else fail "missing from the package: ${missing[*]}"; fi

# Each PNG is the size its folder names, and what scripts/make-icons.sh makes of the SVG today.
"$source_dir/scripts/make-icons.sh" "$tmp/icons" >/dev/null
icons_ok=1
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [[ $(file -b "$png") != "PNG image data, $size x $size,"* ]]; then
        fail "icon ${size}x${size}: $(file -b "$png")"; icons_ok=0
    elif [[ $(compare -metric AE -fuzz 2% "$png" "$tmp/icons/${size}x${size}/apps/$id.png" null: 2>&1) != 0 ]]; then
        fail "icon ${size}x${size} differs from the SVG: run scripts/make-icons.sh"; icons_ok=0
    fi
done
((icons_ok)) && pass "the eight hicolor icons have their sizes and match the SVG"

if [[ $(file -b "$root/usr/bin/orvanta") == *", stripped" ]]; then
    pass "the program is stripped"
else
    fail "the program is not stripped: $(file -b "$root/usr/bin/orvanta")"
fi

check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/$id.desktop"
check "appstreamcli validate --no-net --strict" \
    appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$id.metainfo.xml"
check "appstreamcli validate-tree --no-net --strict" appstreamcli validate-tree --no-net --strict "$root"

# The program as installed, in an empty profile, so that nothing reaches a copy that runs here.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
bin=$root/usr/bin/orvanta
# run NAME ARGS...: status in $status, output in $tmp/NAME.out and .err; no display at all.
run() {
    local name=$1
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$bin" "$@" \
        >"$tmp/$name.out" 2>"$tmp/$name.err"
    status=$?
}
lines() { wc -l <"$1"; }

version=$(dpkg-deb -f "$deb" Version)
run version --version
if ((status == 0)) && [[ $(head -n1 "$tmp/version.out") == "Orvanta $version" ]] && [[ ! -s $tmp/version.err ]]; then
    pass "--version answers 'Orvanta $version' with no display"
else
    fail "--version: status $status, out '$(head -n1 "$tmp/version.out")', err '$(cat "$tmp/version.err")'"
fi
release=$(grep -o '<release version="[^"]*"' "$root/usr/share/metainfo/$id.metainfo.xml" | head -n1 | cut -d'"' -f2)
man_version=$(zcat "$root/usr/share/man/man1/orvanta.1.gz" | grep -m1 '^\.TH' | grep -o 'Orvanta [0-9.]*')
changelog_version=$(zcat "$root/usr/share/doc/orvanta/changelog.gz" | head -n1 | grep -o '([^)]*)')
if [[ $release == "$version" && $man_version == "Orvanta $version" && $changelog_version == "($version)" ]]; then
    pass "the metainfo's latest release, the manual page and the changelog say $version"
else
    fail "versions differ: package $version, metainfo '$release', manual '$man_version', changelog '$changelog_version'"
fi

run help --help
if ((status == 0)) && grep -q '^Usage: orvanta' "$tmp/help.out" && [[ ! -s $tmp/help.err ]]; then
    pass "--help answers with the usage"
else
    fail "--help: status $status, out '$(head -n1 "$tmp/help.out")', err '$(cat "$tmp/help.err")'"
fi

run bad --frobnicate
if ((status == 2)) && [[ ! -s $tmp/bad.out ]] && (($(lines "$tmp/bad.err") == 1)) \
    && grep -q -- "'--frobnicate'.*--help" "$tmp/bad.err"; then
    pass "a bad argument: status 2, '$(cat "$tmp/bad.err")'"
else
    fail "a bad argument: status $status, out '$(cat "$tmp/bad.out")', err '$(cat "$tmp/bad.err")'"
fi

run nodisplay
if ((status == 1)) && (($(lines "$tmp/nodisplay.err") == 1)) && grep -q 'no display' "$tmp/nodisplay.err"; then
    pass "no display: status 1, '$(cat "$tmp/nodisplay.err")'"
else
    fail "no display: status $status (Qt aborts with 134), err '$(cat "$tmp/nodisplay.err")'"
fi

env -u DISPLAY timeout 10 "$bin" --version >/dev/full 2>/dev/null
status=$?
if ((status == 1)); then pass "--version into a full disk: status 1"; else fail "--version into a full disk: status $status"; fi

# The installed program finds its chime: the helper that plays it reaches the sound server, here
# a socket that takes the connection and never answers (without the file it gives up first).
pulse=$tmp/pulse-socket
python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(1)
server.settimeout(20)
try:
    server.accept()
    print("connected")
except OSError:
    pass
' "$pulse" >"$tmp/pulse.out" &
listener=$!
for ((i = 0; i < 200; i++)); do [[ -S $pulse ]] && break; sleep 0.05; done
env -u DISPLAY PULSE_SERVER="unix:$pulse" timeout 5 "$bin" --play-sound Glass >/dev/null 2>&1
wait "$listener"
if [[ $(cat "$tmp/pulse.out") == connected ]]; then
    pass "the installed program plays $(basename "$root"/usr/share/orvanta/sounds/Glass.wav) from /usr/share/orvanta/sounds"
else
    fail "the installed program's sound helper never reached the sound server"
fi

if lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1; then
    pass "lintian: no errors, $(grep -c '^W:' "$tmp/lintian.log") warnings"
    grep '^[WI]:' "$tmp/lintian.log" | sed 's/^/    /' 
else
    fail "lintian:"$'\n'"$(cat "$tmp/lintian.log")"
fi
finish

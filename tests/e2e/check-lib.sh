# Counting the checks of an end-to-end run; finish shows the logs of desktop-session.sh.
#
#   pass TEXT / fail TEXT     one result
#   check TEXT COMMAND...     one result: whether the command succeeds (it may say why not in AC_WHY)
#   finish                    on failure the tail of each program log; the totals; exits 1 if any failed
#   ck_require WHAT TOOL...   fails and finishes unless every tool is installed
#   ck_skip_unless TOOL...    exits 77 (skipped) unless every tool is installed
# shellcheck shell=bash

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

#!/usr/bin/env bash
# Runs Debian's shellcheck on every shell script of the repository: the *.sh files and the
# files whose first line starts bash or sh. .shellcheckrc lets it follow what the scripts
# source; an exception stands in the script beside the line it excuses, with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v shellcheck >/dev/null || { echo "SKIP: shellcheck is not installed"; exit 77; }
mapfile -t files < <(git ls-files 2>/dev/null || find . -path './build*' -prune -o -path ./.git -prune -o -type f -print)
# A file deleted but not yet committed is still listed.
mapfile -t files < <(for file in "${files[@]}"; do [[ -f $file ]] && echo "$file"; done)
mapfile -t scripts < <(printf '%s\n' "${files[@]}" | grep '\.sh$' || true)
mapfile -t others < <(printf '%s\n' "${files[@]}" | grep -v '\.sh$')
if ((${#others[@]})); then
    mapfile -t -O "${#scripts[@]}" scripts < <(awk 'FNR == 1 && /^#!.*[\/ ](bash|sh)( |$)/ {print FILENAME} {nextfile}' "${others[@]}")
fi
shellcheck "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts without findings"

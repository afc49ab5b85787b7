#!/usr/bin/env bash
# Keeps the layers of src/ apart. Each folder may include only the folders listed for
# it; only the platform folder talks to X11, D-Bus or the sound server, each from its
# own subfolder, and xcb never leaks into a header.
set -uo pipefail
cd "$(dirname "$0")/../src" || exit 1

declare -A allowed=(
    [core]="core"
    [platform]="core platform"
    [appearance]="core appearance"
    [widget]="core appearance widget"
    [preferences]="core appearance preferences"
    [app]="core platform appearance widget preferences app"
)

status=0
complain() { echo "layers: $*"; status=1; }

for layer in "${!allowed[@]}"; do
    while IFS=: read -r file line include; do
        target=${include#*\"}
        target=${target%%/*}
        [[ " ${allowed[$layer]} " == *" $target "* ]] || complain "$file:$line includes \"${include#*\"} ($layer may use: ${allowed[$layer]})"
    done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' "$layer")
done

# System interfaces, each in its one place.
check_system() {
    local pattern=$1 where=$2 hits
    hits=$(grep -rln --include='*.h' --include='*.cpp' -E "^#include <($pattern)" . | grep -v -E "^\./($where)" || true)
    [[ -z $hits ]] || complain "<$pattern...> outside $where: ${hits//$'\n'/ }"
}
check_system 'xcb/' 'platform/x11/[^/]*\.cpp$'
check_system 'QDBus|QtDBus' 'platform/(portal|atspi|notifications)/'
check_system 'pulse/' 'platform/sound/'
check_system 'unicode/' 'core/[^/]*\.cpp$'

((status == 0)) && echo "layers: every include stays in its layer"
exit $status

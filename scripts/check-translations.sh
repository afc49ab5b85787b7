#!/usr/bin/env bash
# Checks that translations/*.ts hold every text of the sources and nothing else, as
# scripts/update-translations.sh would leave them, and that every one is translated.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for ts in translations/*.ts; do
    if grep -q 'type="unfinished"\|type="vanished"\|type="obsolete"' "$ts"; then
        echo "$ts: texts untranslated or no longer used:"
        grep -B2 'type="unfinished"\|type="vanished"\|type="obsolete"' "$ts" | grep '<source>' || true
        status=1
    fi
done
# The .ts files as the update script would write them from the sources now.
cp -r src translations scripts "$tmp/"
"$tmp/scripts/update-translations.sh"
if ! diff -r translations "$tmp/translations"; then
    echo "translations/ is behind the sources: run scripts/update-translations.sh and translate what it adds"
    status=1
fi
exit $status

#!/usr/bin/env bash
# Brings translations/*.ts up to date with the sources: new texts are added unfinished,
# texts no longer in the sources are dropped. English keeps only the plural forms.
#   scripts/update-translations.sh
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
options=(-locations none -no-obsolete -silent)
"$lupdate" "${options[@]}" src -ts translations/orvanta_de.ts translations/orvanta_fr.ts
"$lupdate" "${options[@]}" -pluralonly src -ts translations/orvanta_en.ts

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
# The desktop entry and the AppStream metadata speak every language the program does: each
# text the menus and software centres show has its German and French beside the English.
python3 - packaging/*.desktop packaging/*.metainfo.xml <<'CHECK' || status=1
import re, sys
import xml.etree.ElementTree as ET
LANGUAGES = ('de', 'fr')
LANG = '{http://www.w3.org/XML/1998/namespace}lang'
missing = []
for path in sys.argv[1:]:
    if path.endswith('.desktop'):
        entry = dict(re.findall(r'^([A-Za-z]+(?:\[[a-z_A-Z@]+\])?)=(.*)$', open(path, encoding='utf-8').read(), re.M))
        for key in ('Name', 'GenericName', 'Comment', 'Keywords'):
            missing += [f'{path}: {key}[{lang}]' for lang in LANGUAGES if key in entry and not entry.get(f'{key}[{lang}]')]
    else:
        root = ET.parse(path).getroot()
        description = root.find('description')
        groups = [(root, 'summary'), (description, 'p')] + [(ul, 'li') for ul in description.findall('ul')]
        for parent, tag in groups:
            english = [e for e in parent.findall(tag) if e.get(LANG) is None]
            for lang in LANGUAGES:
                if len([e for e in parent.findall(tag) if e.get(LANG) == lang]) != len(english):
                    missing.append(f'{path}: <{tag}> in {lang}')
for line in missing:
    print('untranslated: ' + line)
sys.exit(1 if missing else 0)
CHECK
exit $status

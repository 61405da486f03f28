#!/usr/bin/env bash
# Brings the catalogues in translations/ up to date with the texts marked in src/: new texts
# are added as unfinished, texts no longer in the sources are dropped, finished translations
# stay, and a text that moved to another class keeps its translation (the first pass keeps
# vanished entries so carry-translations.py can find them; the second drops them). English is
# the source language, so its catalogue holds only the plural forms.
# The build compiles the catalogues (lrelease); this script is run by hand after texts change.
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"
common=(-locations none -source-language en -extensions cpp,h)
for language in de fr ru; do
    catalogue="translations/stowbird_${language}.ts"
    "$LUPDATE" "${common[@]}" -target-language "$language" src -ts "$catalogue"
    python3 scripts/carry-translations.py "$catalogue"
    "$LUPDATE" "${common[@]}" -no-obsolete -target-language "$language" src -ts "$catalogue"
done
english=translations/stowbird_en.ts
"$LUPDATE" "${common[@]}" -pluralonly -target-language en src -ts "$english"
python3 scripts/carry-translations.py "$english"
"$LUPDATE" "${common[@]}" -no-obsolete -pluralonly -target-language en src -ts "$english"

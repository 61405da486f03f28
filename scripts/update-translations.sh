#!/usr/bin/env bash
# Brings the catalogues in translations/ up to date with the texts marked in src/: new texts
# are added as unfinished, texts no longer in the sources are dropped, finished translations
# stay. English is the source language, so its catalogue holds only the plural forms.
# The build compiles the catalogues (lrelease); this script is run by hand after texts change.
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"
common=(-locations none -no-obsolete -source-language en -extensions cpp,h)
for language in de fr ru; do
    "$LUPDATE" "${common[@]}" -target-language "$language" src \
        -ts "translations/stowbird_${language}.ts"
done
"$LUPDATE" "${common[@]}" -pluralonly -target-language en src -ts translations/stowbird_en.ts

#!/usr/bin/env bash
# Lists source files in src/ over 600 lines and functions over 80 lines (lambdas are counted
# inside their function). Tables (functions whose body is mostly a data literal) may be long;
# name them in ALLOWED. Exits non-zero when anything else is over.
set -euo pipefail
cd "$(dirname "$0")/.."
MAX_FILE="${MAX_FILE:-600}"
MAX_FUNCTION="${MAX_FUNCTION:-80}"
# The key table is a list of rows, one per key: long by nature, read as data.
ALLOWED="${ALLOWED:-TriageKeyTable::entries}"
status=0
while read -r lines file; do
    [ "$file" = total ] && continue
    if [ "$lines" -gt "$MAX_FILE" ]; then
        echo "file $file: $lines lines"
        status=1
    fi
done < <(find src -name '*.cpp' -o -name '*.h' | xargs wc -l)
# One awk pass over ctags' tags (fields: name, file, pattern, kind, then key:value pairs).
over=$("${CTAGS:-ctags}" --fields=+ne --c++-kinds=f --language-force=C++ -o - \
    $(find src -name '*.cpp' | sort) |
    awk -F'\t' -v max="$MAX_FUNCTION" -v allowed=" $ALLOWED " '
        $1 !~ /^__anon/ {
            start = ""; end = ""; scope = ""
            for (i = 5; i <= NF; i++) {
                split($i, pair, ":")
                if (pair[1] == "line") start = pair[2]
                else if (pair[1] == "end") end = pair[2]
                else if (pair[1] == "class") scope = substr($i, 7)
            }
            if (start == "" || end == "") next
            name = (scope == "" ? $1 : scope "::" $1)
            if (end - start + 1 > max && index(allowed, " " name " ") == 0)
                printf "function %s (%s:%d): %d lines\n", name, $2, start, end - start + 1
        }')
if [ -n "$over" ]; then
    echo "$over"
    status=1
fi
exit $status

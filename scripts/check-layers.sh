#!/usr/bin/env bash
# Checks the layer rule on what the compiler actually read: the header list Ninja keeps for
# every object of the program (ninja -t deps), so that an include is judged by the file it
# resolved to however it was written (a relative path, angle brackets, a comment or a macro in
# the directive, an .inl or .hpp file, a file at the root of src/). Each folder of src/ is a
# layer and reaches only its own layer and the layers to its left,
#   models <- platform <- crashreporting <- services <- views <- app
# the files at the root of src/ and the generated BuildSettings.h sit with models, under every
# layer, and the core layers (models to services, and the whole stowbird_core library) reach
# no Qt widget header. Prints each offence after the source file it was compiled from.
# Usage: check-layers.sh [build-dir [source-dir]]. Objects not built yet cannot be judged: with
# no offence among the others the check then ends with status 77 (CTest's "skipped").
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd -P)
build=$(cd "${1:-$repo/${STOWBIRD_BUILD_DIR:-build}}" && pwd -P)
src=$(cd "${2:-$repo/src}" && pwd -P)
ninja="${NINJA:-ninja}"
if [ ! -f "$build/build.ninja" ]; then
    echo "Layer rule: $build is not a Ninja build folder (scripts/build.sh makes one)" >&2
    exit 2
fi
mapfile -t objects < <("$ninja" -C "$build" -t targets all |
    sed -n 's|^\(src/CMakeFiles/[^:]*\.o\):.*|\1|p')
if [ ${#objects[@]} -eq 0 ]; then
    echo "Layer rule: no objects of src/ in $build" >&2
    exit 2
fi
"$ninja" -C "$build" -t deps "${objects[@]}" | awk -v build="$build" -v src="$src" '
function canonical(path, parts, n, i, out, depth) {
    if (path !~ /^\//) path = build "/" path
    if (path !~ /\/\.\.?\//) return path
    n = split(path, parts, "/")
    depth = 0
    for (i = 2; i <= n; i++) {
        if (parts[i] == "." || parts[i] == "") continue
        if (parts[i] == "..") { if (depth > 0) depth--; continue }
        out[++depth] = parts[i]
    }
    path = ""
    for (i = 1; i <= depth; i++) path = path "/" out[i]
    return path
}
# The layer of a file: its rank from 1 (models) to 6 (app), 1 for the root of src/ and the
# generated settings, -1 for another folder of src/, 0 for files outside the layers.
function layer(path, rest) {
    if (index(path, src "/") == 1) {
        rest = substr(path, length(src) + 2)
        if (rest !~ /\//) return 1
        sub(/\/.*/, "", rest)
        return (rest in rank) ? rank[rest] : -1
    }
    return index(path, build "/src/generated/") == 1 ? 1 : 0
}
function shown(path) {
    return index(path, src "/") == 1 ? "src/" substr(path, length(src) + 2) : path
}
function offence(what) {
    print object ": " what
    failed = 1
}
BEGIN {
    count = split("models platform crashreporting services views app", names, " ")
    for (i = 1; i <= count; i++) rank[names[i]] = i
    core = rank["services"]
}
/^[^ \t]/ {
    object = $1
    sub(/:$/, "", object)
    target = object
    sub(/^src\/CMakeFiles\//, "", target)
    sub(/\.dir\/.*/, "", target)
    ceiling = (target ~ /^stowbird_core/) ? core : count
    allowed = 0
    if ($0 ~ /deps not found/) unbuilt++
    next
}
/^[ \t]+[^ \t]/ {
    path = $0
    sub(/^[ \t]+/, "", path)
    path = canonical(path)
    at = layer(path)
    if (allowed == 0) {
        # The first entry is the source file itself: generated sources get their library'\''s
        # highest layer.
        allowed = (at > 0) ? at : ceiling
        object = shown(path)
        if (at < 0) offence("compiled from " shown(path) ", a folder that is no layer")
        if (allowed > ceiling) {
            offence("a " names[allowed] " file built into " target)
            allowed = ceiling
        }
        next
    }
    if (at < 0)
        offence("reaches " shown(path) ", in a folder that is no layer")
    else if (at > allowed)
        offence("reaches " shown(path) " (" names[at] " is above " names[allowed] ")")
    else if (allowed <= core && path ~ /\/Qt[A-Za-z]*Widgets\//)
        offence("reaches the widget header " path " from the core layers")
}
END {
    if (failed) exit 1
    if (unbuilt) {
        print unbuilt " objects of src/ are not built yet: build them all (scripts/build.sh)"
        exit 77
    }
    print "Layer rule holds: " names[1] " <- " names[2] " <- " names[3] " <- " names[4] \
        " <- " names[5] " <- " names[6]
}'

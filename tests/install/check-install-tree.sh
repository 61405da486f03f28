#!/usr/bin/env bash
# Installs the build into a temporary prefix, stripped, as the README says, and checks that
# every file a desktop needs is where the freedesktop.org specifications look for it, that
# the desktop entry and metainfo validate there, that the installed program answers
# --version and carries no debug information, and that the desktop entry starts it from a
# session whose PATH does not hold the prefix (gio launch, as a launcher would).
# Usage: check-install-tree.sh BUILD_DIR
set -euo pipefail

build_dir="$1"
app_id=com.stowbird.Stowbird
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! cmake --install "$build_dir" --prefix "$prefix" --strip >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install did not succeed" >&2
    exit 1
fi

expected=(
    bin/stowbird
    share/applications/$app_id.desktop
    share/metainfo/$app_id.metainfo.xml
    share/icons/hicolor/scalable/apps/$app_id.svg
    share/stowbird/GoogleService-Info.plist
    share/doc/stowbird/LICENSE
)
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "missing or empty: $file"
done
[ -x "$prefix/bin/stowbird" ] || fail "bin/stowbird is not executable"

# Each PNG really has the size its folder names (width and height from the IHDR chunk).
for size in 16 22 24 32 48 64 128 256 512; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ -f "$png" ] || continue
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

# What a launcher reads from the desktop entry.
entry="$prefix/share/applications/$app_id.desktop"
for line in "Exec=$prefix/bin/stowbird" "TryExec=$prefix/bin/stowbird" "Icon=$app_id" \
    "StartupWMClass=stowbird" "Name=Stowbird" "Categories=Utility;FileTools;" \
    "Type=Application"; do
    grep -qxF "$line" "$entry" || fail "desktop entry lacks '$line'"
done

desktop-file-validate "$entry" || fail "desktop-file-validate rejects the installed entry"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the installed metainfo"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo does not launch the entry"
grep -qF '<url type="homepage">' "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo names no home page"
grep -qF '<screenshot type="default">' "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo has no screenshots"

# --strip leaves no debug sections (the build is RelWithDebInfo).
if readelf -S --wide "$prefix/bin/stowbird" | grep -qE '\.debug_|\.symtab'; then
    fail "the installed bin/stowbird is not stripped"
fi

# The installed program runs from its prefix without the build tree.
version=$(env -i PATH=/usr/bin:/bin HOME="$work" "$prefix/bin/stowbird" --version) ||
    fail "installed stowbird --version failed"
case "$version" in
stowbird\ [0-9]*) ;;
*) fail "installed stowbird --version printed '$version'" ;;
esac

# A launcher runs the entry with the session's PATH, which seldom holds the prefix: the
# entry must start the installed program all the same. It opens its window (offscreen here)
# and is asked to quit again.
session=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8)
mkdir -p "$work/home" "$work/run" "$work/tmp"
chmod 700 "$work/run"
stop_launched() {
    # Whatever still runs the installed binary, by its exact path.
    for exe in /proc/[0-9]*/exe; do
        [ "$(readlink "$exe" 2>/dev/null)" = "$prefix/bin/stowbird" ] || continue
        pid=${exe#/proc/}
        kill "${pid%/exe}" 2>/dev/null || true
    done
}
trap 'stop_launched; rm -rf "$work"' EXIT
if ! "${session[@]}" gio launch "$entry" >"$work/launch.log" 2>&1; then
    cat "$work/launch.log" >&2
    fail "gio launch could not start the installed entry with PATH=/usr/bin:/bin"
else
    shown=""
    for _ in $(seq 1 100); do
        shown=$("${session[@]}" "$prefix/bin/stowbird" --status 2>/dev/null | head -n1) || true
        [ "$shown" = "waiting=0 hud=shown" ] && break
        sleep 0.1
    done
    [ "$shown" = "waiting=0 hud=shown" ] ||
        fail "the launched entry did not bring up Stowbird's window (status: '$shown')"
    "${session[@]}" "$prefix/bin/stowbird" --quit || fail "the launched Stowbird did not quit"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures install tree check(s) failed" >&2
    exit 1
fi
echo "install tree OK ($version)"

#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file a desktop needs is
# where the freedesktop.org specifications look for it, that the desktop entry and metainfo
# validate there, and that the installed program answers --version.
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

if ! cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1; then
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
for line in "Exec=stowbird" "Icon=$app_id" "StartupWMClass=stowbird" "Name=Stowbird" \
    "Categories=Utility;FileTools;" "Type=Application"; do
    grep -qxF "$line" "$entry" || fail "desktop entry lacks '$line'"
done

desktop-file-validate "$entry" || fail "desktop-file-validate rejects the installed entry"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the installed metainfo"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo does not launch the entry"

# The installed program runs from its prefix without the build tree.
version=$(env -i PATH=/usr/bin:/bin HOME="$work" "$prefix/bin/stowbird" --version) ||
    fail "installed stowbird --version failed"
case "$version" in
stowbird\ [0-9]*) ;;
*) fail "installed stowbird --version printed '$version'" ;;
esac

if [ "$failures" -ne 0 ]; then
    echo "$failures install tree check(s) failed" >&2
    exit 1
fi
echo "install tree OK ($version)"

#!/usr/bin/env bash
# Nine slots in the default window: every slot row and the custom row are on screen, whole,
# inside the window and inside the list that holds them (nothing to scroll to), as the
# AT-SPI tree reports their places. Xvfb, a private session bus with at-spi-bus-launcher, the
# program with nine slots configured and one download waiting.
# Usage: slots-in-view-e2e.sh STOWBIRD_BINARY ATSPI_TREE_PROGRAM
# Exits 77 (skipped) when Xvfb, dbus-daemon or at-spi2-core is missing.
set -uo pipefail

stowbird="$1"
tree="$2"

. "$(dirname "$0")/common.sh"
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/tree.txt" ] && { echo "--- tree" >&2; cat "$work/tree.txt" >&2; }
    [ -s "$work/stowbird.log" ] && { echo "--- stowbird.log" >&2; tail -n 40 "$work/stowbird.log" >&2; }
    exit 1
}
require_tools Xvfb xwininfo dbus-daemon gdbus

e2e_begin slots
use_private_home .config/stowbird
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

slots=""
for n in 1 2 3 4 5 6 7 8 9; do
    mkdir -p "$home/Places/Place $n"
    slots="$slots${slots:+,}{\"slot\": $n, \"name\": \"Place $n\", \"path\": \"$home/Places/Place $n\"}"
done
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [$slots],
  "autoTrashPatterns": []
}
JSON
head -c 2100000 /dev/zero >"$downloads/report.pdf"

start_xvfb

start_accessibility_bus

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$stowbird" >"$work/stowbird.log" 2>&1 &
started+=("$!")

dump() { "$tree" "$a11y" stowbird --extents >"$work/tree.txt" 2>"$work/tree.err"; }
# Prints one line per problem; nothing when the window is 840x540 and every row lies whole
# inside it and inside the list, on screen.
problems() {
    awk -F'|' -v screen_w=1280 -v screen_h=800 '
        function inside(r, o) { return r[1] >= o[1] && r[2] >= o[2] &&
                                       r[1] + r[3] <= o[1] + o[3] && r[2] + r[4] <= o[2] + o[4] }
        $1 == "  frame" && $2 == "Stowbird" { split($6, frame, ",") }
        $2 == "Routing destinations" { split($6, list, ",") }
        $1 ~ /push button$/ && ($2 ~ /^Slot [1-9]: Place [1-9]$/ ||
                                $2 == "Custom Destination (Browse...)") {
            rows[++n] = $2; showing[n] = $4; place[n] = $6
        }
        END {
            if (frame[3] != 840 || frame[4] != 540)
                print "the window is " frame[3] "x" frame[4] ", not 840x540"
            if (n != 10)
                print n " of the 10 rows are in the tree"
            screen[1] = 0; screen[2] = 0; screen[3] = screen_w; screen[4] = screen_h
            for (i = 1; i <= n; i++) {
                split(place[i], r, ",")
                if (showing[i] != 1 || r[3] <= 0 || r[4] <= 0 || !inside(r, frame) ||
                    !inside(r, list) || !inside(r, screen))
                    print rows[i] " at " place[i] " (showing " showing[i] ") is not whole in the window " \
                          frame[1] "," frame[2] "," frame[3] "," frame[4] " and the list " \
                          list[1] "," list[2] "," list[3] "," list[4]
            }
        }' "$work/tree.txt"
}
all_in_view() { dump && [ -z "$(problems)" ]; }
# The rows are laid out as soon as the window shows; give the accessibility bus a moment.
wait_for 30 "nine slot rows and the custom row in view" all_in_view ||
    fail "not every row is in view: $(problems)"
echo "window: $(awk -F'|' '$1 == "  frame" && $2 == "Stowbird" {print $6}' "$work/tree.txt")"
grep -E '^ *push button\|(Slot [1-9]: Place|Custom Destination)' "$work/tree.txt" |
    awk -F'|' '{gsub(/^ +/, "", $1); print "  " $2 " at " $6}'
echo "PASS: nine slots and the custom row are all on screen in the 840x540 window"

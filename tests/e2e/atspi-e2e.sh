#!/usr/bin/env bash
# What a screen reader gets from Stowbird: the real AT-SPI tree, read from the accessibility
# bus. Xvfb, a private session bus with at-spi-bus-launcher, the program with one download
# waiting. Checks that the window is a frame (not a filler) named Stowbird, that the item
# card reads "report.pdf, PDF document, 2.1 MB, 1 of 1", and that every control on screen
# has a name and a description, on the triage screen and in the settings sheet (opened with
# Ctrl+,); that the sheets are dialogs named by their titles and hold the focus while open,
# and give it back to the item card when closed; and that an outcome is announced (a
# notification that shows the status text).
# Usage: atspi-e2e.sh STOWBIRD_BINARY ATSPI_TREE_PROGRAM
# Exits 77 (skipped) when Xvfb, dbus-daemon or at-spi2-core is missing.
set -uo pipefail

stowbird="$1"
tree="$2"

. "$(dirname "$0")/common.sh"
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/tree.txt" ] && { echo "--- tree" >&2; cat "$work/tree.txt" >&2; }
    for log in "$work/stowbird.log" "$XDG_STATE_HOME/stowbird/crash.log"; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 40 "$log" >&2; }
    done
    exit 1
}
require_tools Xvfb xwininfo dbus-daemon xdotool gdbus

e2e_begin atspi

use_private_home Documents
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

start_xvfb

start_accessibility_bus

head -c 2100000 /dev/zero >"$home/Downloads/report.pdf"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$stowbird" >"$work/stowbird.log" 2>&1 &
started+=("$!")
dump() { "$tree" "$a11y" stowbird >"$work/tree.txt" 2>"$work/tree.err"; }
card_read() { dump && grep -q '^ *list item|report.pdf, PDF document, 2.1 MB, 1 of 1|' "$work/tree.txt"; }
wait_for 30 "the item card on the accessibility bus" card_read ||
    fail "no item card reading 'report.pdf, PDF document, 2.1 MB, 1 of 1'"
grep -q '^  frame|Stowbird|' "$work/tree.txt" || fail "the window is not a frame named Stowbird"

# Controls on screen (showing = 1) must have a name and a description.
unnamed() {
    awk -F'|' '$4 == 1 && ($1 ~ /(push button|toggle button|check box|slider|text|entry|spin button|combo box|list item)$/) &&
        ($2 == "" || $3 == "") {print}' "$work/tree.txt"
}
controls() { awk -F'|' '$4 == 1 && $1 ~ /(push button|slider|text|check box)$/' "$work/tree.txt" | wc -l; }
[ -z "$(unnamed)" ] || fail "controls without a name or a description: $(unnamed)"
echo "triage screen: $(controls) controls on screen, all named and described"

# The settings sheet, opened from the keyboard.
xdotool key --clearmodifiers ctrl+comma
settings_read() { dump && grep -q 'slider|File completion debounce|' "$work/tree.txt"; }
wait_for 20 "the settings sheet on the accessibility bus" settings_read ||
    fail "the settings sheet's slider is not on the accessibility bus"
[ -z "$(unnamed)" ] || fail "settings controls without a name or a description: $(unnamed)"
echo "settings sheet: $(controls) controls on screen, all named and described"

# Where the focus is: the dialog itself or a node inside it (columns: showing, focused).
focused() { awk -F'|' '$5 == 1' "$work/tree.txt"; }
in_dialog() { # TITLE: a focused node at or below the dialog named TITLE
    awk -F'|' -v title="$1" '
        { depth = match($0, /[^ ]/) }
        inside && depth <= dialog_depth { inside = 0 }
        $1 ~ /dialog$/ && $2 == title { inside = 1; dialog_depth = depth }
        inside && $5 == 1 { found = 1 }
        END { exit !found }' "$work/tree.txt"
}
dump
in_dialog "Stowbird Preferences" || fail "the focus is not in a dialog named Stowbird Preferences: $(focused)"
xdotool key --clearmodifiers Escape
card_focused() { dump && focused | grep -q '^ *list item|report.pdf'; }
wait_for 10 "the focus back on the item card" card_focused ||
    fail "closing the settings left the focus on: $(focused)"
xdotool key --clearmodifiers shift+slash
cheat_focused() { dump && in_dialog "Keyboard Shortcuts"; }
wait_for 10 "the cheat sheet dialog with the focus" cheat_focused ||
    fail "the cheat sheet is not a focused dialog named Keyboard Shortcuts: $(focused)"
xdotool key --clearmodifiers Escape
wait_for 10 "the focus back on the item card" card_focused ||
    fail "closing the cheat sheet left the focus on: $(focused)"
echo "sheets: focused dialogs named by their titles; the focus returns to the item card"

# An outcome is spoken: Tab skips the item, and a notification shows what happened.
xdotool key --clearmodifiers Tab
announced() { dump && grep -q '^ *notification|Skipped report.pdf|.*|1|' "$work/tree.txt"; }
wait_for 10 "the skip announced" announced || fail "no notification says 'Skipped report.pdf'"
echo "announcements: the skip is a notification on the bus"
echo "PASS: the AT-SPI tree names every control and reads the current item"

#!/usr/bin/env bash
# Look-alike batches, "same as last" and duplicates on the real program, on an X server
# (Xvfb), driven with xdotool, its window read through AT-SPI on a private accessibility bus:
#  1. Fourteen numbered scans and three unrelated files wait; the card says "14 alike", and
#     Shift+2 files the fourteen into slot 2 and leaves the three.
#  2. One z brings all fourteen back to Downloads; Shift+2 files them again.
#  3. "." files the next item where the fourteen went.
#  4. A download identical to a file already in slot 1's folder shows the duplicate note, and
#     the trash key removes only the new copy.
# Every step is checked on disk and with `stowbird --status`.
# Usage: batch-e2e.sh STOWBIRD_BINARY ATSPI_TREE_PROGRAM
# Exits 77 (skipped) when the tools are missing or Xvfb or the accessibility bus cannot start.
set -uo pipefail

stowbird="$1"
tree="$2"

. "$(dirname "$0")/common.sh"
fail_log_lines=30
require_tools Xvfb xdotool xwininfo dbus-daemon gdbus curl python3

e2e_begin batch
use_private_home .config/stowbird Documents Scans
start_xvfb
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
start_accessibility_bus
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
debounce=0.5
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": $debounce},
  "destinationSlots": [{"slot": 1, "name": "Documents", "path": "$home/Documents"},
                       {"slot": 2, "name": "Scans", "path": "$home/Scans"}],
  "autoTrashPatterns": []
}
JSON
# The scans first (oldest), then three files that belong to nothing.
for n in $(seq -w 1 14); do
    printf 'page %s of the scan session\n' "$n" >"$downloads/scan_0$n.pdf"
    touch -d "-$((40 - 10#$n)) min" "$downloads/scan_0$n.pdf"
done
printf 'notes\n' >"$downloads/notes.txt"
printf 'budget\n' >"$downloads/budget.ods"
printf 'holiday\n' >"$downloads/holiday.png"
touch -d '-5 min' "$downloads/notes.txt"
touch -d '-4 min' "$downloads/budget.ods"
touch -d '-3 min' "$downloads/holiday.png"
printf 'the quarterly report\n' >"$home/Documents/report.pdf"

"$stowbird" >"$work/stowbird.log" 2>&1 &
started+=("$!")
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line() { status | sed -n 's/^status: //p'; }
dump() { "$tree" "$a11y" stowbird >"$work/tree.txt" 2>"$work/tree.err"; }
shows() { dump && grep -q "$1" "$work/tree.txt"; }
count() { find "$1" -mindepth 1 -maxdepth 1 -name "$2" | wc -l; }
wait_for 30 "the HUD with seventeen items" status_is "waiting=17 hud=shown" ||
    fail "Stowbird did not start with seventeen items ($(status))"
wait_for_hud_focus

# --- 1: the group key ---------------------------------------------------------------------
wait_for 20 "the group note" shows '14 alike: scan_001.pdf … scan_014.pdf' ||
    fail "the card does not say the scans are alike"
xdotool key shift+2
wait_for 20 "the fourteen scans filed" status_is "waiting=3 hud=shown" ||
    fail "Shift+2 did not file the fourteen ($(status))"
[ "$(count "$home/Scans" 'scan_0*.pdf')" = 14 ] || fail "Scans holds $(ls "$home/Scans")"
[ "$(count "$downloads" 'scan_0*.pdf')" = 0 ] || fail "scans left in Downloads: $(ls "$downloads")"
for kept in notes.txt budget.ods holiday.png; do
    [ -f "$downloads/$kept" ] || fail "$kept was swept along with the scans"
done
echo "Shift+2 filed the fourteen scans and left the three"

# --- 2: one z ------------------------------------------------------------------------------
xdotool key z
wait_for 20 "the fourteen back" status_is "waiting=17 hud=shown" ||
    fail "z did not bring the fourteen back ($(status))"
[ "$(count "$downloads" 'scan_0*.pdf')" = 14 ] || fail "not every scan is back: $(ls "$downloads")"
[ "$(count "$home/Scans" '*')" = 0 ] || fail "Scans still holds $(ls "$home/Scans")"
cmp -s "$downloads/scan_007.pdf" <(printf 'page 07 of the scan session\n') ||
    fail "scan_007.pdf did not come back whole"
echo "one z brought all fourteen back"

# --- 3: same as last ------------------------------------------------------------------------
wait_for 20 "the group note again" shows '14 alike: scan_001.pdf' ||
    fail "the scans are not shown as a group after the undo"
xdotool key shift+2
wait_for 20 "the scans filed again" status_is "waiting=3 hud=shown" ||
    fail "Shift+2 did not file the fourteen again ($(status))"
xdotool key period
wait_for 20 "notes.txt filed like the last" test -f "$home/Scans/notes.txt" ||
    fail ". did not file notes.txt where the scans went ($(status))"
status_is "waiting=2 hud=shown" || fail "the queue is not two ($(status))"
echo ". filed the next item where the last went"

# --- 4: a duplicate -------------------------------------------------------------------------
# The same report downloaded again, as a browser saves it: a partial name, then the final one.
mkdir -p "$work/served"
cp "$home/Documents/report.pdf" "$work/served/report.pdf"
start_web_server "$work/served"
curl -sf -o "$downloads/report (1).pdf.part" "http://127.0.0.1:$(port)/report.pdf" ||
    fail "the download failed"
mv "$downloads/report (1).pdf.part" "$downloads/report (1).pdf"
wait_for 10 "the new download" status_is "waiting=3 hud=shown" ||
    fail "the download did not arrive ($(status))"
# The two older items go to the back; the download is at the head.
xdotool key Tab
xdotool key Tab
wait_for 10 "the download at the head" shows 'report (1).pdf' || fail "the download is not shown"
wait_for 10 "the duplicate note" shows 'Identical to report.pdf in Documents' ||
    fail "the card does not say the download is a copy of report.pdf"
xdotool key d
wait_for 10 "the copy trashed" test -f "$XDG_DATA_HOME/Trash/files/report (1).pdf" ||
    fail "d did not trash the copy ($(status))"
[ -f "$home/Documents/report.pdf" ] || fail "the filed report.pdf is gone"
cmp -s "$home/Documents/report.pdf" "$work/served/report.pdf" || fail "report.pdf changed"
[ ! -e "$downloads/report (1).pdf" ] || fail "the copy is still in Downloads"
echo "PASS: the group filed and undone as one, same as last, a duplicate caught and trashed"

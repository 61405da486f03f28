#!/usr/bin/env bash
# Another inbox on the real program, on an X server (Xvfb), driven with xdotool: with
# "additionalInboxes": ["~/Desktop"] in config.json, a file on the Desktop at launch is
# listed and a file dropped there later is queued (`stowbird --status` counts them); "d"
# moves each to the Trash with a .trashinfo naming its Desktop path, and "z" puts the last
# back on the Desktop (not in Downloads).
# Usage: inbox-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing or Xvfb cannot start.
set -uo pipefail

stowbird="$1"

. "$(dirname "$0")/common.sh"
fail_log_lines=30

require_tools Xvfb xdotool xwininfo

e2e_begin inbox
start_xvfb

use_private_home .config/stowbird Documents Desktop
desktop="$home/Desktop"
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [{"slot": 1, "name": "Documents", "path": "~/Documents"}],
  "autoTrashPatterns": [],
  "additionalInboxes": ["~/Desktop"]
}
JSON
trash="$XDG_DATA_HOME/Trash"
printf 'old screenshot\n' >"$desktop/before.png"

"$stowbird" >"$work/stowbird.log" 2>&1 &
started+=("$!")
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_is() { [ "$(status | sed -n 2p)" = "status: $1" ]; }
wait_for 30 "the HUD with the Desktop's file" status_is "waiting=1 hud=shown" ||
    fail "Stowbird did not start with the Desktop's file waiting ($(status))"
wait_for_hud_focus

# --- a file dropped on the Desktop is queued -------------------------------------------------
printf 'meeting notes\n' >"$work/notes.txt"
mv "$work/notes.txt" "$desktop/notes.txt"
wait_for 15 "the Desktop file in the queue" status_is "waiting=2 hud=shown" ||
    fail "a file dropped on the Desktop was not queued ($(status))"
echo "the Desktop files are queued"

# --- d trashes each from the Desktop -----------------------------------------------------------
trashed() { # NAME WAITING
    wait_for 10 "the trash of $1" status_line_is "Moved $1 to Trash" ||
        fail "d did not trash $1 ($(status))"
    [ ! -e "$desktop/$1" ] || fail "$1 is still on the Desktop"
    [ -f "$trash/files/$1" ] || fail "$1 is not in the Trash ($(ls -A "$trash/files"))"
    grep -qxF "Path=$desktop/$1" "$trash/info/$1.trashinfo" ||
        fail "the .trashinfo does not name the Desktop path: $(cat "$trash/info/$1.trashinfo")"
    status_is "waiting=$2 hud=shown" || fail "the trashed $1 is still counted ($(status))"
}
xdotool key d
trashed before.png 1
xdotool key d
trashed notes.txt 0
echo "d trashed them; each .trashinfo names its path on the Desktop"

# --- z puts it back on the Desktop -----------------------------------------------------------
xdotool key z
wait_for 10 "the undo" status_line_is "Restored notes.txt from the Trash to Desktop" ||
    fail "z did not restore the file to the Desktop ($(status))"
grep -qx 'meeting notes' "$desktop/notes.txt" || fail "notes.txt is not back on the Desktop"
[ ! -e "$home/Downloads/notes.txt" ] || fail "the undo put notes.txt into Downloads"
[ ! -e "$trash/info/notes.txt.trashinfo" ] || fail "the .trashinfo was left behind"
wait_for 10 "the restored item in the queue" status_is "waiting=1 hud=shown" ||
    fail "the restored file is not waiting again ($(status))"
echo "PASS: a Desktop inbox file queued, trashed from and restored to the Desktop"

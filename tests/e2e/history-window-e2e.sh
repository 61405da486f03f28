#!/usr/bin/env bash
# The history window on the real program, on an X server (Xvfb), driven with xdotool: a
# download filed into slot 1 with its key is put back from the history after a restart.
#  1. "1" files quarterly-report-2024.pdf into the slot folder; the program quits (SIGTERM,
#     the normal path) and leaves its history on disk.
#  2. Started again, "h" opens the history window, "report" is typed into its filter, and
#     Ctrl+Z (z is a letter once something is typed) undoes the filing: the file is back in
#     Downloads, with its content, out of the slot folder, and queued again.
# Usage: history-window-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing or Xvfb cannot start.
set -uo pipefail

stowbird="$1"

. "$(dirname "$0")/common.sh"
fail_log_lines=30

require_tools Xvfb xdotool xwininfo

e2e_begin history-window
start_xvfb

use_private_home .config/stowbird Filed
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [{"slot": 1, "name": "Filed", "path": "$home/Filed"}],
  "autoTrashPatterns": []
}
JSON
name=quarterly-report-2024.pdf
printf '%%PDF-1.4 quarterly numbers\n' >"$downloads/$name"
touch -d '-1 min' "$downloads/$name"
history="$XDG_STATE_HOME/stowbird/history.sqlite3"

status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
hud_focused() {
    local window
    window=$(xdotool getwindowfocus 2>/dev/null) || return 1
    [ "$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')" -ge 700 ] 2>/dev/null
}
gone() {
    local state
    state=$(ps -o stat= -p "$stowbird_pid" 2>/dev/null)
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
start_stowbird() { # waiting count
    "$stowbird" >>"$work/stowbird.log" 2>&1 &
    stowbird_pid=$!
    started+=("$stowbird_pid")
    wait_for 30 "the HUD with $1 waiting" status_is "waiting=$1 hud=shown" ||
        fail "Stowbird did not start with $1 waiting ($(status))"
    wait_for 20 "the HUD to take the focus" hud_focused || fail "the HUD did not take the focus"
}
filed() { [ -f "$home/Filed/$name" ] && [ ! -e "$downloads/$name" ]; }
back() { [ -f "$downloads/$name" ] && [ ! -e "$home/Filed/$name" ]; }

# --- 1: file it with the slot's key, then quit -------------------------------------------------
start_stowbird 1
xdotool key 1
wait_for 10 "the file in slot 1" filed || fail "1 did not file $name into the slot folder"
wait_for 10 "the queue to empty" status_is "waiting=0 hud=shown" ||
    fail "the filed item is still queued ($(status))"
kill -TERM "$stowbird_pid"
wait_for 10 "Stowbird to quit" gone || fail "Stowbird did not quit"
wait "$stowbird_pid"
exit_status=$?
[ "$exit_status" = 0 ] || fail "Stowbird exited with status $exit_status"
[ -s "$history" ] || fail "no history was left on disk ($history is missing or empty)"
echo "filed into slot 1; history kept in $history"

# --- 2: after a restart, h, a part of the name, Ctrl+Z -----------------------------------------
start_stowbird 0
xdotool key h
sleep 0.5 # the window opens and its filter field takes the focus
xdotool type --delay 30 report
sleep 0.6 # the filter is applied after a pause and read off the GUI thread
xdotool key ctrl+z
wait_for 10 "the file back in Downloads" back ||
    fail "Ctrl+Z in the history did not put $name back (Downloads: $(ls -A "$downloads"))"
grep -q 'quarterly numbers' "$downloads/$name" || fail "$name came back with other content"
wait_for 10 "the file queued again" status_is "waiting=1 hud=shown" ||
    fail "the file put back was not queued again ($(status))"
echo "PASS: a filing undone from the history window after a restart"

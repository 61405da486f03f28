#!/usr/bin/env bash
# Undo and skip on the real program, on an X server (Xvfb), driven with xdotool:
#  1. Ten times in a row, "r", a new name and Return rename the head item, and "z" undoes the
#     rename (every other time pressed at once, behind the rename): the queue stays exact,
#     the item at the head under its old name, once, whatever the watcher reported meanwhile.
#  2. Tab skips the head item and "z" brings it back to the head and off the skip list.
#  3. A skipped file that is touched and appended to stays skipped; a new download of the
#     same name (fetched from a local web server to a partial name and renamed over it) is
#     offered again, and so is a skipped file deleted and written anew. skipped_items.json
#     stays a JSON array of path strings.
# Every step is checked on disk and with `stowbird --status`.
# Usage: undo-skip-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing or Xvfb cannot start.
set -uo pipefail

stowbird="$1"

. "$(dirname "$0")/common.sh"
fail_log_lines=30

require_tools Xvfb xdotool xwininfo curl python3

e2e_begin undo-skip
start_xvfb

use_private_home .config/stowbird Documents
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
debounce=0.5
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": $debounce},
  "destinationSlots": [{"slot": 1, "name": "Documents", "path": "$home/Documents"}],
  "autoTrashPatterns": []
}
JSON
printf 'first\n' >"$downloads/a-first.txt"
printf 'second\n' >"$downloads/b-second.txt"
printf 'third\n' >"$downloads/c-third.txt"
touch -d '-3 min' "$downloads/a-first.txt"
touch -d '-2 min' "$downloads/b-second.txt"
touch -d '-1 min' "$downloads/c-third.txt"
skips="$XDG_STATE_HOME/stowbird/skipped_items.json"

"$stowbird" >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_is() { [ "$(status | sed -n 2p)" = "status: $1" ]; }
wait_for 30 "the HUD with three items" status_is "waiting=3 hud=shown" ||
    fail "Stowbird did not start with three items ($(status))"
wait_for_hud_focus

# The files in Downloads, by name, on one line.
listing() { (cd "$downloads" && ls -A | tr '\n' ' '); }
expect_listing() { # what
    [ "$(listing)" = "$1" ] || fail "Downloads holds $(listing)instead of $1"
}
# Long enough for the watcher's reports of the last change (quiet period and checks) to have
# reached the queue.
settle() { sleep "$(python3 -c "print($debounce + 1.5)")"; }
# skipped PATH...: the skip list is a JSON array of strings holding exactly these paths.
skipped() {
    python3 - "$skips" "$@" <<'PY'
import json, sys
with open(sys.argv[1]) as f:
    paths = json.load(f)
assert isinstance(paths, list) and all(isinstance(p, str) for p in paths), paths
assert sorted(paths) == sorted(sys.argv[2:]), paths
PY
}
# head_is NAME: Tab names the head item in the status line; z takes the skip back.
head_is() {
    xdotool key Tab
    wait_for 10 "the skip of $1" status_line_is "Skipped $1" ||
        fail "Tab did not skip $1 ($(status))"
    xdotool key z
    wait_for 10 "the undone skip of $1" status_line_is "Undid skip: $1 is back" ||
        fail "z did not take back the skip of $1 ($(status))"
    wait_for 10 "the queue of three" status_is "waiting=3 hud=shown" ||
        fail "the queue is not back to three ($(status))"
}

# --- 1: rename and undo, ten times ----------------------------------------------------------
for round in $(seq 1 10); do
    name="renamed-$round"
    xdotool key r
    sleep 0.3 # the rename field takes the focus
    xdotool type --delay 20 "$name"
    if ((round % 2)); then
        xdotool key Return
        wait_for 10 "the rename to $name.txt" status_line_is "Renamed to $name.txt" ||
            fail "round $round: the rename did not happen ($(status))"
        [ -f "$downloads/$name.txt" ] && [ ! -e "$downloads/a-first.txt" ] ||
            fail "round $round: a-first.txt was not renamed on disk ($(listing))"
        xdotool key z
    else
        # z at once, queued behind the rename.
        xdotool key Return z
    fi
    wait_for 10 "the undone rename" status_line_is "Undid rename: $name.txt is a-first.txt again" ||
        fail "round $round: the rename was not undone ($(status))"
    expect_listing "a-first.txt b-second.txt c-third.txt "
    status_is "waiting=3 hud=shown" || fail "round $round: the queue is not exact ($(status))"
done
settle
status_is "waiting=3 hud=shown" || fail "the queue changed after the undos ($(status))"
head_is a-first.txt
echo "ten renames undone; the queue is exact"

# --- 2: Tab, then z ------------------------------------------------------------------------
xdotool key Tab
wait_for 10 "the skip" status_is "waiting=2 hud=shown" || fail "Tab did not skip ($(status))"
skipped "$downloads/a-first.txt" || fail "the skip list does not hold a-first.txt"
xdotool key z
wait_for 10 "the skipped item back" status_is "waiting=3 hud=shown" ||
    fail "z did not bring the skipped item back ($(status))"
skipped || fail "a-first.txt is still in the skip list"
head_is a-first.txt
echo "Tab undone by z"

# --- 3: a skip holds for its file -------------------------------------------------------------
xdotool key Tab
wait_for 10 "a-first.txt skipped" status_is "waiting=2 hud=shown" || fail "Tab did not skip"
xdotool key Tab
wait_for 10 "b-second.txt skipped" status_is "waiting=1 hud=shown" || fail "Tab did not skip"
skipped "$downloads/a-first.txt" "$downloads/b-second.txt" || fail "the skip list is wrong"
touch "$downloads/a-first.txt"
printf 'more\n' >>"$downloads/a-first.txt"
printf 'more\n' >>"$downloads/b-second.txt"
settle
status_is "waiting=1 hud=shown" || fail "a skipped file changed in place came back ($(status))"
skipped "$downloads/a-first.txt" "$downloads/b-second.txt" || fail "a skip was lost"

# A new download of the same name, as a browser saves it: to a partial name, then renamed.
mkdir -p "$work/served"
printf 'a new download\n' >"$work/served/a-first.txt"
start_web_server "$work/served"
curl -sf -o "$downloads/a-first.txt.part" "http://127.0.0.1:$(port)/a-first.txt" ||
    fail "the download failed"
mv "$downloads/a-first.txt.part" "$downloads/a-first.txt"
wait_for 10 "the new download" status_is "waiting=2 hud=shown" ||
    fail "a new download of a skipped name was not offered ($(status))"
grep -qx 'a new download' "$downloads/a-first.txt" || fail "the download is not on disk"
# A skipped file deleted and written anew.
rm "$downloads/b-second.txt"
printf 'written anew\n' >"$downloads/b-second.txt"
wait_for 10 "the file written anew" status_is "waiting=3 hud=shown" ||
    fail "a skipped file written anew was not offered ($(status))"
skipped || fail "the skip list still holds a replaced file"
settle
status_is "waiting=3 hud=shown" || fail "the queue changed after the new downloads ($(status))"
echo "PASS: renames undone exactly, Tab undone by z, skips hold for their files"

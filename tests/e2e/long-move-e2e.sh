#!/usr/bin/env bash
# The real program on an X server (Xvfb), driven with xdotool, moving to other file
# systems: two tmpfs mounts made here (this needs root).
#  1. "1" moves a large folder to a roomy tmpfs; its reads are slowed (a blkio cgroup) so
#     the move takes well over the 3 s watchdog: the window says it is still running, with
#     progress, and the keyboard is free meanwhile.
#  2. "2", pressed while that move runs, moves a second folder to a tmpfs too small for it:
#     the copy fails midway, the folder stays whole in Downloads and comes back to the head
#     of the queue with the error; no partial copy is left on the small tmpfs.
#  3. Tab skips that folder, "d" trashes a file, "z" restores it from the trash.
#  4. A quit asked for during a long move waits for it, says so, and then exits 0.
# Every step is checked on disk and with `stowbird --status`.
# Usage: long-move-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing, Xvfb cannot start, or mounting or the
# read throttle is not allowed here.
set -uo pipefail

stowbird="$1"

. "$(dirname "$0")/common.sh"
fail_log_lines=25

require_tools Xvfb xdotool xwininfo mount umount findmnt
[ "$(id -u)" = 0 ] || skip "mounting a tmpfs needs root"

e2e_begin long-move
mounts=()
cgroup=""
extra_cleanup() {
    for m in "${mounts[@]}"; do
        umount "$m" 2>/dev/null
    done
    [ -n "$cgroup" ] && rmdir "$cgroup" 2>/dev/null
}

# --- two other file systems ------------------------------------------------------------------
fast="$work/fast" small="$work/small"
mkdir -p "$fast" "$small"
mount -t tmpfs -o size=256m tmpfs "$fast" 2>/dev/null || skip "cannot mount a tmpfs here"
mounts+=("$fast")
mount -t tmpfs -o size=6m tmpfs "$small" || fail "cannot mount the second tmpfs"
mounts+=("$small")

# --- a read throttle for the program, so that a move of 48 MB takes about 6 s --------------
throttle_reads e2e

# --- X server -------------------------------------------------------------------------------
start_xvfb

# --- home, slots and downloads ---------------------------------------------------------------
use_private_home .config/stowbird
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [
    {"slot": 1, "name": "Fast", "path": "$fast"},
    {"slot": 2, "name": "Small", "path": "$small"}
  ],
  "autoTrashPatterns": []
}
JSON
# A killed move's leftover in a slot folder: removed at start-up.
head -c 1000 /dev/zero >"$fast/.stowbird-0000.partial"

# Written with O_DIRECT so that nothing is in the page cache and every read hits the
# throttled disk.
make_folder() { # folder files size-in-MiB
    mkdir -p "$1"
    for i in $(seq 1 "$2"); do
        dd if=/dev/urandom of="$1/part-$i.bin" bs=1M count="$3" oflag=direct status=none ||
            fail "cannot write $1"
    done
}
make_folder "$downloads/a-big" 12 4
make_folder "$downloads/b-medium" 4 2
printf 'junk\n' >"$downloads/c-junk.txt"
touch -d '-3 min' "$downloads/a-big"
touch -d '-2 min' "$downloads/b-medium"
touch -d '-1 min' "$downloads/c-junk.txt"
# Checksums read with O_DIRECT too: a plain read would fill the page cache.
checksums() { # folder
    local file
    for file in "$1"/part-*.bin; do
        echo "$(dd if="$file" iflag=direct bs=1M status=none | sha1sum | cut -d' ' -f1)  $(basename "$file")"
    done
}
checksums "$downloads/a-big" >"$work/a-big.sha1"
checksums "$downloads/b-medium" >"$work/b-medium.sha1"

# --- the program ------------------------------------------------------------------------------
"$stowbird" >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
echo "$stowbird_pid" >"$cgroup/cgroup.procs" || fail "cannot put Stowbird into the cgroup"
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_has() { status | sed -n 2p | grep -qF "$1"; }
wait_for 30 "the HUD with three items" status_is "waiting=3 hud=shown" ||
    fail "Stowbird did not start with three items ($(status))"
wait_for 10 "the stale partial copy to go" test ! -e "$fast/.stowbird-0000.partial" ||
    fail "the stale partial copy in the slot folder was not removed"
hud_focused() {
    local window
    window=$(xdotool getwindowfocus 2>/dev/null) || return 1
    [ "$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')" -ge 700 ] 2>/dev/null
}
wait_for 20 "the HUD to take the focus" hud_focused || fail "the HUD did not take the focus"

# --- 1: a move that takes longer than the watchdog --------------------------------------------
start=$SECONDS
xdotool key 1
wait_for 10 "the still-running line" status_line_has "Still moving a-big to Fast" ||
    fail "no still-running status line ($(status))"
status | sed -n 2p | grep -qE 'MB of [0-9.]+ MB' || fail "no progress in the status line ($(status))"
status_is "waiting=2 hud=shown" || fail "the queue did not move on ($(status))"
echo "after $((SECONDS - start)) s: $(status | sed -n 2p)"

# --- 2: pressed while the first still runs; fails midway on the small tmpfs ------------------
xdotool key 2
moved_whole() {
    [ ! -e "$downloads/a-big" ] && (cd "$fast/a-big" 2>/dev/null && sha1sum -c --quiet "$work/a-big.sha1")
}
wait_for 60 "a-big to land whole on the fast tmpfs" moved_whole || fail "a-big did not move whole"
took=$((SECONDS - start))
[ "$took" -gt 3 ] || fail "the big move took only ${took} s; the throttle did not work"
wait_for 30 "the failed move to come back" status_line_has "Failed to move" ||
    fail "no failure status for the second move ($(status))"
(cd "$downloads/b-medium" && sha1sum -c --quiet "$work/b-medium.sha1") ||
    fail "b-medium was damaged by the failed move"
[ -z "$(ls -A "$small")" ] || fail "the failed move left something on the small tmpfs: $(ls -A "$small")"
status_is "waiting=2 hud=shown" || fail "b-medium is not back in the queue ($(status))"
grep -q "\[ERROR\] Action 'Move .file to Small' failed" "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the failure is not in the log"
echo "big move took ${took} s; second move failed: $(status | sed -n 2p)"

# --- 3: skip, trash, undo of the trash --------------------------------------------------------
wait_for 10 "the keyboard" hud_focused || fail "the HUD lost the focus"
xdotool key Tab
wait_for 10 "the skip" status_is "waiting=1 hud=shown" || fail "Tab did not skip ($(status))"
xdotool key d
trash="$XDG_DATA_HOME/Trash"
wait_for 10 "c-junk.txt in the trash" test -f "$trash/files/c-junk.txt" || fail "d did not trash"
wait_for 10 "the empty queue" status_is "waiting=0 hud=shown" || fail "queue not empty ($(status))"
xdotool key z
wait_for 10 "c-junk.txt back in Downloads" test -f "$downloads/c-junk.txt" ||
    fail "z did not restore the trashed file"
[ ! -e "$trash/files/c-junk.txt" ] && [ ! -e "$trash/info/c-junk.txt.trashinfo" ] ||
    fail "the trash still holds c-junk.txt or its .trashinfo"
grep -qx junk "$downloads/c-junk.txt" || fail "c-junk.txt changed on the way"
wait_for 10 "the restored item in the queue" status_is "waiting=1 hud=shown" ||
    fail "the restored file is not queued ($(status))"
status_line_has "Restored c-junk.txt from the Trash to Downloads" ||
    fail "the undo status line is wrong ($(status))"

# --- 4: quit during a long move waits for it ----------------------------------------------------
make_folder "$downloads/d-late" 8 4
wait_for 20 "d-late to be queued" status_is "waiting=2 hud=shown" || fail "d-late not queued ($(status))"
xdotool key Tab # c-junk.txt is at the head
wait_for 10 "d-late at the head" status_is "waiting=1 hud=shown" || fail "Tab did not skip ($(status))"
xdotool key 1
sleep 0.5
kill -TERM "$stowbird_pid"
wait_for 10 "the quit notice" status_line_has "Quitting when this finishes" ||
    fail "quitting during a move does not say that it waits ($(status))"
gone() {
    local state
    state=$(ps -o stat= -p "$stowbird_pid" 2>/dev/null)
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
wait_for 60 "Stowbird to quit after the move" gone || fail "Stowbird did not quit after the move"
wait "$stowbird_pid"
exit_status=$?
[ "$exit_status" = 0 ] || fail "Stowbird exited with status $exit_status"
[ ! -e "$downloads/d-late" ] && [ "$(ls "$fast/d-late" | wc -l)" = 8 ] ||
    fail "the move in flight at quit did not complete"
echo "PASS: long move, late failure, undo of a trash and quit during a move"

#!/usr/bin/env bash
# The real program on an X server (Xvfb), driven with xdotool, moving to other file
# systems: two tmpfs mounts made here (this needs root).
#  1. "1" moves a large folder to a roomy tmpfs; its reads are slowed (a blkio cgroup) so
#     the move takes well over the 3 s watchdog: the window says it is still running, with
#     progress, and the keyboard is free meanwhile. "1" pressed at once on the next folder
#     is not dropped: that folder waits behind the first and lands after it.
#  2. "2", pressed while the first move runs, moves another folder to a tmpfs too small for
#     it: the copy fails midway, the folder stays whole in Downloads and comes back to the
#     head of the queue with the error; no partial copy is left on the small tmpfs.
#  3. Tab skips that folder, "d" trashes a file, "z" restores it from the trash.
#  4. "c" stops a second long move: the folder is whole in Downloads and back at the head,
#     and no partial copy is left on the tmpfs.
#  5. A quit asked for during a long move cancels it the same way and exits 0 within 2 s.
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
make_folder "$downloads/b-behind" 2 1
make_folder "$downloads/b-medium" 4 2
printf 'junk\n' >"$downloads/c-junk.txt"
touch -d '-3 min' "$downloads/a-big"
touch -d '-150 sec' "$downloads/b-behind"
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
checksums "$downloads/b-behind" >"$work/b-behind.sha1"
checksums "$downloads/b-medium" >"$work/b-medium.sha1"

# --- the program ------------------------------------------------------------------------------
"$stowbird" >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
echo "$stowbird_pid" >"$cgroup/cgroup.procs" || fail "cannot put Stowbird into the cgroup"
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_has() { status | sed -n 2p | grep -qF "$1"; }
wait_for 30 "the HUD with four items" status_is "waiting=4 hud=shown" ||
    fail "Stowbird did not start with four items ($(status))"
wait_for 10 "the stale partial copy to go" test ! -e "$fast/.stowbird-0000.partial" ||
    fail "the stale partial copy in the slot folder was not removed"
wait_for_hud_focus

# --- 1: a move that takes longer than the watchdog; "1" on the next item at once -------------
start=$SECONDS
xdotool key 1
xdotool key 1
# --- 2: pressed while the first still runs; fails midway on the small tmpfs ------------------
xdotool key 2
wait_for 10 "the still-running line" status_line_has "Still moving a-big to Fast" ||
    fail "no still-running status line ($(status))"
status | sed -n 2p | grep -qE 'MB of [0-9.]+ MB' || fail "no progress in the status line ($(status))"
status_line_has "2 more waiting" || fail "the actions pressed meanwhile do not wait ($(status))"
status_is "waiting=1 hud=shown" || fail "the queue did not move on ($(status))"
[ -d "$downloads/b-behind" ] && [ ! -e "$fast/b-behind" ] ||
    fail "b-behind did not wait for the move before it"
echo "after $((SECONDS - start)) s: $(status | sed -n 2p)"
moved_whole() {
    [ ! -e "$downloads/a-big" ] && (cd "$fast/a-big" 2>/dev/null && sha1sum -c --quiet "$work/a-big.sha1")
}
# b-behind may land only once a-big is whole in its place.
in_order() {
    if [ -e "$fast/b-behind" ] && [ -e "$downloads/a-big" ]; then
        echo "b-behind landed before a-big" >"$work/order"
    fi
    moved_whole
}
wait_for 60 "a-big to land whole on the fast tmpfs" in_order || fail "a-big did not move whole"
took=$((SECONDS - start))
[ "$took" -gt 3 ] || fail "the big move took only ${took} s; the throttle did not work"
behind_whole() {
    [ ! -e "$downloads/b-behind" ] && (cd "$fast/b-behind" 2>/dev/null && sha1sum -c --quiet "$work/b-behind.sha1")
}
wait_for 30 "b-behind to land after it" behind_whole || fail "b-behind did not move whole"
[ ! -e "$work/order" ] || fail "$(cat "$work/order")"
[ "$(stat -c %.9Z "$fast/a-big")" \< "$(stat -c %.9Z "$fast/b-behind")" ] ||
    fail "b-behind was named in its place before a-big"
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

# --- 4: c stops a long move ---------------------------------------------------------------------
partial_in_flight() { compgen -G "$fast/.stowbird-*.partial" >/dev/null; }
no_partial() { ! ls -A "$1" | grep -q '^\.stowbird-'; }
make_folder "$downloads/e-long" 8 4
checksums "$downloads/e-long" >"$work/e-long.sha1"
wait_for 20 "e-long to be queued" status_is "waiting=2 hud=shown" || fail "e-long not queued ($(status))"
xdotool key Tab # c-junk.txt is at the head
wait_for 10 "e-long at the head" status_is "waiting=1 hud=shown" || fail "Tab did not skip ($(status))"
xdotool key 1
wait_for 10 "the copy of e-long to start" partial_in_flight || fail "the move of e-long did not start"
xdotool key c
wait_for 5 "the cancel" status_line_has "Cancelled moving e-long to Fast" ||
    fail "c did not cancel the move ($(status))"
status_is "waiting=1 hud=shown" || fail "e-long is not back in the queue ($(status))"
(cd "$downloads/e-long" && sha1sum -c --quiet "$work/e-long.sha1") ||
    fail "e-long was damaged by the cancelled move"
[ ! -e "$fast/e-long" ] && no_partial "$fast" || fail "the cancelled move left on the tmpfs: $(ls -A "$fast")"
grep -q "Action 'Move .file to Fast' cancelled" "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the cancel is not in the log"
echo "c cancelled the move: $(status | sed -n 2p)"

# --- 5: quit during a long move cancels it --------------------------------------------------------
make_folder "$downloads/f-quit" 8 4
checksums "$downloads/f-quit" >"$work/f-quit.sha1"
wait_for 20 "f-quit to be queued" status_is "waiting=2 hud=shown" || fail "f-quit not queued ($(status))"
xdotool key Tab # e-long is at the head
wait_for 10 "f-quit at the head" status_is "waiting=1 hud=shown" || fail "Tab did not skip ($(status))"
xdotool key 1
wait_for 10 "the copy of f-quit to start" partial_in_flight || fail "the move of f-quit did not start"
kill -TERM "$stowbird_pid"
quit_start=$(date +%s%N)
gone() {
    local state
    state=$(ps -o stat= -p "$stowbird_pid" 2>/dev/null)
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
wait_for 10 "Stowbird to quit" gone || fail "Stowbird did not quit during the move"
quit_ms=$((($(date +%s%N) - quit_start) / 1000000))
wait "$stowbird_pid"
exit_status=$?
[ "$exit_status" = 0 ] || fail "Stowbird exited with status $exit_status"
[ "$quit_ms" -le 2000 ] || fail "quitting during a move took $quit_ms ms"
(cd "$downloads/f-quit" && sha1sum -c --quiet "$work/f-quit.sha1") ||
    fail "f-quit was damaged by the move cancelled at quit"
[ ! -e "$fast/f-quit" ] && no_partial "$fast" || fail "the move cancelled at quit left on the tmpfs: $(ls -A "$fast")"
echo "PASS: long move, an action waiting behind it, late failure, undo of a trash, cancel, and quit during a move (${quit_ms} ms)"

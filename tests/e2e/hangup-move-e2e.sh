#!/usr/bin/env bash
# SIGHUP (the terminal that started the program closed, a logout) during a long move to another
# file system: the program cancels the move and exits 0 within 2 s. The file stays whole in
# Downloads, and nothing of it is left in the slot folder (no partial copy).
# The real program on an X server (Xvfb), driven with xdotool; the slot folder is a tmpfs made
# here and the program's reads are slowed down (a blkio cgroup), as in long-move-e2e.sh.
# Usage: hangup-move-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing, Xvfb cannot start, or mounting or the read
# throttle is not allowed here.
set -uo pipefail

stowbird="$1"

. "$(dirname "$0")/common.sh"
fail_log_lines=25

require_tools Xvfb xdotool xwininfo mount umount findmnt
[ "$(id -u)" = 0 ] || skip "mounting a tmpfs needs root"

e2e_begin hangup-move
mounts=()
cgroup=""
extra_cleanup() {
    for m in "${mounts[@]}"; do
        umount "$m" 2>/dev/null
    done
    [ -n "$cgroup" ] && rmdir "$cgroup" 2>/dev/null
}

slot="$work/slot"
mkdir -p "$slot"
mount -t tmpfs -o size=64m tmpfs "$slot" 2>/dev/null || skip "cannot mount a tmpfs here"
mounts+=("$slot")

# Reads of 8 MB/s: the 24 MB move takes about 3 s.
throttle_reads hangup-e2e

start_xvfb

use_private_home .config/stowbird
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [{"slot": 1, "name": "Slot", "path": "$slot"}],
  "autoTrashPatterns": []
}
JSON
# Written and read back with O_DIRECT: nothing in the page cache, every read of the move hits
# the throttled disk.
dd if=/dev/urandom of="$downloads/big.bin" bs=1M count=24 oflag=direct status=none ||
    fail "cannot write big.bin"
sum=$(dd if="$downloads/big.bin" iflag=direct bs=1M status=none | sha1sum | cut -d' ' -f1)

"$stowbird" >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
echo "$stowbird_pid" >"$cgroup/cgroup.procs" || fail "cannot put Stowbird into the cgroup"
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_has() { status | sed -n 2p | grep -qF "$1"; }
wait_for 30 "the HUD with the file" status_is "waiting=1 hud=shown" ||
    fail "Stowbird did not start with one item ($(status))"
wait_for_hud_focus

xdotool key 1
in_flight() { [ -n "$(ls -A "$slot")" ]; }
wait_for 10 "the copy to start" in_flight || fail "the move did not start ($(status))"
kill -HUP "$stowbird_pid"
start=$(date +%s%N)
gone() {
    local state
    state=$(ps -o stat= -p "$stowbird_pid" 2>/dev/null)
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
wait_for 10 "Stowbird to quit" gone || fail "Stowbird did not quit after SIGHUP"
took_ms=$((($(date +%s%N) - start) / 1000000))
wait "$stowbird_pid"
exit_status=$?
[ "$exit_status" = 0 ] || fail "Stowbird exited with status $exit_status after SIGHUP"
[ "$took_ms" -le 2000 ] || fail "quitting during the move took $took_ms ms"
[ -z "$(ls -A "$slot")" ] || fail "the slot folder holds: $(ls -A "$slot")"
[ "$(dd if="$downloads/big.bin" iflag=direct bs=1M status=none | sha1sum | cut -d' ' -f1)" = "$sum" ] ||
    fail "big.bin in Downloads was damaged"
grep -q "Action 'Move .bin to Slot' cancelled" "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the cancelled move is not in the log"
echo "PASS: SIGHUP during a move cancelled it and exited 0 in $took_ms ms"

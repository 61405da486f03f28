#!/usr/bin/env bash
# Stowbird on X11 when the tray host comes late, as on a slow login: Xvfb, no session bus
# (so the icon can only go to an XEmbed tray), the program started hidden, and trayer
# started STOWBIRD_LATE_TRAY_DELAY seconds later (30 by default, twice the old 15-second
# give-up). While it waits, with the window hidden, the program must not wake up at all:
# the tray is watched through X events, not by looking again. Then the icon must be
# embedded (and again after the tray restarts), and the global shortcut Alt+Shift+D (the
# X11 key grab) must open the window.
# Usage: late-tray-e2e.sh STOWBIRD_BINARY
# Exits 77 (skipped) when the X tools are missing or Xvfb cannot start.
set -uo pipefail

stowbird="$1"
delay="${STOWBIRD_LATE_TRAY_DELAY:-30}"

. "$(dirname "$0")/common.sh"

require_tools Xvfb trayer xdotool xwininfo xprop

e2e_begin late-tray

# --- X server on a free display -----------------------------------------------------------
start_xvfb

use_private_home
export QT_QPA_PLATFORM=xcb
# A bus address that leads nowhere: no StatusNotifierItem, no portal, nothing of the
# session that runs the tests.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/no-bus"
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

"$stowbird" --background >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
launched=$SECONDS
status_is() { [ "$("$stowbird" --status 2>/dev/null)" = "$1" ]; }
wait_for 30 "Stowbird to answer --status" status_is "waiting=0 hud=hidden" ||
    fail "Stowbird did not start (status: $("$stowbird" --status 2>&1))"

# Wake-ups of each thread of the process: context switches, voluntary or not, by thread id.
switches() {
    local task n
    for task in /proc/"$stowbird_pid"/task/*; do
        n=$(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status" 2>/dev/null)
        [ -n "$n" ] && echo "${task##*/} $n"
    done
}
# Let start-up settle (the one-time no-tray notice is due 15 s after launch), then count
# over the rest of the wait. Nothing may run: --status is not asked meanwhile either.
# A worker thread of the pool that ends after its 30 s of idleness is counted apart: it
# wakes once to end, which is no polling.
settle=$((launched + 17 - SECONDS))
[ "$settle" -gt 0 ] && sleep "$settle"
switches >"$work/before"
measure_from=$SECONDS
remaining=$((launched + delay - SECONDS))
[ "$remaining" -gt 0 ] && sleep "$remaining"
switches >"$work/after"
idle_seconds=$((SECONDS - measure_from))
wakeups=$(awk 'NR == FNR {before[$1] = $2; next} ($1 in before) {w += $2 - before[$1]} END {print w + 0}' \
    "$work/before" "$work/after")
ended=$(awk 'NR == FNR {after[$1] = 1; next} !($1 in after) {n++} END {print n + 0}' \
    "$work/after" "$work/before")
echo "idle, window hidden, no tray: $wakeups wake-ups in $idle_seconds s ($ended idle worker threads ended)"
[ "$idle_seconds" -lt 5 ] || [ "$wakeups" -eq 0 ] ||
    fail "the hidden program woke up $wakeups times in $idle_seconds s"

start_trayer() {
    trayer --edge bottom --align right --widthtype pixel --width 160 --heighttype pixel \
        --height 32 --SetDockType true --expand false >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    started+=("$trayer_pid")
}
start_trayer
echo "trayer started $((SECONDS - launched)) s after Stowbird"

wait_for 15 "the tray icon to be embedded in the late trayer" tray_icon_embedded ||
    fail "the tray icon never reached the tray that started late"
echo "tray icon embedded in the late tray"

# The panel restarts: the icon leaves the closed tray and goes into the new one. (The new
# tray's window may get the old one's id back, so the check is the icon leaving, then
# being embedded again.)
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null
icon_left_the_tray() { ! tray_icon_embedded; }
wait_for 15 "the icon to leave the closed tray" icon_left_the_tray ||
    fail "the icon stayed embedded in a tray that was closed"
start_trayer
wait_for 30 "the icon to be embedded in the restarted tray" tray_icon_embedded ||
    fail "the icon did not come back after the tray restarted"
echo "tray icon embedded again after the tray restarted"

# --- the global shortcut, grabbed on the X server, opens the window ------------------------
grep -q 'Global shortcut Alt+Shift+D bound (X11)' "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the global shortcut was not bound"
xdotool key --clearmodifiers alt+shift+d
wait_for 10 "the global shortcut to open the window" status_is "waiting=0 hud=shown" ||
    fail "Alt+Shift+D did not open the window ($("$stowbird" --status))"
echo "PASS: late tray gets the icon; Alt+Shift+D opens the window; $wakeups idle wake-ups"

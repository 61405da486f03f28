#!/usr/bin/env bash
# Stowbird on Wayland: a headless weston, a private session bus, the real program with
# the Qt Wayland platform. Checks that the window opens (the compositor configures its
# toplevel), that a second launch shows the running instance's window, that --status
# answers, and that a StatusNotifierItem watcher appearing after the start gets the tray
# icon registered (the tray on Wayland is StatusNotifierItem only).
# Usage: wayland-e2e.sh STOWBIRD_BINARY FAKE_DESKTOP_SERVICES
# Exits 77 (skipped) when weston, the Qt Wayland plugin or dbus-daemon is missing.
set -uo pipefail

stowbird="$1"
services="$2"

. "$(dirname "$0")/common.sh"
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log "$XDG_STATE_HOME/stowbird/stowbird.log"; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; grep -v '^\[' "$log" | tail -n 15 >&2; }
    done
    exit 1
}

command -v weston >/dev/null 2>&1 || skip "weston is not installed (scripts/install-deps.sh)"
command -v dbus-daemon >/dev/null 2>&1 || skip "dbus-daemon is not installed"
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    skip "the Qt Wayland platform plugin is not installed (package qt6-wayland)"

e2e_begin wayland

use_private_home
unset DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

# --- private session bus ---------------------------------------------------------------------
dbus-daemon --session --nofork --print-address=3 3>"$work/bus-address" >"$work/dbus.log" 2>&1 &
started+=("$!")
wait_for 10 "the session bus" test -s "$work/bus-address" || skip "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

# --- headless compositor -----------------------------------------------------------------------
weston --backend=headless-backend.so --socket=wayland-stowbird --idle-time=0 \
    >"$work/weston.log" 2>&1 &
started+=("$!")
wait_for 20 "weston's socket" test -S "$XDG_RUNTIME_DIR/wayland-stowbird" ||
    skip "weston did not start: $(tail -n 3 "$work/weston.log")"
export WAYLAND_DISPLAY=wayland-stowbird QT_QPA_PLATFORM=wayland

# --- first launch, hidden; every Wayland request and event is logged --------------------------
WAYLAND_DEBUG=client "$stowbird" --background >"$work/stowbird.log" 2>"$work/wayland.log" &
stowbird_pid=$!
started+=("$stowbird_pid")
status_is() { [ "$("$stowbird" --status 2>/dev/null)" = "$1" ]; }
wait_for 30 "Stowbird to answer --status" status_is "waiting=0 hud=hidden" ||
    fail "Stowbird did not start on Wayland (status: $("$stowbird" --status 2>&1))"
grep -q 'wl_compositor' "$work/wayland.log" || fail "Stowbird did not talk Wayland"
toplevels() { grep -c 'xdg_toplevel@[0-9]*\.configure' "$work/wayland.log"; }
[ "$(toplevels)" = 0 ] || fail "the window opened although started with --background"

# --- the tray: a StatusNotifierItem watcher that comes after Stowbird -----------------------
"$services" --watcher >"$work/watcher.log" 2>&1 &
started+=("$!")
item_registered() { grep -q '^ITEM ' "$work/watcher.log"; }
wait_for 15 "the tray icon to register with the late watcher" item_registered ||
    fail "no StatusNotifierItem was registered"
echo "tray: $(grep '^ITEM ' "$work/watcher.log" | head -n 1)"
grep -q '^ITEM .* stowbird$' "$work/watcher.log" || fail "the registered item is not Stowbird's"

# --- second launch: opens the running instance's window ---------------------------------------
timeout 20 "$stowbird" >"$work/second.log" 2>&1 || fail "the second launch did not exit 0"
wait_for 20 "the window to be shown" status_is "waiting=0 hud=shown" ||
    fail "the second launch did not open the window ($("$stowbird" --status))"
configured() { [ "$(toplevels)" -ge 1 ]; }
wait_for 20 "the compositor to configure the window" configured ||
    fail "weston never configured a toplevel for the window"
echo "window opened on Wayland ($(toplevels) toplevel configure events)"

# A third launch while it is open: it stays open, the launch still ends at once.
timeout 20 "$stowbird" >>"$work/second.log" 2>&1 || fail "the third launch did not exit 0"
status_is "waiting=0 hud=shown" || fail "the window did not stay open"

kill -TERM "$stowbird_pid"
wait "$stowbird_pid"
status=$?
[ "$status" = 0 ] || fail "Stowbird exited with status $status"
echo "PASS: Wayland window, second launch, --status and StatusNotifierItem registration"

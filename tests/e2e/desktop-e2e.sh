#!/usr/bin/env bash
# The installed program on a real X server: Xvfb, a tray host (trayer) and xdotool.
# Installs the build into a temporary prefix, starts it with a temporary home, checks that
# its tray icon is embedded, drops two downloads, opens the HUD by launching again, files
# the first with "1" and trashes the second with "d", and checks both on disk.
# Usage: desktop-e2e.sh BUILD_DIR SCREEN_GRAB_PROGRAM SCREENSHOT_DIR
# With STOWBIRD_UPDATE_SCREENSHOTS=1 the screen is saved as SCREENSHOT_DIR/e2e-desktop.png.
# Exits 77 (skipped) when the X tools are missing or Xvfb cannot start.
set -uo pipefail

build_dir="$1"
screen_grab="$2"
screenshot_dir="$3"
app_id=com.stowbird.Stowbird

. "$(dirname "$0")/common.sh"

require_tools Xvfb trayer xdotool xwininfo xprop

e2e_begin e2e

# --- X server on a free display -----------------------------------------------------------
start_xvfb
command -v xsetroot >/dev/null 2>&1 && xsetroot -solid '#4c6a92'

# --- the program, installed into a prefix of its own ---------------------------------------
prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed"
stowbird="$prefix/bin/stowbird"

use_private_home Documents
export XDG_DATA_DIRS="$prefix/share:/usr/local/share:/usr/share"
export QT_QPA_PLATFORM=xcb
# No session bus: the tray icon goes through XEmbed to trayer, and nothing reaches the
# desktop session of whoever runs the tests.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

# --- tray host ------------------------------------------------------------------------------
trayer --edge bottom --align right --widthtype pixel --width 160 --heighttype pixel \
    --height 32 --SetDockType true --expand false --transparent true --alpha 0 \
    --tint 0x2e3440 >"$work/trayer.log" 2>&1 &
started+=("$!")
trayer_window() { xdotool search --classname '^trayer$' >/dev/null 2>&1; }
wait_for 15 "trayer's window" trayer_window || fail "trayer did not start"

# --- first launch, in the tray ------------------------------------------------------------
"$stowbird" --background >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
status_is() { [ "$("$stowbird" --status 2>/dev/null | head -n 1)" = "$1" ]; }
wait_for 30 "Stowbird to answer --status" status_is "waiting=0 hud=hidden" ||
    fail "Stowbird did not start (status: $("$stowbird" --status 2>&1))"

# The tray icon is a window of ours that the tray host has taken in (reparented).
wait_for 30 "the tray icon to be embedded in trayer" tray_icon_embedded ||
    fail "the tray icon was not embedded"
echo "tray icon embedded"

# --- two downloads, queued in order ------------------------------------------------------
printf 'quarterly report\n' >"$home/Downloads/report.txt"
wait_for 30 "the first download to be queued" status_is "waiting=1 hud=hidden" ||
    fail "the first download was not queued ($("$stowbird" --status))"
head -c 4096 /dev/zero >"$home/Downloads/installer.bin"
wait_for 30 "the second download to be queued" status_is "waiting=2 hud=hidden" ||
    fail "the second download was not queued ($("$stowbird" --status))"

# --- second launch: opens the running instance's HUD -------------------------------------
timeout 20 "$stowbird" >>"$work/second-launch.log" 2>&1 || fail "the second launch did not exit 0"
wait_for 20 "the HUD to open" status_is "waiting=2 hud=shown" ||
    fail "the HUD did not open ($("$stowbird" --status))"

hud=""
find_hud() {
    local window width
    for window in $(xdotool search --onlyvisible --classname '^stowbird$' 2>/dev/null); do
        width=$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')
        if [ "${width:-0}" -ge 700 ]; then
            hud=$window
            return 0
        fi
    done
    return 1
}
wait_for 20 "the HUD window to be mapped" find_hud || fail "no visible HUD window"
hud_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$hud" ]; }
wait_for 20 "the HUD window to take the focus" hud_focused ||
    fail "the HUD window did not take the focus"

# Window managers group the HUD with the desktop entry through its class and title.
wm_class=$(xprop -id "$hud" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"/\2/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$app_id.desktop")
[ -n "$wm_class" ] && [ "$wm_class" = "$startup_class" ] ||
    fail "HUD WM_CLASS '$wm_class' does not match StartupWMClass '$startup_class'"
xprop -id "$hud" _NET_WM_NAME | grep -qF '"Stowbird"' || fail "the HUD is not titled Stowbird"
# The icon property may follow the mapping by a moment on a loaded machine.
hud_has_icon() { xprop -id "$hud" _NET_WM_ICON 2>/dev/null | grep -q '='; }
wait_for 10 "the HUD's icon" hud_has_icon || fail "the HUD carries no icon"
echo "HUD window $hud: class $wm_class, focused"

# The HUD with the first download and the tray icon with its count.
xdotool mousemove 0 0
"$screen_grab" "$work/screen.png" >"$work/grab.log" 2>&1 || fail "the screen could not be saved"
[ -s "$work/screen.png" ] || fail "the screenshot is empty"
if [ "${STOWBIRD_UPDATE_SCREENSHOTS:-0}" = "1" ]; then
    mkdir -p "$screenshot_dir"
    cp "$work/screen.png" "$screenshot_dir/e2e-desktop.png"
    echo "screenshot saved to $screenshot_dir/e2e-desktop.png"
fi

# --- 1 files the first download into Documents --------------------------------------------
xdotool key 1
first_filed() { [ -f "$home/Documents/report.txt" ] && [ ! -e "$home/Downloads/report.txt" ]; }
wait_for 20 "report.txt to land in Documents" first_filed ||
    fail "report.txt was not moved to Documents"
grep -qx 'quarterly report' "$home/Documents/report.txt" || fail "report.txt changed on the way"
wait_for 20 "the queue to move on" status_is "waiting=1 hud=shown" ||
    fail "the queue did not move on ($("$stowbird" --status))"
wait_for 10 "the HUD to keep the focus" hud_focused || fail "the HUD lost the focus"

# --- d trashes the second -----------------------------------------------------------------
xdotool key d
trash="$XDG_DATA_HOME/Trash"
second_trashed() {
    [ -f "$trash/files/installer.bin" ] && [ -f "$trash/info/installer.bin.trashinfo" ] &&
        [ ! -e "$home/Downloads/installer.bin" ]
}
wait_for 20 "installer.bin to land in the trash" second_trashed ||
    fail "installer.bin was not trashed"
grep -qxF "Path=$home/Downloads/installer.bin" "$trash/info/installer.bin.trashinfo" ||
    fail "the .trashinfo does not name the original path: $(cat "$trash/info/installer.bin.trashinfo")"
grep -q '^DeletionDate=[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]T' "$trash/info/installer.bin.trashinfo" ||
    fail "the .trashinfo has no deletion date"
[ "$(stat -c %s "$trash/files/installer.bin")" = 4096 ] || fail "installer.bin changed on the way"
wait_for 20 "the queue to empty" status_is "waiting=0 hud=shown" ||
    fail "the queue did not empty ($("$stowbird" --status))"

# --- "Quit Stowbird", the last entry of the tray icon's menu, ends the program ------------
# (while the HUD is open, which must not hold the quit back)
xdotool mousemove --window "$tray_icon" 4 4 click 3
# The menu: another window of ours, shown for the tray icon (WM_TRANSIENT_FOR), tall
# enough for its eight commands.
menu_open() {
    local window height
    for window in $(xdotool search --onlyvisible --classname '^stowbird$' 2>/dev/null); do
        [ "$window" = "$hud" ] || [ "$window" = "$tray_icon" ] && continue
        height=$(xwininfo -id "$window" 2>/dev/null | awk '/Height:/ {print $2}')
        if [ "${height:-0}" -ge 100 ] && xprop -id "$window" WM_TRANSIENT_FOR 2>/dev/null | grep -q 'window id'; then
            return 0
        fi
    done
    return 1
}
wait_for 20 "the tray menu to open" menu_open || fail "the tray icon's menu did not open"
xdotool key Up Return
gone() {
    # Until it is waited for, an ended child is a zombie that kill -0 still finds.
    local state
    state=$(ps -o stat= -p "$stowbird_pid" 2>/dev/null)
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
wait_for 20 "Stowbird to quit" gone ||
    fail "Quit Stowbird did not end the program ($(ps -o pid=,stat=,cmd= -p "$stowbird_pid"))"
wait "$stowbird_pid"
exit_status=$?
[ "$exit_status" = 0 ] || fail "Stowbird exited with status $exit_status"
grep -q 'Application terminating' "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the log does not record the end"
echo "PASS: tray icon, HUD, filing, trashing and quitting on $DISPLAY"

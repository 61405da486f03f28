#!/usr/bin/env bash
# New downloads told in desktop notifications, on the real program: Xvfb with no tray (no
# XEmbed tray, no StatusNotifierItem watcher), a private session bus, the program started
# hidden. A wget download into Downloads must raise a notification naming it with the
# buttons "File to Documents", "Trash" and "Open Stowbird"; pressing "Trash" must move that
# file into the trash.
#   1. Against FakeDesktopServices, which records the Notify call and presses the button.
#   2. Against dunst, a real notification server (skipped when it is not installed): the
#      notification is on screen, and its "Trash" is chosen from dunst's own action menu.
#      With STOWBIRD_UPDATE_SCREENSHOTS=1 the notification as dunst drew it is saved as
#      SCREENSHOT_DIR/notification-dunst.png.
# Usage: notify-e2e.sh STOWBIRD_BINARY FAKE_DESKTOP_SERVICES SCREEN_GRAB [SCREENSHOT_DIR]
# Exits 77 (skipped) when Xvfb, dbus-daemon, gdbus, wget or python3 is missing.
set -uo pipefail

stowbird="$1"
services="$2"
screen_grab="$3"
screenshot_dir="${4:-}"

. "$(dirname "$0")/common.sh"

require_tools Xvfb xwininfo xdotool dbus-daemon gdbus wget python3

e2e_begin notify
start_xvfb
use_private_home Documents
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

# --- private session bus with the recording notification server ----------------------------
dbus-daemon --session --nofork --print-address=3 3>"$work/bus-address" >"$work/dbus.log" 2>&1 &
started+=("$!")
wait_for 10 "the session bus" test -s "$work/bus-address" || skip "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

"$services" --notifications --actions >"$work/notifications.log" 2>&1 &
server_pid=$!
started+=("$server_pid")
server_ready() { grep -q '^READY' "$work/notifications.log"; }
wait_for 10 "the notification server" server_ready || fail "FakeDesktopServices did not start"

# --- the program, hidden, with no tray ------------------------------------------------------
"$stowbird" --background >"$work/stowbird.log" 2>&1 &
stowbird_pid=$!
started+=("$stowbird_pid")
status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status)" = "$1" ]; }
wait_for 30 "Stowbird to answer --status" status_is "waiting=0 hud=hidden" ||
    fail "Stowbird did not start (status: $(status))"

# --- a wget download ---------------------------------------------------------------------------
mkdir -p "$work/served"
printf '%%PDF-1.4\n%%EOF\n' >"$work/served/report.pdf"
printf '%%PDF-1.4\n%%EOF\n' >"$work/served/invoice.pdf"
(cd "$work/served" && exec python3 -m http.server --bind 127.0.0.1 0) >"$work/http.log" 2>&1 &
started+=("$!")
port() { sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/http.log" | head -n 1; }
port_known() { [ -n "$(port)" ]; }
wait_for 10 "the web server" port_known || fail "the web server did not start"
(cd "$downloads" && wget -q "http://127.0.0.1:$(port)/report.pdf") ||
    fail "wget could not download report.pdf"

notified() { grep -q '^NOTIFY New download|report.pdf|' "$work/notifications.log"; }
wait_for 20 "the notification of report.pdf" notified ||
    fail "no notification for report.pdf ($(grep '^NOTIFY' "$work/notifications.log"))"
line=$(grep -m 1 '^NOTIFY New download|report.pdf|' "$work/notifications.log")
echo "notified: $line"
for button in 'file=File to Documents' 'trash=Trash' 'open=Open Stowbird'; do
    [[ "$line" == *"$button"* ]] || fail "the notification has no button '$button'"
done
[ "$(grep -c '^NOTIFY' "$work/notifications.log")" = 1 ] || fail "more than one notification"
id=$(sed -n 's/.*|id=\([0-9]*\)|.*/\1/p' <<<"$line")
status_is "waiting=1 hud=hidden" || fail "report.pdf is not waiting ($(status))"

gdbus call --session --dest org.freedesktop.Notifications \
    --object-path /org/stowbird/FakeNotifications \
    --method org.stowbird.FakeNotifications.InvokeAction "$id" trash >/dev/null ||
    fail "the button could not be pressed"
trashed() { [ -f "$XDG_DATA_HOME/Trash/files/report.pdf" ] && [ ! -e "$downloads/report.pdf" ]; }
wait_for 10 "report.pdf in the trash" trashed ||
    fail "'Trash' did not move report.pdf into the trash ($(ls "$downloads"))"
[ -f "$XDG_DATA_HOME/Trash/info/report.pdf.trashinfo" ] || fail "no trash info for report.pdf"
wait_for 10 "the queue to be empty" status_is "waiting=0 hud=hidden" ||
    fail "report.pdf still counted ($(status))"
echo "'Trash' on the notification moved report.pdf into the trash; the window stayed hidden"

# Without a tray the program also says once, 15 s after a hidden start, how to open it again:
# that notice is let through here, so that dunst shows the new download's alone.
reopen_notice() { grep -q '^NOTIFY Stowbird keeps watching your downloads|' "$work/notifications.log"; }
wait_for 30 "the notice on how to reopen Stowbird" reopen_notice ||
    fail "no notice on how to reopen Stowbird"

# --- 2: dunst ----------------------------------------------------------------------------------
if ! command -v dunst >/dev/null 2>&1 || ! command -v dunstctl >/dev/null 2>&1; then
    echo "PASS (dunst is not installed: the real notification server was not tried)"
    exit 0
fi
kill "$server_pid"
wait "$server_pid" 2>/dev/null
# dunst's action menu goes through "dmenu": here a script that chooses the "Trash" entry.
cat >"$work/choose-trash.sh" <<'EOF'
#!/bin/sh
tee -a "$(dirname "$0")/menu.txt" | grep -m 1 '^#Trash '
EOF
chmod +x "$work/choose-trash.sh"
cat >"$work/dunstrc" <<EOF
[global]
    font = DejaVu Sans 10
    width = 360
    origin = top-right
    offset = 16x16
    padding = 10
    horizontal_padding = 12
    frame_width = 1
    frame_color = "#8a8a8a"
    corner_radius = 6
    format = "<b>%s</b>\n%b"
    show_indicators = yes
    dmenu = $work/choose-trash.sh
[urgency_normal]
    background = "#f4f4f4"
    foreground = "#202020"
    timeout = 0
EOF
dunst -config "$work/dunstrc" >"$work/dunst.log" 2>&1 &
started+=("$!")
dunst_owns() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetNameOwner org.freedesktop.Notifications >/dev/null 2>&1
}
wait_for 10 "dunst on the bus" dunst_owns || fail "dunst did not take org.freedesktop.Notifications"

(cd "$downloads" && wget -q "http://127.0.0.1:$(port)/invoice.pdf") ||
    fail "wget could not download invoice.pdf"
bubble=""
bubble_shown() {
    bubble=$(xdotool search --onlyvisible --class '^Dunst$' 2>/dev/null | head -n 1)
    [ -n "$bubble" ]
}
wait_for 20 "dunst to show the notification" bubble_shown || fail "dunst showed nothing"
grep -q 'Notifying 1 new download(s), with buttons' "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the program did not send a notification with buttons to dunst"
geometry=$(xwininfo -id "$bubble")
x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
w=$(awk '/Width:/ {print $2}' <<<"$geometry")
h=$(awk '/Height:/ {print $2}' <<<"$geometry")
echo "dunst shows the notification at ${w}x${h}+${x}+${y}"
"$screen_grab" "$work/notification.png" $((x - 16)) $((y - 16)) $((w + 32)) $((h + 32)) \
    >"$work/grab.log" 2>&1 || fail "the screen could not be saved"
if [ "${STOWBIRD_UPDATE_SCREENSHOTS:-0}" = 1 ] && [ -n "$screenshot_dir" ]; then
    mkdir -p "$screenshot_dir"
    cp "$work/notification.png" "$screenshot_dir/notification-dunst.png"
    echo "screenshot saved to $screenshot_dir/notification-dunst.png"
fi

# The menu runs on its own: dunstctl returns before the choice is made.
dunstctl context >>"$work/dunst.log" 2>&1 || fail "dunstctl could not open the action menu"
trashed_too() { [ -f "$XDG_DATA_HOME/Trash/files/invoice.pdf" ] && [ ! -e "$downloads/invoice.pdf" ]; }
wait_for 10 "invoice.pdf in the trash" trashed_too ||
    fail "'Trash' chosen in dunst did not trash invoice.pdf ($(cat "$work/menu.txt" 2>&1))"
grep -q '^#File to Documents ' "$work/menu.txt" ||
    fail "dunst's action menu has no 'File to Documents' ($(cat "$work/menu.txt"))"
wait_for 10 "the queue to be empty" status_is "waiting=0 hud=hidden" ||
    fail "invoice.pdf still counted ($(status))"
echo "PASS: notifications with buttons from a wget download; 'Trash' trashes it (recording server and dunst)"

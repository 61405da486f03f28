#!/usr/bin/env bash
# The notifications of new downloads as a real notification server draws them: xfce4-notifyd
# (which draws the buttons) on Xvfb with a private session bus, and the program installed
# into PREFIX (so that the server finds its icon), started hidden with no tray. One wget
# download, then a burst of twelve; each notification is saved with a margin of the screen
# around it as OUT_DIR/notification-xfce4-notifyd.png and notification-burst-xfce4-notifyd.png.
# xfce4-notifyd is not among the packages scripts/install-deps.sh installs (Debian 12:
# apt-get install --no-install-recommends xfce4-notifyd).
# Usage: tools/notification-screenshots.sh PREFIX SCREEN_GRAB OUT_DIR
#   (PREFIX from cmake --install build --prefix PREFIX; SCREEN_GRAB is the StowbirdScreenGrab
#   test helper)
set -uo pipefail

prefix="$1"
grab="$2"
out="$3"
notifyd=$(ls /usr/lib/*/xfce4/notifyd/xfce4-notifyd 2>/dev/null | head -n 1)

. "$(dirname "$0")/../tests/e2e/common.sh"
require_tools Xvfb xwininfo xsetroot xdotool dbus-daemon wget python3
[ -x "$notifyd" ] || skip "xfce4-notifyd is not installed"

e2e_begin notification-screenshots
start_xvfb
xsetroot -solid '#4a5560'
use_private_home Documents
export QT_QPA_PLATFORM=xcb XDG_DATA_DIRS="$prefix/share:/usr/share"
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME

dbus-daemon --session --nofork --print-address=3 3>"$work/bus-address" >"$work/dbus.log" 2>&1 &
started+=("$!")
wait_for 10 "the session bus" test -s "$work/bus-address" || fail "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS
"$notifyd" >"$work/notifyd.log" 2>&1 &
started+=("$!")

"$prefix/bin/stowbird" --background >"$work/stowbird.log" 2>&1 &
started+=("$!")
status_is() { [ "$("$prefix/bin/stowbird" --status 2>/dev/null)" = "$1" ]; }
wait_for 30 "Stowbird to answer --status" status_is "waiting=0 hud=hidden" ||
    fail "Stowbird did not start"

mkdir -p "$work/served" "$out"
printf '%%PDF-1.4\n%%EOF\n' >"$work/served/Quarterly report 2026.pdf"
for i in $(seq -w 1 12); do printf 'png' >"$work/served/scan-$i.png"; done
(cd "$work/served" && exec python3 -m http.server --bind 127.0.0.1 0) >"$work/http.log" 2>&1 &
started+=("$!")
port() { sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/http.log" | head -n 1; }
port_known() { [ -n "$(port)" ]; }
wait_for 10 "the web server" port_known || fail "the web server did not start"

# The newest notification on screen, as X Y WIDTH HEIGHT with a margin of 16 pixels.
newest=""
newest_bubble() {
    local id
    id=$(xwininfo -root -tree | awk '/"xfce4-notifyd"/ && $0 !~ / 10x10\+/ {print $1}' | sort | tail -n 1)
    [ -n "$id" ] || return 1
    newest=$(xwininfo -id "$id" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2}
        END {m = 16; y0 = (y - m < 0) ? 0 : y - m; print x - m, y0, w + 2 * m, h + m + (y - y0)}')
}
shown_since() { [ "$(grep -c "$1" "$XDG_STATE_HOME/stowbird/stowbird.log")" -ge "$2" ]; }

(cd "$downloads" && wget -q "http://127.0.0.1:$(port)/Quarterly%20report%202026.pdf") ||
    fail "wget could not download"
wait_for 20 "the notification" shown_since 'Notifying 1 new download(s), with buttons' 1 ||
    fail "no notification"
sleep 1 # drawn
newest_bubble || fail "no notification on screen"
# shellcheck disable=SC2086 # X Y WIDTH HEIGHT
"$grab" "$out/notification-xfce4-notifyd.png" $newest || fail "the screen could not be saved"

# The burst gets a notification of its own once the first one has gone (after the server's
# timeout); while that one is open it would be counted in.
none_shown() { ! xdotool search --onlyvisible --class '^Xfce4-notifyd$' >/dev/null 2>&1; }
wait_for 30 "the first notification to expire" none_shown || fail "the notification stayed"
(cd "$downloads" && for i in $(seq -w 1 12); do wget -q "http://127.0.0.1:$(port)/scan-$i.png"; done) ||
    fail "wget could not download"
wait_for 20 "the notification" shown_since 'Notifying 12 new download(s)' 1 || fail "no notification"
sleep 1
newest_bubble || fail "no notification on screen"
# shellcheck disable=SC2086
"$grab" "$out/notification-burst-xfce4-notifyd.png" $newest || fail "the screen could not be saved"
echo "saved $out/notification-xfce4-notifyd.png and $out/notification-burst-xfce4-notifyd.png"

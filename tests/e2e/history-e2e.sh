#!/usr/bin/env bash
# The lasting history on the real program, on an X server (Xvfb), with its AT-SPI tree read
# from a private accessibility bus:
#  1. Six .stl files are filed into the "3D Prints" slot with its number key; the program is
#     stopped and started again, and the seventh .stl file shows that slot as the suggestion
#     (its row described as suggested, the reason under the list, the log); Return files it
#     there.
#  2. A file downloaded with `curl --xattr` from an address with a token shows
#     "from files.example.org" on the item card, and keeps its attributes when its slot key
#     moves it onto another file system (a tmpfs).
#  3. The token appears in no file under the program's state and configuration folders.
# Usage: history-e2e.sh STOWBIRD_BINARY ATSPI_TREE_PROGRAM
# Exits 77 (skipped) when the tools are missing, Xvfb cannot start or a tmpfs cannot be
# mounted (not root).
set -uo pipefail

stowbird="$1"
tree="$2"
launcher=/usr/libexec/at-spi-bus-launcher

. "$(dirname "$0")/common.sh"
fail_log_lines=30
require_tools Xvfb xdotool xwininfo dbus-daemon gdbus curl python3 getfattr
[ -x "$launcher" ] || skip "at-spi2-core is not installed"
[ "$(id -u)" = 0 ] || skip "mounting the tmpfs slot needs root"

e2e_begin history
use_private_home .config/stowbird Documents Prints
mounted=""
extra_cleanup() {
    [ -n "$mounted" ] && umount -l "$mounted"
}
mkdir -p "$work/other-fs"
mount -t tmpfs -o size=16m tmpfs "$work/other-fs" || skip "cannot mount a tmpfs"
mounted="$work/other-fs"

start_xvfb
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
started+=("$!")
wait_for 10 "the session bus" test -s "$work/bus" || skip "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
started+=("$!")
a11y_address() {
    a11y=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress 2>/dev/null | sed -n "s/^('\(.*\)',)$/\1/p")
    [ -n "$a11y" ]
}
wait_for 20 "the accessibility bus" a11y_address || skip "at-spi-bus-launcher did not start"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

cat >"$home/.config/stowbird/config.json" <<JSON
{
  "version": 1,
  "general": {"launchAtLogin": false, "debounceSeconds": 0.5},
  "destinationSlots": [{"slot": 1, "name": "Documents", "path": "$home/Documents"},
                       {"slot": 2, "name": "3D Prints", "path": "$home/Prints"},
                       {"slot": 3, "name": "Elsewhere", "path": "$work/other-fs"}],
  "autoTrashPatterns": []
}
JSON

status() { "$stowbird" --status 2>/dev/null; }
status_is() { [ "$(status | head -n 1)" = "$1" ]; }
status_line_is() { [ "$(status | sed -n 2p)" = "status: $1" ]; }
dump() { "$tree" "$a11y" stowbird >"$work/tree.txt" 2>"$work/tree.err"; }
hud_focused() {
    local window
    window=$(xdotool getwindowfocus 2>/dev/null) || return 1
    [ "$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')" -ge 700 ] 2>/dev/null
}
# start_program RUN WAITING: starts the program, its window showing WAITING items.
start_program() {
    "$stowbird" >"$work/stowbird-$1.log" 2>&1 &
    stowbird_pid=$!
    started+=("$stowbird_pid")
    wait_for 30 "the window with $2 items" status_is "waiting=$2 hud=shown" ||
        fail "run $1: Stowbird did not start with $2 items ($(status))"
    wait_for 20 "the window to take the focus" hud_focused || fail "the window did not take the focus"
}

# --- 1: six filings, a restart, the seventh suggested -------------------------------------
models=(bracket gear hinge mount clip knob)
for i in "${!models[@]}"; do
    printf 'solid %s\nendsolid\n' "${models[i]}" >"$downloads/${models[i]}.stl"
    touch -d "-$((10 - i)) min" "$downloads/${models[i]}.stl"
done
start_program 1 6
for i in "${!models[@]}"; do
    xdotool key 2
    wait_for 10 "the filing of item $((i + 1))" status_is "waiting=$((5 - i)) hud=shown" ||
        fail "key 2 did not file item $((i + 1)) ($(status))"
done
for model in "${models[@]}"; do
    [ -f "$home/Prints/$model.stl" ] || fail "$model.stl is not in Prints"
done
history="$XDG_STATE_HOME/stowbird/history.sqlite3"
wait_for 10 "the history file" test -s "$history" || fail "no history at $history"
kill -TERM "$stowbird_pid"
wait "$stowbird_pid" || fail "the program did not end cleanly on SIGTERM"
[ "$(stat -c %a "$history")" = 600 ] || fail "the history is mode $(stat -c %a "$history"), not 600"

printf 'solid spacer\nendsolid\n' >"$downloads/spacer.stl"
start_program 2 1
suggested() {
    dump && grep -q '^ *push button|Slot 2: 3D Prints|Suggested' "$work/tree.txt" &&
        grep -q '^ *push button|Suggested destination: .* \.stl files went to 3D Prints|' "$work/tree.txt"
}
wait_for 20 "slot 2 suggested for spacer.stl" suggested ||
    fail "the window does not suggest slot 2 for the seventh .stl file"
if grep -E '^ *push button\|Slot [13]: [^|]*\|Suggested' "$work/tree.txt"; then
    fail "another slot is described as suggested"
fi
grep -q 'Suggesting slot 2 for item (.stl)' "$XDG_STATE_HOME/stowbird/stowbird.log" ||
    fail "the log does not say that slot 2 was suggested"
xdotool key Return
wait_for 10 "spacer.stl filed" test -f "$home/Prints/spacer.stl" ||
    fail "Return did not file spacer.stl into Prints ($(status))"
wait_for 10 "the status line" status_line_is "Moved to 3D Prints: spacer.stl" ||
    fail "the status line does not say where spacer.stl went ($(status))"
echo "six .stl files filed with key 2; after a restart the seventh is suggested, and Return files it"

# --- 2: where a download came from -----------------------------------------------------------
mkdir -p "$work/served" "$work/staging"
printf '%%PDF-1.4\n%%EOF\n' >"$work/served/x.pdf"
start_web_server "$work/served"
curl -sf --xattr --resolve "files.example.org:$(port):127.0.0.1" -o "$work/staging/x.pdf" \
    "http://files.example.org:$(port)/x.pdf?token=SECRET" || fail "curl could not download x.pdf"
origin=$(getfattr --only-values -n user.xdg.origin.url "$work/staging/x.pdf" 2>/dev/null)
[[ "$origin" == *"token=SECRET"* ]] || fail "curl --xattr recorded no address ($origin)"
mv "$work/staging/x.pdf" "$downloads/x.pdf"
wait_for 10 "x.pdf queued" status_is "waiting=1 hud=shown" || fail "x.pdf was not queued ($(status))"
card_names_host() { dump && grep -q '^ *label|from files.example.org|' "$work/tree.txt"; }
wait_for 20 "the host on the card" card_names_host ||
    fail "the item card does not say 'from files.example.org'"
if grep -q 'SECRET' "$work/tree.txt"; then
    fail "the window shows the address's token"
fi
xdotool key 3
wait_for 10 "x.pdf on the other file system" test -f "$work/other-fs/x.pdf" ||
    fail "key 3 did not move x.pdf onto the tmpfs ($(status))"
[ "$(getfattr --only-values -n user.xdg.origin.url "$work/other-fs/x.pdf" 2>/dev/null)" = "$origin" ] ||
    fail "x.pdf lost its origin attribute on the way to the tmpfs"
echo "the card says 'from files.example.org'; x.pdf kept its attributes on another file system"

# --- 3: the token is kept nowhere -----------------------------------------------------------
kill -TERM "$stowbird_pid"
wait "$stowbird_pid" || fail "the program did not end cleanly on SIGTERM"
leaks=$(grep -rla SECRET "$XDG_STATE_HOME" "$XDG_CONFIG_HOME" 2>/dev/null)
[ -z "$leaks" ] || fail "the token was written to: $leaks"
echo "PASS: history kept across a restart, a suggestion filed by Return, hosts without tokens"

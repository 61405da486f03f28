# Shared by the end-to-end scripts (sourced, not run): a scratch folder with the processes a
# script starts, stopped in reverse order on exit; bounded polling; an X server on a free
# display; skipping, failing with the logs, and the tray icon's window. A script sources this
# file first; it may define its own fail() afterwards when it has other things to show, and
# extra_cleanup() for what else it must undo (mounts, cgroups).

skip() {
    echo "SKIP: $*"
    exit 77
}

# fail MESSAGE: the end of each log in $work and of the program's own log (fail_log_lines
# lines of each, 20 unless the script says otherwise), then exit 1.
fail() {
    echo "FAIL: $*" >&2
    local log
    # The window's AT-SPI tree as last read (tree.txt), its shown parts only.
    [ -s "$work/tree.txt" ] && { echo "--- tree" >&2; grep -v '|0|' "$work/tree.txt" | head -n 80 >&2; }
    for log in "$work"/*.log "${XDG_STATE_HOME:-/nonexistent}/stowbird/stowbird.log"; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n "${fail_log_lines:-20}" "$log" >&2; }
    done
    exit 1
}

# start_web_server FOLDER: serves FOLDER over HTTP on 127.0.0.1 at a free port, from the
# start of the test to its end; port prints the port.
start_web_server() {
    (cd "$1" && exec python3 -m http.server --bind 127.0.0.1 0) >"$work/http.log" 2>&1 &
    started+=("$!")
    wait_for 10 "the web server" port_known || fail "the web server did not start"
}
port() { sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/http.log" | head -n 1; }
port_known() { [ -n "$(port)" ]; }

# require_tools TOOL...: skips unless every tool is installed.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 ||
            skip "$tool is not installed (scripts/install-deps.sh installs it)"
    done
}

# tray_icon_embedded: true once a tray host has taken in (reparented) the program's tray icon;
# sets tray_icon to the icon's window and tray_parent to the host's window holding it.
tray_icon=""
tray_parent=""
tray_icon_embedded() {
    local window parent
    for window in $(xdotool search --classname '^stowbird$' 2>/dev/null); do
        parent=$(xwininfo -children -id "$window" 2>/dev/null | awk '/Parent window id:/ {print $4}')
        if [ -n "$parent" ] && [ "$parent" != "$root_id" ] &&
            xprop -id "$window" _XEMBED_INFO 2>/dev/null | grep -q '='; then
            tray_icon=$window
            tray_parent=$parent
            return 0
        fi
    done
    return 1
}

# e2e_begin NAME: makes $work and arms the cleanup.
e2e_begin() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/stowbird-$1.XXXXXX")
    started=()
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    local i pid
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null
    done
    for pid in "${started[@]}"; do
        wait "$pid" 2>/dev/null
    done
    if declare -F extra_cleanup >/dev/null; then
        extra_cleanup
    fi
    rm -rf "$work"
}

# wait_for SECONDS WHAT COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_for() {
    local deadline=$((SECONDS + $1)) what="$2"
    shift 2
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || {
            echo "timed out waiting for $what" >&2
            return 1
        }
        sleep 0.1
    done
}

# start_xvfb: an X server on a free display; exports DISPLAY and sets root_id.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    started+=("$xvfb_pid")
    wait_for 20 "Xvfb to start" xvfb_ready || skip "Xvfb did not report a display within 20 s"
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_for 10 "the display to answer" xwininfo -root >/dev/null 2>&1 ||
        skip "the X server on $DISPLAY does not answer"
    root_id=$(xwininfo -root | awk '/Window id:/ {print $4}')
    echo "X server on $DISPLAY"
}

# wait_for_hud_focus: waits until the focused X window is the triage window (700 px or wider).
wait_for_hud_focus() {
    wait_for 20 "the HUD to take the focus" hud_focused || fail "the HUD did not take the focus"
}
hud_focused() {
    local window
    window=$(xdotool getwindowfocus 2>/dev/null) || return 1
    [ "$(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ {print $2}')" -ge 700 ] 2>/dev/null
}

# start_accessibility_bus: a private session bus with at-spi-bus-launcher on it; exports
# DBUS_SESSION_BUS_ADDRESS and sets a11y to the accessibility bus's address. Skips when
# either does not start.
start_accessibility_bus() {
    local launcher=/usr/libexec/at-spi-bus-launcher
    [ -x "$launcher" ] || skip "at-spi2-core is not installed"
    dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
    started+=("$!")
    wait_for 10 "the session bus" test -s "$work/bus" || skip "dbus-daemon did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
    export DBUS_SESSION_BUS_ADDRESS
    "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
    started+=("$!")
    wait_for 20 "the accessibility bus" a11y_address || skip "at-spi-bus-launcher did not start"
}
a11y_address() {
    a11y=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress 2>/dev/null | sed -n "s/^('\(.*\)',)$/\1/p")
    [ -n "$a11y" ]
}

xvfb_ready() {
    [ -s "$work/display" ] && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb could not start: $(tail -n 3 "$work/xvfb.log")"
    return 1
}

# use_private_home [FOLDER...]: a home of the test's own under $work with Downloads and the
# named folders in it, its XDG folders and a private runtime folder; sets home and downloads.
use_private_home() {
    home="$work/home"
    downloads="$home/Downloads"
    mkdir -p "$downloads" "$work/runtime"
    for folder in "$@"; do
        mkdir -p "$home/$folder"
    done
    chmod 700 "$work/runtime"
    export HOME="$home"
    export XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    export XDG_STATE_HOME="$home/.local/state" XDG_CACHE_HOME="$home/.cache"
    export XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8
}

# throttle_reads NAME: a blkio cgroup that slows reads of the disk under $work to 8 MB/s;
# sets cgroup (extra_cleanup removes it). Skips where the cgroup cannot be made.
throttle_reads() {
    local device
    device=$(findmnt -no MAJ:MIN -T "$work" | tr -d ' ')
    local blkio=/sys/fs/cgroup/blkio
    [ -w "$blkio" ] && [ -n "$device" ] || skip "no blkio cgroup to slow the reads down"
    cgroup="$blkio/stowbird-$1-$$"
    mkdir "$cgroup" 2>/dev/null || {
        cgroup=""
        skip "cannot make a blkio cgroup"
    }
    echo "$device 8388608" >"$cgroup/blkio.throttle.read_bps_device" 2>/dev/null ||
        skip "cannot throttle reads of $device"
}

# Shared by the end-to-end scripts (sourced, not run): a scratch folder with the processes a
# script starts, stopped in reverse order on exit; bounded polling; an X server on a free
# display. A script defines skip() and fail() before sourcing this file, and may define
# extra_cleanup() for what else it must undo (mounts, cgroups).

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

xvfb_ready() {
    [ -s "$work/display" ] && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb could not start: $(tail -n 3 "$work/xvfb.log")"
    return 1
}

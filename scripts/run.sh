#!/usr/bin/env bash
# Installs what is missing, builds Stowbird and launches it.
# Without a display (no $DISPLAY / $WAYLAND_DISPLAY) it runs under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BIN="${STOWBIRD_BUILD_DIR:-build}/src/stowbird"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a "$BIN" "$@"
fi
exec "$BIN" "$@"

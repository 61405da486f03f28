#!/usr/bin/env bash
# Installs what is missing, builds Stowbird with its tests, gives each fuzz target a short run
# (STOWBIRD_FUZZ_SECONDS, default 20; 0 skips it), optionally runs the tests again under the
# sanitizers (STOWBIRD_SANITIZE=all, asan or tsan; CI sets all), then runs every test through
# CTest (the layer rule among them), whose summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
STOWBIRD_WITH_TESTS=1 scripts/build.sh
status=0
fuzz_seconds="${STOWBIRD_FUZZ_SECONDS:-20}"
if [ "$fuzz_seconds" != "0" ]; then
    scripts/fuzz.sh "$fuzz_seconds" || status=1
fi
if [ -n "${STOWBIRD_SANITIZE:-}" ]; then
    scripts/sanitize.sh "$STOWBIRD_SANITIZE" || status=1
fi
# Two more tests at a time than there are cores: the system tests spend most of their time
# waiting on the program, the clients or the desktop (the late-tray test idles for 30 s).
(cd "${STOWBIRD_BUILD_DIR:-build}" && ctest --output-on-failure -j "$(($(nproc) + 2))" --timeout 300) ||
    status=1
exit $status

#!/usr/bin/env bash
# Installs what is missing, builds Stowbird with its tests and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd "${STOWBIRD_BUILD_DIR:-build}"
ctest --output-on-failure -j "$(nproc)" --timeout 300

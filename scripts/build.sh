#!/usr/bin/env bash
# Configures and builds Stowbird into ./build (incremental; ccache when present).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${STOWBIRD_BUILD_DIR:-build}"
BUILD_TYPE="${STOWBIRD_BUILD_TYPE:-RelWithDebInfo}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${launcher[@]}" "$@"
fi
cmake --build "$BUILD_DIR" -j "${STOWBIRD_JOBS:-$(nproc)}"

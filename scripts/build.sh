#!/usr/bin/env bash
# Configures and builds Stowbird into ./build (incremental; ccache when present).
# By default only the program is built. STOWBIRD_WITH_TESTS=1 builds the tests, benchmarks and
# developer tools too (scripts/test.sh sets it). Extra arguments go to the first configure.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${STOWBIRD_BUILD_DIR:-build}"
BUILD_TYPE="${STOWBIRD_BUILD_TYPE:-RelWithDebInfo}"
extras=OFF
if [ "${STOWBIRD_WITH_TESTS:-0}" = "1" ]; then
    extras=ON
fi
werror=OFF
if [ "${STOWBIRD_WERROR:-0}" = "1" ]; then
    werror=ON
fi
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
configured_extras=""
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
    configured_extras=$(sed -n 's/^STOWBIRD_BUILD_TESTS:BOOL=//p' "$BUILD_DIR/CMakeCache.txt")
fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${launcher[@]}" \
        -DSTOWBIRD_BUILD_TESTS="$extras" -DSTOWBIRD_BUILD_BENCHMARKS="$extras" \
        -DSTOWBIRD_BUILD_TOOLS="$extras" -DSTOWBIRD_WERROR="$werror" "$@"
elif [ "$extras" = "ON" ] && [ "$configured_extras" != "ON" ]; then
    # A folder first configured for the program alone: add the tests and the rest.
    cmake -S . -B "$BUILD_DIR" -DSTOWBIRD_BUILD_TESTS=ON -DSTOWBIRD_BUILD_BENCHMARKS=ON \
        -DSTOWBIRD_BUILD_TOOLS=ON "$@"
fi
if [ "$extras" = "ON" ]; then
    cmake --build "$BUILD_DIR" -j "${STOWBIRD_JOBS:-$(nproc)}"
else
    # Only what the program needs, even in a folder configured with the tests.
    cmake --build "$BUILD_DIR" -j "${STOWBIRD_JOBS:-$(nproc)}" --target stowbird stowbird_icons
fi

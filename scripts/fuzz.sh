#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) into ./build-fuzz
# and runs each for a bounded time: scripts/fuzz.sh [seconds per target, default 60].
# Exits non-zero when a target finds a crash; the input is left in build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-60}"
BUILD_DIR="${STOWBIRD_FUZZ_BUILD_DIR:-build-fuzz}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S fuzz -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$BUILD_DIR" -j "${STOWBIRD_JOBS:-$(nproc)}"

status=0
run() {
    local target="$1" seeds="$2"
    # The working corpus grows in the build folder; the seeds in the tree stay as they are.
    local corpus="$BUILD_DIR/corpus/$target"
    mkdir -p "$corpus" "$BUILD_DIR/artifacts"
    echo "Fuzzing $target for ${SECONDS_PER_TARGET}s"
    if ! "$BUILD_DIR/$target" -max_total_time="$SECONDS_PER_TARGET" -max_len=65536 \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$BUILD_DIR/artifacts/$target-" "$corpus" "$seeds" \
        >"$BUILD_DIR/$target.log" 2>&1; then
        echo "FAILED: $target (see $BUILD_DIR/$target.log)"
        tail -n 40 "$BUILD_DIR/$target.log"
        status=1
    else
        grep -E '^stat::number_of_executed_units' "$BUILD_DIR/$target.log" || true
    fi
}
run FuzzConfigDecoder fuzz/corpus/config
run FuzzSkipListDecoder fuzz/corpus/skiplist
run FuzzInstanceMessage fuzz/corpus/instancemessage
run FuzzTrashInfoReader fuzz/corpus/trashinfo
run FuzzReleaseNotes fuzz/corpus/releasenotes
exit $status

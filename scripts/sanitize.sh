#!/usr/bin/env bash
# Builds the tests twice more and runs them under the sanitizers: every test with the label
# "threaded" (tests/CMakeLists.txt) under ThreadSanitizer into build-tsan, the other unit tests
# under AddressSanitizer + UndefinedBehaviorSanitizer into build-asan.
# The system tests (label "system": the real binary, real clients, the desktop) stay in the
# ordinary run.
# Usage: scripts/sanitize.sh [all|asan|tsan] (default all).
set -euo pipefail
which="${1:-all}"
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Run every time: the test list read below must be the current one.
configure() {
    local dir="$1"
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
        -DSTOWBIRD_BUILD_TESTS=ON "$@" >/dev/null
}

status=0
start=$(date +%s)

if [ "$which" = "all" ] || [ "$which" = "tsan" ]; then
    configure build-tsan -DSTOWBIRD_TSAN=ON
    # The programs come from ctest's own list (each test program is a target of its name).
    mapfile -t threaded < <(cd build-tsan && ctest -N -L threaded | sed -n 's/^ *Test *#[0-9]*: //p')
    if [ "${#threaded[@]}" -eq 0 ]; then
        echo "no test has the label threaded" >&2
        exit 1
    fi
    cmake --build build-tsan -j "${STOWBIRD_JOBS:-$(nproc)}" --target "${threaded[@]}"
    echo "ThreadSanitizer: ${#threaded[@]} threaded test programs"
    # The stress cases too: the races are what ThreadSanitizer is for.
    (cd build-tsan && STOWBIRD_STRESS=1 TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:ignore_noninstrumented_modules=1:suppressions=$PWD/../tests/tsan.supp" \
        ctest --output-on-failure --timeout 600 -L threaded) || status=1
fi

if [ "$which" = "all" ] || [ "$which" = "asan" ]; then
    configure build-asan -DSTOWBIRD_ASAN=ON
    cmake --build build-asan -j "${STOWBIRD_JOBS:-$(nproc)}"
    echo "AddressSanitizer + UndefinedBehaviorSanitizer: the other unit tests"
    (cd build-asan && ASAN_OPTIONS="detect_leaks=0:abort_on_error=0" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        ctest --output-on-failure -j "$(nproc)" --timeout 600 -L unit -LE threaded) || status=1
fi

echo "Sanitizer runs took $(($(date +%s) - start)) s"
exit $status

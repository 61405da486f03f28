#!/usr/bin/env bash
# Plants each way of hiding an include against the layer rule in a small scratch project laid
# out like the program (src/<layer>/, a core and a gui library), builds it, and expects the
# layer check to blame the planted file; the clean project must pass.
# Usage: forbidden-includes.sh <check-layers.sh> <Qt Core's include folders, separated by |>
set -euo pipefail
check=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home"
mkdir -p "$HOME" "$scratch/src/models" "$scratch/src/services" "$scratch/src/views"
cd "$scratch"
printf '%s\n' 'cmake_minimum_required(VERSION 3.16)' 'project(scratch CXX)' \
    'set(CMAKE_CXX_STANDARD 17)' 'set(CMAKE_POSITION_INDEPENDENT_CODE ON)' \
    'add_subdirectory(src)' >CMakeLists.txt
# Qt's folders as the core library sees them through Qt Core: <QtWidgets/...> resolves there.
# shellcheck disable=SC2016 # CMake's variables
printf '%s\n' 'add_library(stowbird_core STATIC models/Model.cpp services/Service.cpp Root.cpp)' \
    'target_include_directories(stowbird_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${QT_INCLUDES})' \
    'add_library(stowbird_gui STATIC views/View.cpp)' \
    'target_link_libraries(stowbird_gui PUBLIC stowbird_core)' >src/CMakeLists.txt
echo 'int model();' >src/models/Model.h
echo 'int service();' >src/services/Service.h
printf '%s\n' '#include "models/Model.h"' 'int service() { return model(); }' >src/services/Service.cpp
printf '%s\n' '#include <QtWidgets/qtwidgetsglobal.h>' '#include "services/Service.h"' \
    'int view() { return service(); }' >src/views/View.cpp
for relay in models/Detail.inl models/Detail.hpp Bridge.h; do
    echo '#include "services/Service.h"' >"src/$relay"
done
printf '%s\n' '#include "models/Model.h"' 'int model() { return 1; }' >src/models/Model.cpp
echo '#include "models/Model.h"' >src/Root.cpp
build_and_check() {
    "${NINJA:-ninja}" -C build >build.log 2>&1 || { cat build.log; exit 1; }
    "$check" build src
}
cmake -S . -B build -G Ninja ${NINJA:+-DCMAKE_MAKE_PROGRAM="$NINJA"} -DQT_INCLUDES="${2//|/;}" \
    >configure.log 2>&1 || { cat configure.log; exit 1; }
build_and_check >/dev/null || { echo "FAIL: the clean project breaks the rule"; exit 1; }
status=0
# A name, the file planted in, and the lines put first there (taken out again afterwards).
plant() {
    local output original
    original=$(cat "src/$2")
    printf '%s\n%s\n' "$3" "$original" >"src/$2"
    if output=$(build_and_check 2>&1); then
        echo "FAIL: $1 passed the check"
        status=1
    elif ! grep -q "^src/$2: " <<<"$output"; then
        printf 'FAIL: %s was not blamed on src/%s:\n%s\n' "$1" "$2" "$output"
        status=1
    else
        echo "ok: $1"
    fi
    printf '%s\n' "$original" >"src/$2"
}
plant "a relative include" models/Model.cpp '#include "../services/Service.h"'
plant "angle brackets" models/Model.cpp '#include <services/Service.h>'
plant "a comment in the directive" models/Model.cpp '#include /* models */ "services/Service.h"'
plant "a widget header in the core" models/Model.cpp '#include <QtWidgets/QWidget>'
plant "a macro include" models/Model.cpp \
    "$(printf '#define LAYER_HEADER "services/Service.h"\n#include LAYER_HEADER')"
plant "an .inl file" models/Model.cpp '#include "models/Detail.inl"'
plant "an .hpp file" models/Model.cpp '#include "models/Detail.hpp"'
plant "a header at the root of src/" models/Model.cpp '#include "Bridge.h"'
plant "a source at the root of src/" Root.cpp '#include "services/Service.h"'
exit $status

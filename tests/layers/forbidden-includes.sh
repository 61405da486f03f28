#!/usr/bin/env bash
# Plants each way of hiding an include against the layer rule in a small scratch project laid
# out like the program (src/<layer>/, a core and a gui library), builds it, and expects the
# layer check to name the offending file; the clean project must pass.
# Usage: forbidden-includes.sh <check-layers.sh> <Qt Core's include folders, separated by |>
set -euo pipefail
check=$1
qt_includes=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home"
mkdir -p "$HOME" "$scratch/src/models" "$scratch/src/services" "$scratch/src/views"
cd "$scratch"
cat >CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(scratch CXX)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_subdirectory(src)
CMAKE
cat >src/CMakeLists.txt <<'CMAKE'
add_library(stowbird_core STATIC models/Model.cpp services/Service.cpp Root.cpp)
# Qt's folders as the core library sees them through Qt Core: <QtWidgets/...> resolves there.
target_include_directories(stowbird_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${QT_INCLUDES})
add_library(stowbird_gui STATIC views/View.cpp)
target_link_libraries(stowbird_gui PUBLIC stowbird_core)
CMAKE
echo 'int model();' >src/models/Model.h
echo 'int service();' >src/services/Service.h
printf '#include "models/Model.h"\nint service() { return model(); }\n' >src/services/Service.cpp
printf '%s\n' '#include <QtWidgets/qtwidgetsglobal.h>' '#include "services/Service.h"' \
    'int view() { return service(); }' >src/views/View.cpp
echo '#include "services/Service.h"' >src/models/Detail.inl
echo '#include "services/Service.h"' >src/models/Detail.hpp
echo '#include "services/Service.h"' >src/Bridge.h
clean() {
    printf '#include "models/Model.h"\nint model() { return 1; }\n' >src/models/Model.cpp
    echo '#include "models/Model.h"' >src/Root.cpp
}
# Builds the project as it stands and runs the check; prints the check's output.
build_and_check() {
    cmake --build build >build.log 2>&1 || { cat build.log; exit 1; }
    "$check" build src
}
clean
cmake -S . -B build -G Ninja ${NINJA:+-DCMAKE_MAKE_PROGRAM="$NINJA"} -DQT_INCLUDES="${qt_includes//|/;}" \
    >configure.log 2>&1 ||
    { cat configure.log; exit 1; }
build_and_check >/dev/null || { echo "FAIL: the clean project breaks the rule"; exit 1; }
status=0
# Each case: a name, the file it goes into, and the lines it puts first there.
plant() {
    local name=$1 file=$2 lines=$3 output
    clean
    printf '%s\n%s' "$lines" "$(cat "src/$file")" >"src/$file"
    if output=$(build_and_check 2>&1); then
        echo "FAIL: $name passed the check"
        status=1
    elif ! grep -q "^src/$file: " <<<"$output"; then
        echo "FAIL: $name was not blamed on src/$file:"
        echo "$output"
        status=1
    else
        echo "ok: $name"
    fi
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

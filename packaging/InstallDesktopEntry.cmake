# Run by `cmake --install` (and by CPack): installs the desktop entry with the absolute path
# of the program in the prefix being installed to, in Exec and TryExec. A launcher then
# finds the program whatever its PATH holds: a session's PATH rarely has ~/.local/bin.
# Set by the install code before this runs: STOWBIRD_DESKTOP_SOURCE (the entry as written,
# Exec=stowbird), STOWBIRD_DESKTOP_STAGING (a file in the build folder to write),
# STOWBIRD_BIN_DIR and STOWBIRD_DATA_DIR (relative to the prefix, or absolute).
set(prefix "${CMAKE_INSTALL_PREFIX}")
if(NOT IS_ABSOLUTE "${prefix}")
    # A relative --prefix names a folder under the one the install runs in.
    get_filename_component(prefix "${prefix}" ABSOLUTE BASE_DIR "$ENV{PWD}")
endif()
if(IS_ABSOLUTE "${STOWBIRD_BIN_DIR}")
    set(program "${STOWBIRD_BIN_DIR}/stowbird")
else()
    set(program "${prefix}/${STOWBIRD_BIN_DIR}/stowbird")
endif()
if(IS_ABSOLUTE "${STOWBIRD_DATA_DIR}")
    set(destination "${STOWBIRD_DATA_DIR}/applications")
else()
    set(destination "${prefix}/${STOWBIRD_DATA_DIR}/applications")
endif()

# String values escape the backslash; Exec's argument is quoted when it holds anything
# but plain path characters, and inside quotes ", `, $ and \ take a backslash. % is
# doubled there in any case.
string(REPLACE "\\" "\\\\" try_exec "${program}")
set(exec "${program}")
if(NOT exec MATCHES "^[A-Za-z0-9/._+-]+$")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")

file(READ "${STOWBIRD_DESKTOP_SOURCE}" entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${exec}" entry "${entry}")
string(REGEX REPLACE "\nTryExec=[^\n]*" "\nTryExec=${try_exec}" entry "${entry}")
file(WRITE "${STOWBIRD_DESKTOP_STAGING}" "${entry}")
# file(INSTALL) honours DESTDIR (CPack) and lists the file in install_manifest.txt.
file(INSTALL "${STOWBIRD_DESKTOP_STAGING}" DESTINATION "${destination}")

#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Stowbird need.
# Only missing packages are installed, so a second run is quick and needs no network.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-pdf-dev qt6-svg-dev qt6-qpa-plugins
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libgl-dev libxkbcommon-dev libxcb1-dev libxcb-xfixes0-dev libxcb-keysyms1-dev
    qt6-wayland weston dbus
    nlohmann-json3-dev libsystemd-dev zlib1g-dev libbenchmark-dev libsqlite3-dev libarchive-dev
    clang libclang-rt-14-dev
    xvfb xauth
    desktop-file-utils appstream
    dpkg-dev file universal-ctags
    trayer xdotool x11-utils x11-xserver-utils x11-xkb-utils libxcb1-dev
    fonts-dejavu-core
    wget curl aria2 python3
    fusefat dosfstools
    libglib2.0-dev libglib2.0-bin gvfs attr
    dunst
)
if [ "${STOWBIRD_EXTRA_PACKAGES:-}" != "" ]; then
    # shellcheck disable=SC2206
    packages+=(${STOWBIRD_EXTRA_PACKAGES})
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs, from Debian's own packages, everything Quorvane needs to build, run and test.
# Safe to run again: packages already present are skipped, and nothing is asked.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    libbenchmark-dev
    clang libclang-rt-dev llvm clang-format clang-tidy
    fonts-dejavu-core
    fonts-wine
    xvfb xauth xdotool x11-utils x11-apps x11-xserver-utils imagemagick openbox
    desktop-file-utils appstream
    dbus dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

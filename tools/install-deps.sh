#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, testing and running the monitor need.
# Idempotent: when every package is present it says so and changes nothing.
set -euo pipefail

packages=(
    # host build and its tests
    cmake ninja-build g++ googletest libbenchmark-dev
    # the Windows cross build
    mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    # running and testing the Windows program: Wine in a private X display, driven and photographed
    wine64 xvfb xdotool x11-utils imagemagick iproute2 locales
    # fonts with the metrics and glyphs the program's faces ask for
    fonts-wine fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} needed packages are installed"
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "install-deps: installing ${missing[*]} with apt-get"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "install-deps: done"

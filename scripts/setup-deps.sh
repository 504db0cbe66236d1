#!/bin/bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
    cmake g++ libgtest-dev libbenchmark-dev libcli11-dev
    clang libclang-rt-14-dev valgrind file dpkg-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix gcc-mingw-w64-x86-64-posix
    gcc-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick
    tigervnc-standalone-server
)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null

#!/bin/bash
# Runs a 32-bit Windows program under the 32-bit Wine of the i386 root: CMake's emulator for the
# win32-tests build.
KELVANE_WINE_ARCH=win32 exec "$(dirname "$0")/wine-run.sh" "$@"

#!/bin/bash
# Builds the win64 preset and runs its user-interface tests (ctest label "ui") on $DISPLAY or,
# without one, on an Xvfb of their own. KELVANE_BUILD_DIR replaces build/win64; extra arguments
# go to ctest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build/win64}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -S "$root" -B "$build"
cmake --build "$build" -j2
"$root/scripts/wine-fonts.sh"
exec "$root/scripts/with-display.sh" \
    ctest --test-dir "$build" -L ui --output-on-failure -j2 --timeout 300 "$@"

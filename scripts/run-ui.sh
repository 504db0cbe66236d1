#!/bin/bash
# Builds Kelvane.exe with the win64 preset and opens its dialog under Wine on $DISPLAY.
# KELVANE_BUILD_DIR replaces build/win64.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KELVANE_BUILD_DIR:-$root/build/win64}"
if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
run-ui.sh: DISPLAY is not set, so there is no screen to show the dialog on.
Run it from a desktop session, over "ssh -X", or on the VNC server that scripts/setup-deps.sh
installs, listening on this machine only:

    Xtigervnc :5 -localhost -SecurityTypes None -geometry 1280x800 &
    DISPLAY=:5 bash scripts/run-ui.sh

then point a VNC viewer at localhost:5905 (from another machine through
"ssh -L 5905:localhost:5905 THIS-MACHINE"). An Xvfb screen is invisible: the tests use one
(scripts/test-ui.sh), a person cannot.
TEXT
    exit 1
fi
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -S "$root" -B "$build"
cmake --build "$build" -j2 --target Kelvane
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh"
"$root/scripts/wine-fonts.sh"
# A wineserver that started without a display draws nowhere: if no window shows up, stop it
# ("$WINESERVER -k", with nothing else running in the prefix) and try again.
exec "$WINE" "$build/ui/Kelvane.exe"

#!/bin/bash
# Creates the Wine prefix (once) and starts a wineserver that outlives the tests, detached from
# their output so CTest does not wait on its pipe.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.kelvane-ready" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    "$WINESERVER" -k 2>/dev/null || true
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    # Without a window manager every dialog close waits for one; x11,null also allows runs without
    # a display.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f </dev/null >/dev/null 2>&1
    "$WINESERVER" -w
    bash "$(dirname "$0")/wine-fonts.sh"
    touch "$WINEPREFIX/.kelvane-ready"
fi
# Neither may inherit the lock, or the next caller waits until the server exits.
"$WINESERVER" -p60 </dev/null >/dev/null 2>&1 9>&- &
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true

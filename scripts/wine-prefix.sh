#!/bin/bash
# Creates the Wine prefix (once) and starts a wineserver that outlives the tests, detached from
# their output so CTest does not wait on its pipe.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
log="$WINEPREFIX.log"

# Runs Wine with its output kept in the log, which is shown when the prefix cannot be made.
wine_logged() { "$WINE" "$@" </dev/null >>"$log" 2>&1 9>&-; }

# The folder is made first, so that a server still answering for a folder at the same place on
# the disk is ended too.
boot() {
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    wine_logged wineboot -i || true
    "$WINESERVER" -w
    [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/user.reg" ]
}

if [ ! -f "$WINEPREFIX/.kelvane-ready" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    : >"$log"
    # A fresh machine once saw this step fail within seconds without a word; a boot that leaves
    # no registry is tried once more from a clean folder, and a second failure shows Wine's words.
    if ! boot; then
        echo "The first wineboot left no registry; booting once more" >&2
        rm -rf "$WINEPREFIX"
        boot || {
            echo "Wine could not create the prefix $WINEPREFIX; what it printed:" >&2
            tail -n 40 "$log" >&2
            exit 1
        }
    fi
    # Without a window manager every dialog close waits for one; x11,null also allows runs without
    # a display.
    wine_logged reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        wine_logged reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f || {
        echo "Wine could not set up the prefix $WINEPREFIX; what it printed:" >&2
        tail -n 40 "$log" >&2
        exit 1
    }
    "$WINESERVER" -w
    bash "$(dirname "$0")/wine-fonts.sh"
    touch "$WINEPREFIX/.kelvane-ready"
fi
# Neither may inherit the lock, or the next caller waits until the server exits.
"$WINESERVER" -p60 </dev/null >/dev/null 2>&1 9>&- &
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true

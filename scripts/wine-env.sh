# Sourced: the environment every Wine run of this project uses. KELVANE_WINE_ARCH picks the
# programs' kind: win64 (the default) runs under the host's 64-bit Wine, win32 under Debian's
# 32-bit Wine inside the i386 root (scripts/i386-root.sh).
KELVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "${KELVANE_WINE_ARCH:-win64}" = win32 ]; then
    export WINEPREFIX="${WINEPREFIX:-$KELVANE_ROOT/build/wineprefix32}"
    export WINEARCH=win32
    WINE=$KELVANE_ROOT/scripts/i386/wine
    WINESERVER=$KELVANE_ROOT/scripts/i386/wineserver
    # What file(1) says of the programs this Wine runs.
    WINE_PROGRAM_KIND='PE32 *Intel*386*'
else
    export WINEPREFIX="${WINEPREFIX:-$KELVANE_ROOT/build/wineprefix}"
    export WINEARCH=win64
    # Debian puts the 64-bit loader off PATH; /usr/bin/wine would pick it too, but only without
    # wine32, which is why the 32-bit Wine lives in a root of its own.
    WINE=/usr/lib/wine/wine64
    WINESERVER=/usr/lib/wine/wineserver64
    [ -x "$WINESERVER" ] || WINESERVER=wineserver
    WINE_PROGRAM_KIND='PE32+ *x86-64*'
fi

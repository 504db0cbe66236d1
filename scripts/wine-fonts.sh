#!/bin/bash
# Copies the fonts of the fonts-wine package into the Wine prefix, once. Wine 8 here does not find
# them by itself: without them dialogs are drawn in DejaVu Sans and caption buttons show letters.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ] && [ -d /usr/share/wine/fonts ]; then
    cp /usr/share/wine/fonts/* "$fonts/"
fi

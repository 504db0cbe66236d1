#!/bin/bash
# Runs a Windows program under Wine; CMake's emulator for the win64 build.
source "$(dirname "$0")/wine-env.sh"
exec "$WINE64" "$@"

#!/bin/bash
# Sets up a fresh Debian machine, builds Kelvane, converts the bundled samples with the
# command-line converter, and opens the Windows program's dialog under Wine on this display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh

cmake --preset linux >/dev/null
cmake --build --preset linux --target kelvane-convert
mkdir -p build/samples
cp samples/*.txt build/samples/
rm -f build/samples/*+PDRT.txt
echo "Converting the bundled samples (area 2) into build/samples/:"
build/linux/cli/kelvane-convert --area 2 build/samples/*.txt

exec bash scripts/run-ui.sh

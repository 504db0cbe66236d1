#!/bin/bash
# Readies Wine for the dialog tests: the prefix, and a wineserver that outlives each test,
# detached from CTest's pipes, so that no test waits for one.
exec "$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-prefix.sh"

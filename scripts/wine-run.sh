#!/bin/bash
# Runs a Windows program under Wine: CMake's emulator for the Windows builds' tests.
# It fails rather than pass silently: a Wine that cannot load the program may print nothing and
# exit 0, so the program must be of the kind this Wine runs, and a test program must have listed
# or run at least one test.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

program=$1
kind=$(file -b "$program")
# shellcheck disable=SC2254
case "$kind" in
    $WINE_PROGRAM_KIND) ;;
    *)
        echo "wine-run.sh: $program is not a $WINEARCH program: $kind" >&2
        exit 1
        ;;
esac

mode=
for argument in "${@:2}"; do
    case $argument in
        --gtest_list_tests) mode=list ;;
        --gtest_filter=*) [ "$mode" = list ] || mode=run ;;
    esac
done
if [ -z "$mode" ]; then
    exec "$WINE" "$@"
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
set +e
"$WINE" "$@" | tee "$log"
status=${PIPESTATUS[0]}
if [ ! -s "$log" ]; then
    # A test program always prints; nothing at all means that Wine did not start it (seen once
    # on a loaded machine). Once more, said aloud; a second silence fails below.
    echo "wine-run.sh: $program printed nothing (status $status); starting it once more" >&2
    "$WINE" "$@" | tee "$log"
    status=${PIPESTATUS[0]}
fi
set -e
[ "$status" -eq 0 ] || exit "$status"
if [ "$mode" = list ] && ! grep -q '^  [^ ]' "$log"; then
    echo "wine-run.sh: $program listed no test" >&2
    exit 1
fi
if [ "$mode" = run ] && ! grep -Eq '^\[==========\] [1-9][0-9]* tests? from .* ran' "$log"; then
    echo "wine-run.sh: $program ran no test" >&2
    exit 1
fi

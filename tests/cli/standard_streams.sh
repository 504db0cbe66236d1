#!/bin/bash
# The real converter with '-' for its file, reading a pipe: standard output must hold exactly the
# bytes an output file would (CR LF line ends even on Windows, where the streams are binary), and
# nothing when the input is refused. No temporary file may be left in the temporary folder.
# Usage: standard_streams.sh WORK_FOLDER PROGRAM [EMULATOR]
set -euo pipefail
source "$(dirname "$0")/script_setup.sh" "$@"

mkdir -p "$work/tmp"
export TMPDIR=$work/tmp

printf 'h\nh\nh\n1.5 2e-3\n' | $emulator "$program" --area 2 - >"$work/out" 2>"$work/err" ||
    fail "exit status $?: $(cat "$work/err")"
printf 'Freq(Hz), Gamma(tau)\r\n79.577469, 3\r\n' >"$work/expected"
cmp "$work/out" "$work/expected" || fail "standard output: $(od -c "$work/out")"
grep -q "Finished Processing file: standard input" "$work/err" || fail "progress: $(cat "$work/err")"

status=0
printf 'h\nh\ng(tau), tau\n1.5 2e-3\n' | $emulator "$program" - >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status, not 1, for a refused input: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "a refused input wrote to standard output: $(od -c "$work/out")"

# A reader that goes early (head): the process ends as a closed pipe ends it, its files removed.
if [ -z "$emulator" ]; then
    { printf 'h\nh\nh\n'; seq -f '%g 1e-3' 1 20000; } >"$work/rows.txt"
    set +o pipefail
    "$program" - <"$work/rows.txt" 2>"$work/err" | head -c 100 >/dev/null
    status=${PIPESTATUS[0]}
    set -o pipefail
    [ "$status" -eq 141 ] || fail "exit status $status, not 141, after the reader went: $(cat "$work/err")"
fi

# Wine takes its temporary folder from its own prefix, not from TMPDIR.
if [ -z "$emulator" ] && [ -n "$(ls -A "$work/tmp")" ]; then
    fail "left in the temporary folder: $(ls -A "$work/tmp")"
fi
echo "standard input converted to standard output; a refused one wrote nothing; a reader gone"
rm -rf "$work"

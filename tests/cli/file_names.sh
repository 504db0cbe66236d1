#!/bin/bash
# The real converter, given names of every script, reserved device names, a path of over 300
# characters and a pattern that matches nothing on its command line: each name must be the file
# it names (α.dat is not the a.dat beside it), and the pattern must be reported as matching
# nothing. Under Wine the names cross the wide command line.
# Usage: file_names.sh WORK_FOLDER PROGRAM [EMULATOR]
set -euo pipefail
source "$(dirname "$0")/script_setup.sh" "$@"

deep=$work
for letter in k l m n o; do
    deep=$deep/$(printf "$letter%.0s" $(seq 60))
done
mkdir -p "$deep"
names=("$work/α.dat" "$work/电池.txt" "$work/Größe Zelle 1.txt" "$work/cell 🔋.txt" "$work/nul.dat"
    "$work/aux.dat" "$deep/cell.txt")
printf 'h\nh\nh\n99 1\n' >"$work/a.dat"
tag=0
for name in "${names[@]}"; do
    tag=$((tag + 1))
    printf 'h\nh\nh\n%d 1\n' "$tag" >"$name"
done

status=0
$emulator "$program" "${names[@]}" "$work/none*.dat" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status, not 1 for the pattern that matches nothing: $(cat "$work/err")"
# Windows has no shell that expands patterns: the program does, and says when one matches nothing.
if [ -n "$emulator" ]; then
    grep -q "none\*.dat: no file matches it" "$work/err" || fail "the pattern: $(cat "$work/err")"
fi
tag=0
for name in "${names[@]}"; do
    tag=$((tag + 1))
    output=${name%.*}+PDRT.txt
    [ "$(tr -d '\r' <"$output" | tail -n 1)" = "0.159155, $tag" ] || fail "$output does not hold row $tag"
    grep -qF "Finished Processing file: " "$work/out" || fail "no progress line"
done
[ ! -e "$work/a+PDRT.txt" ] || fail "a.dat was converted in place of α.dat"
echo "${#names[@]} names converted, each into its own output"
rm -rf "$work"

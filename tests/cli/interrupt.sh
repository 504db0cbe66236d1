#!/bin/bash
# Interrupts the converter in the middle of two large files, converted at once where there are two
# processors: every temporary output must be gone, the earlier outputs kept, the interrupted files
# named, and the exit status the conventional one.
# Usage: interrupt.sh WORK_FOLDER PROGRAM [EMULATOR]
# Natively it sends SIGINT (status 130) and SIGTERM (143); under Wine SIGINT, which Wine hands to
# the program as the console's Ctrl+C (status STATUS_CONTROL_C_EXIT, 0xC000013A, seen as 58).
set -euo pipefail
source "$(dirname "$0")/script_setup.sh" "$@"

input=$work/big.txt
output=$work/big+PDRT.txt
temporary=$work/big+PDRT.tmp
{
    printf 'h\nh\nh\n'
    (yes '1.5 2e-3' || true) | head -n 4000000
} >"$input"
input2=$work/big2.txt
output2=$work/big2+PDRT.txt
temporary2=$work/big2+PDRT.tmp
cp "$input" "$input2"
# The second file's conversion has begun by the interruption only where both run at once.
both=$([ "$(nproc)" -ge 2 ] && echo 1 || echo 0)

if [ -n "$emulator" ]; then
    cases=("INT 58")
else
    cases=("INT 130" "TERM 143")
fi
# Job control: a background job then takes SIGINT as a program started from a terminal does.
set -m
for case in "${cases[@]}"; do
    read -r signal expected <<<"$case"
    printf 'Freq(Hz), Gamma(tau)\r\nearlier output\r\n' >"$output"
    printf 'Freq(Hz), Gamma(tau)\r\nearlier output 2\r\n' >"$output2"
    $emulator "$program" "$input" "$input2" >"$work/out" 2>"$work/err" &
    pid=$!
    for _ in $(seq 2000); do
        [ -e "$temporary" ] && { [ "$both" = 0 ] || [ -e "$temporary2" ]; } && break
        sleep 0.005
    done
    [ -e "$temporary" ] || fail "no temporary output appeared"
    [ "$both" = 0 ] || [ -e "$temporary2" ] || fail "the second file's conversion did not begin"
    kill "-$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq "$expected" ] || fail "SIG$signal ended with status $status, not $expected"
    [ ! -e "$temporary" ] && [ ! -e "$temporary2" ] ||
        fail "SIG$signal left a temporary output behind"
    grep -q "^earlier output.$" "$output" || fail "SIG$signal changed the earlier output"
    grep -q "^earlier output 2.$" "$output2" || fail "SIG$signal changed the earlier output 2"
    grep -q "Interrupted while converting .*big.txt" "$work/err" ||
        fail "SIG$signal: the interrupted file is not named: $(cat "$work/err")"
    [ "$both" = 0 ] || grep -q "Interrupted while converting .*big2.txt" "$work/err" ||
        fail "SIG$signal: the second interrupted file is not named: $(cat "$work/err")"
    echo "SIG$signal: status $status, temporaries removed, earlier outputs kept"
done

# Standard input is spooled to a private file and converted into another: neither may stay.
if [ -z "$emulator" ]; then
    spool=$work/spool
    mkdir -p "$spool"
    TMPDIR=$spool "$program" - <"$input" >"$work/out" 2>"$work/err" &
    pid=$!
    for _ in $(seq 2000); do
        compgen -G "$spool/*.tmp" >/dev/null && break
        sleep 0.005
    done
    compgen -G "$spool/*.tmp" >/dev/null || fail "no temporary output of standard input appeared"
    kill -INT "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 130 ] || fail "standard input: SIGINT ended with status $status, not 130"
    [ -z "$(ls -A "$spool")" ] || fail "standard input: left behind: $(ls "$spool")"
    echo "standard input: status $status, spooled input and temporary removed"
fi
rm -rf "$work"

#!/bin/bash
# End to end: the real Kelvane.exe under Wine. Types the area with the keyboard, chooses two files
# through the system's Open dialog, starts the run with Enter, checks the outputs, stores a
# screenshot of the dialog, opens the plot of the run from the window menu (a screenshot too) and
# closes it with Esc, then closes the dialog with Esc, which must end the process.
# Usage: e2e_real_program.sh <Kelvane.exe> <kelvane_e2e_driver.exe> <artifacts folder>
# Needs $DISPLAY (CTest runs it through scripts/with-display.sh). Runs in a Wine prefix of its
# own, so that its wineserver talks to that display. Exit status 77 (skipped) without Xvfb,
# xdotool or ImageMagick.
set -euo pipefail
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND ended with $?" >&2' ERR
program=$(realpath "$1")
driver=$(realpath "$2")
artifacts=$3
root="$(cd "$(dirname "$0")/../.." && pwd)"

for tool in Xvfb xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
xdotool getdisplaygeometry >/dev/null 2>&1 || {
    echo "FAIL: no X display answers on \"${DISPLAY:-}\"" >&2
    exit 1
}

work=$(mktemp -d)
cleanup() {
    if [ -n "${WINESERVER:-}" ]; then
        "$WINESERVER" -k 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

export WINEPREFIX="${KELVANE_E2E_WINEPREFIX:-$(dirname "$(realpath -m "$artifacts")")/e2e-wineprefix}"
source "$root/scripts/wine-env.sh"
# A wineserver left from an earlier run would still talk to that run's display.
"$WINESERVER" -k 2>/dev/null || true
"$root/scripts/wine-prefix.sh"
"$root/scripts/wine-fonts.sh"

windows_path() { echo "Z:${1//\//\\}"; }
drive() { timeout 30 "$WINE" "$driver" "$@" </dev/null 2>>"$work/driver.log"; }

# Large enough that a run lasts far longer than the gap between two key presses.
for name in a b; do
    printf 'DRT export %s\nlambda = 1e-3\ngamma\ttau\n' "$name" >"$work/$name.txt"
    awk 'BEGIN { for (i = 0; i < 200000; ++i) printf "%.6e\t%.6e\n", (i % 7 - 3) * 1.25e-3, 1e-6 * (1 + i) }' \
        >>"$work/$name.txt"
done

# Into a file: Kelvane.exe inherits the output, and a pipe would stay open as long as it runs.
drive start "$(windows_path "$program")" "$(windows_path "$work")" >"$work/pid" ||
    fail "the main dialog did not show up: $(cat "$work/driver.log")"
pid=$(cat "$work/pid")
echo "Kelvane.exe runs as Windows process $pid"
[ "$(drive text "$pid" 1003)" = "Area=1.000000" ] || fail "the area did not start at 1.0"

# Types into the area field: a click gives it the keyboard, then its text is replaced.
read -r x y w h <<<"$(drive rect "$pid" 1002)"
click_area() { xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1; }
click_area
xdotool key --delay 40 End shift+Home BackSpace
xdotool type --delay 40 "0.5"
shown=
for _ in $(seq 50); do
    shown=$(drive text "$pid" 1003)
    [ "$shown" = "Area=0.500000" ] && break
    sleep 0.1
done
[ "$shown" = "Area=0.500000" ] || fail "typing 0.5 showed \"$shown\""

drive choose "$pid" '"a.txt" "b.txt"' || fail "choosing in the Open dialog: $(cat "$work/driver.log")"
list=$(drive text "$pid" 1000 | od -An -c | tr -s ' ')
[ "$list" = " a \r \n b \r \n" ] || fail "the file list shows:$list"

# Enter in the area field presses the default button, OK; pressed twice at once, it must start
# one run only. Every run puts new files in place of the outputs, so a second run shows as a
# second file at an output's name.
click_area
xdotool key --delay 12 Return Return
seen="$work/outputs-seen"
: >"$seen"
settled=0
for _ in $(seq 400); do
    stat -c '%n %i' "$work/a+PDRT.txt" "$work/b+PDRT.txt" >>"$seen" 2>/dev/null || true
    if [ -e "$work/b+PDRT.txt" ]; then
        settled=$((settled + 1))
        # Watches on for 3 s after the last output appeared: a second run follows the first
        # at once.
        [ "$settled" -ge 60 ] && break
    fi
    sleep 0.05
done
[ -s "$work/a+PDRT.txt" ] && [ -s "$work/b+PDRT.txt" ] || fail "the run wrote no outputs"
files=$(sort -u "$seen" | wc -l)
[ "$files" = 2 ] || fail "two presses of Enter put $files files at the two outputs' names"
echo "Two quick presses of Enter started one run"
for name in a b; do
    output="$work/$name+PDRT.txt"
    [ -s "$output" ] || fail "no output $output"
    tr -d '\r' <"$output" | awk -v input="$work/$name.txt" '
        BEGIN {
            K = 0.15915494580678602
            while ((getline line < input) > 0) {
                if (++n > 3) { split(line, f, "\t"); gamma[n - 3] = f[1]; tau[n - 3] = f[2] }
            }
        }
        function near(a, b) { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b; return d <= 1e-5 * m }
        NR == 1 { if ($0 != "Freq(Hz), Gamma(tau)") { print "header: " $0; bad = 1 } next }
        {
            split($0, v, ", ")
            i = NR - 1
            if (!near(v[1], K / tau[i]) || !near(v[2], 0.5 * gamma[i])) { print "row " i ": " $0; bad = 1 }
        }
        END { if (NR - 1 != n - 3) { print "rows: " NR - 1; bad = 1 } exit bad }
    ' || fail "$output does not hold the converted rows"
done
echo "Both files converted with area 0.5"

mkdir -p "$artifacts"
read -r x y w h <<<"$(drive rect "$pid" 0)"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$artifacts/main-dialog.png"
echo "Screenshot: $artifacts/main-dialog.png"

# The window menu's plot of the run: the real program paints it, and Esc closes it.
read -r x y w h <<<"$(drive plot "$pid")" || fail "the plot window did not open: $(cat "$work/driver.log")"
sleep 1
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$artifacts/plot-window.png"
echo "Screenshot: $artifacts/plot-window.png"
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
# Were it still open, the Esc below would reach it, and the program would not end.
xdotool key Escape
sleep 1

read -r x y w h <<<"$(drive rect "$pid" 1002)"
# The waiter holds the process before Esc, so that its exit code can still be read however soon
# it ends.
drive wait-exit "$pid" >"$work/exit" &
waiter=$!
sleep 2
click_area
xdotool key Escape
wait "$waiter" || fail "Kelvane.exe still runs after Esc"
ended=$(cat "$work/exit")
[ "$ended" = "ended 0" ] || fail "Kelvane.exe $ended"
echo "Esc closed the dialog and the process ended"

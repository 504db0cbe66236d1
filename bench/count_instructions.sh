#!/usr/bin/env bash
# Counts the instructions kelvane-convert executes per data line under callgrind, on a generated
# file of LINES data lines (default 200000) of the large benchmark file's kind and on a header-only
# file whose count is the start-up and shutdown cost; shows where the instructions go and the peak
# memory of plain runs. With --comma it does the same for a comma-separated tau-first file of as
# many lines (the DRTtools 2020 export's layout) and compares the two.
#
# Usage: bench/count_instructions.sh [--keep] [--comma] [LINES]
#   --keep   leaves the generated files and the callgrind outputs in place and prints the folder
#   --comma  counts the comma file too
# Environment: KELVANE_BENCH_BUILD_DIR (default build/bench), KELVANE_BENCH_TOP (default 15).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KELVANE_BENCH_BUILD_DIR:-$root/build/bench}"
top="${KELVANE_BENCH_TOP:-15}"
keep=0
comma=0
lines=200000
for argument in "$@"; do
    case "$argument" in
        --keep) keep=1 ;;
        --comma) comma=1 ;;
        *[!0-9]* | '')
            echo "usage: $0 [--keep] [--comma] [LINES]" >&2
            exit 2
            ;;
        *) lines="$argument" ;;
    esac
done
large_lines=3000000

for tool in valgrind callgrind_annotate cmake; do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is needed" >&2
        exit 1
    fi
done

echo "Building kelvane-convert and kelvane_bench_data (Release) in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVANE_BUILD_TESTS=OFF \
    -DKELVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target kelvane-convert kelvane_bench_data -j 2 >/dev/null
convert="$build/cli/kelvane-convert"
generate="$build/bench/kelvane_bench_data"

work="$(mktemp -d "${TMPDIR:-/tmp}/kelvane-instructions-XXXXXX")"
if [[ $keep == 1 ]]; then
    echo "Files kept in $work"
else
    trap 'rm -rf "$work"' EXIT
fi

"$generate" "$work/empty.txt" 0 >/dev/null
read -r data_lines data_bytes < <("$generate" "$work/lines.txt" "$lines")
if [[ $comma == 1 ]]; then
    read -r comma_lines comma_bytes < <("$generate" "$work/comma.txt" "$lines" comma)
fi

# Runs kelvane-convert on $work/$1.txt under callgrind and prints the total Ir.
callgrind_total() {
    valgrind --tool=callgrind --callgrind-out-file="$work/$1.callgrind" \
        "$convert" --area 2 "$work/$1.txt" >"$work/$1.stdout" 2>"$work/$1.valgrind"
    awk '/^summary:/ { print $2 }' "$work/$1.callgrind"
}

empty_ir="$(callgrind_total empty)"
lines_ir="$(callgrind_total lines)"
if [[ $comma == 1 ]]; then
    comma_ir="$(callgrind_total comma)"
fi

echo
echo "kelvane-convert --area 2 FILE under callgrind (valgrind $(valgrind --version | sed 's/valgrind-//'))"
printf '  %-34s %15s\n' "header-only file, Ir" "$empty_ir"
printf '  %-34s %15s\n' "$data_lines-line file ($data_bytes bytes), Ir" "$lines_ir"
awk -v empty="$empty_ir" -v full="$lines_ir" -v n="$data_lines" 'BEGIN {
    printf "  %-34s %15.1f\n", "raw instructions per data line", full / n
    printf "  %-34s %15.1f   (target <= 650)\n", "net instructions per data line", (full - empty) / n
}'
if [[ $comma == 1 ]]; then
    printf '  %-34s %15s\n' "$comma_lines-line comma file ($comma_bytes bytes), Ir" "$comma_ir"
    awk -v empty="$empty_ir" -v full="$comma_ir" -v plain="$lines_ir" -v n="$comma_lines" \
        -v m="$data_lines" 'BEGIN {
        printf "  %-34s %15.1f\n", "comma file, raw per data line", full / n
        printf "  %-34s %15.1f\n", "comma file, net per data line", (full - empty) / n
        printf "  %-34s %15.3f   (target <= 1.5)\n", "comma net / plain net", \
            ((full - empty) / n) / ((plain - empty) / m)
    }'
fi

# Prints the top rows of a callgrind_annotate report with the Ir per data line of each, leaving
# out the loader and C start-up frames; names lose their "file:" prefix and object suffix.
annotate_top() {
    printf '  %15s %8s %10s  %s\n' "Ir" "share" "per line" "function"
    callgrind_annotate --auto=no "$@" |
        sed -e 's/std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >/std::string/g' \
            -e 's/std::basic_string_view<char, std::char_traits<char> >/std::string_view/g' |
        awk -v top="$top" -v n="$data_lines" '
            /file:function/ { shown = 1; next }
            shown && /^ *[0-9,]+ +\(/ && rows < top {
                ir = $1; gsub(/,/, "", ir)
                rest = $0; sub(/^ *[0-9,]+ +\( */, "", rest)
                share = rest; sub(/%\).*/, "%", share)
                name = rest; sub(/^[0-9.]+%\) +/, "", name)
                sub(/ \[[^]]*\]$/, "", name); sub(/^[^:]*:/, "", name)
                if (name ~ /^0x|below main|__libc_start/) { next }
                printf "  %15s %8s %10.1f  %s\n", $1, share, ir / n, name
                ++rows
            }'
}

echo
echo "Top $top functions by exclusive Ir, $data_lines-line file"
annotate_top --inclusive=no "$work/lines.callgrind"
echo
echo "Top $top functions by inclusive Ir, $data_lines-line file"
annotate_top --inclusive=yes "$work/lines.callgrind"
if [[ $comma == 1 ]]; then
    echo
    echo "Top $top functions by exclusive Ir, $comma_lines-line comma file"
    annotate_top --inclusive=no "$work/comma.callgrind"
    echo
    echo "Top $top functions by inclusive Ir, $comma_lines-line comma file"
    annotate_top --inclusive=yes "$work/comma.callgrind"
fi

if [[ -x /usr/bin/time ]]; then
    "$generate" "$work/large.txt" "$large_lines" >/dev/null
    echo
    echo "Peak resident set of plain runs (no valgrind)"
    for name in empty lines large; do
        kib="$(/usr/bin/time -f %M "$convert" --area 2 "$work/$name.txt" 2>&1 >/dev/null | tail -n 1)"
        printf '  %-34s %10s KiB\n' "$name.txt ($(wc -c <"$work/$name.txt") bytes)" "$kib"
    done
fi

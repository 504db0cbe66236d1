#!/usr/bin/env bash
# Builds the libFuzzer targets with the "fuzz" preset and runs them one after the other within $1
# seconds in total (default 60): the number fuzzer for half of it, the row fuzzer for the rest.
# New inputs go to build/fuzz/number-corpus and build/fuzz/row-corpus, crash reproducers to
# build/fuzz/. Both always run; a crash or any other failure of either makes this script exit
# non-zero.
set -euo pipefail

cd "$(dirname "$0")/.."
seconds="${1:-60}"
if [[ ! $seconds =~ ^[0-9]+$ || $seconds -lt 2 ]]; then
    # libFuzzer takes -max_total_time=0 as no limit, so each target needs at least one second.
    echo "usage: $0 [SECONDS], at least 2" >&2
    exit 2
fi
number_seconds=$((seconds / 2))
row_seconds=$((seconds - number_seconds))

cmake --preset fuzz
cmake --build --preset fuzz --target number_fuzz row_fuzz

mkdir -p build/fuzz/number-corpus build/fuzz/row-corpus
failed=()
build/fuzz/fuzz/number_fuzz -max_total_time="$number_seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ build/fuzz/number-corpus fuzz/corpus || failed+=(number_fuzz)
build/fuzz/fuzz/row_fuzz -max_total_time="$row_seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ build/fuzz/row-corpus fuzz/row_corpus || failed+=(row_fuzz)

if ((${#failed[@]} > 0)); then
    echo "$0: failed: ${failed[*]} (reproducers in build/fuzz/)" >&2
    exit 1
fi

#!/usr/bin/env bash
# Builds the libFuzzer targets with the "fuzz" preset and runs the number fuzzer for $1 seconds
# (default 60). New inputs go to build/fuzz/number-corpus, crash reproducers to build/fuzz/; a
# crash makes this script exit non-zero.
set -euo pipefail

cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz
cmake --build --preset fuzz --target number_fuzz

mkdir -p build/fuzz/number-corpus
build/fuzz/fuzz/number_fuzz -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ build/fuzz/number-corpus fuzz/corpus

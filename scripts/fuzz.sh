#!/usr/bin/env bash
# Builds the front-end fuzzer with clang and runs it for a bounded time over the seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORMEL_WERROR=ON -DVORMEL_SANITIZE=ON -DVORMEL_FUZZ=ON > /dev/null
cmake --build build-fuzz --target vormel_fuzz_front_end
corpus=$(mktemp -d)
cp tests/fuzz/corpus/* "$corpus"/
./build-fuzz/tests/vormel_fuzz_front_end -max_total_time="$SECONDS_TO_RUN" -max_len=4096 \
  -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 "$corpus"
rm -rf "$corpus"

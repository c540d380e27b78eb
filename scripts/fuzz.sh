#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for a bounded time over its seed corpus: the
# front end (any bytes through the lexer and parser), the interpreter (any bytes run as a
# script, seeded with the test and example scripts), the differential target (each script
# run with the evaluator's shortcuts on and off, which must show the same), and the checker
# (any bytes through vormel-check's analysis; the lexer's positions and the parser's listener
# must change nothing). FUZZ_SEED fixes the random sequence (default 1, so that a run
# repeats); FUZZ_SEED=0 lets libFuzzer pick one.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-60}
SEED=${FUZZ_SEED:-1}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORMEL_WERROR=ON -DVORMEL_SANITIZE=ON -DVORMEL_FUZZ=ON > /dev/null
cmake --build build-fuzz --target vormel_fuzz_front_end vormel_fuzz_interpreter \
  vormel_fuzz_differential vormel_fuzz_checker
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # run TARGET CORPUS_DIR [EXTRA_FLAGS...]
  echo "== fuzzing: $1"
  local target=$1 corpus=$2
  shift 2
  (cd "$work" && "$OLDPWD/build-fuzz/tests/vormel_fuzz_$target" -seed="$SEED" \
    -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$OLDPWD/build-fuzz/" "$@" "$corpus")
}

mkdir "$work/front_end" "$work/interpreter" "$work/differential" "$work/checker"
cp tests/fuzz/corpus/* "$work/front_end"/
cp tests/fuzz/corpus/* tests/checker/cases/*.vl "$work/checker"/
n=0
for script in tests/golden/*/*.vl examples/*.vl tests/fuzz/corpus/*; do
  [ -f "$script" ] || continue
  n=$((n + 1))
  cp "$script" "$work/interpreter/seed$n"
  cp "$script" "$work/differential/seed$n"
done
run front_end "$work/front_end" -close_fd_mask=2
run interpreter "$work/interpreter" -close_fd_mask=2
# Not closed: the differential target captures the scripts' output itself, and reports a
# disagreement on standard error.
run differential "$work/differential"
# The checker shares the front end: half the time is enough.
SECONDS_TO_RUN=$(( (SECONDS_TO_RUN + 1) / 2 )) run checker "$work/checker" -close_fd_mask=2

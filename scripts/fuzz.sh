#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for a bounded time over its seed corpus: the
# front end (any bytes through the lexer and parser), the interpreter (any bytes run as a
# script, seeded with the test and example scripts), the differential target (each script
# run with the evaluator's shortcuts on and off, with the debug trace off and on, which must
# show the same and spend the same steps of the run's budget), and the checker
# (any bytes through vormel-check's analysis; the lexer's positions and the parser's listener
# must change nothing), and json.parse (any bytes; what it reads must write as JSON text that
# reads back the same). FUZZ_SEED fixes the random sequence (default 1, so that a run
# repeats); FUZZ_SEED=0 lets libFuzzer pick one.
#
# libFuzzer's own output goes to build-fuzz/fuzz-TARGET.log; this prints one line of final
# figures per target (the crash report too, if one fails) and closes with
# "N passed, M failed", one test per target.
set -uo pipefail
cd "$(dirname "$0")/.."
# Usage: fuzz.sh [SECONDS] [NAME:SEEDS[:STDERR]...]. NAME is the CMake target vormel_fuzz_NAME;
# SEEDS is "corpus" (tests/fuzz/corpus), "scripts" (that and every test and example
# script) or "json" (tests/fuzz/json_corpus instead); STDERR "keep" leaves the scripts'
# standard error open (the differential target reports a disagreement there), otherwise it
# is closed to keep the log short. Without targets, the ones below run.
TARGETS=(front_end:corpus interpreter:scripts differential:scripts:keep checker:scripts json:json)
SECONDS_TO_RUN=${1:-60}
[ $# -gt 1 ] && TARGETS=("${@:2}")
SEED=${FUZZ_SEED:-1}
mkdir -p build-logs
build_log=build-logs/fuzz-build.log
build_targets=()
for target in "${TARGETS[@]}"; do build_targets+=("vormel_fuzz_${target%%:*}"); done
field() { cut -d: -f"$2" <<< "$1"; }  # field TARGET N: the Nth part of NAME:SEEDS:STDERR
if ! { CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DVORMEL_WERROR=ON -DVORMEL_SANITIZE=ON -DVORMEL_FUZZ=ON &&
       nice cmake --build build-fuzz --target "${build_targets[@]}"
     } > "$build_log" 2>&1; then
  cat "$build_log"
  echo "building the fuzzers failed"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# The value of libFuzzer's final statistic NAME in LOG.
stat() { sed -n "s/^stat::$2: *//p" "$1" | tail -1; }

# Runs one target and writes its report to build-fuzz/fuzz-NAME.report: its summary line,
# and, when it fails, "FAILED" with the end of its log.
run() {  # run TARGET CORPUS_DIR [FLAG...]
  local log=$PWD/build-fuzz/fuzz-$1.log status=0 name=$1 corpus=$2
  local report=$PWD/build-fuzz/fuzz-$1.report
  shift 2
  (cd "$work" && "$OLDPWD/build-fuzz/tests/vormel_fuzz_$name" -seed="$SEED" \
    -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$OLDPWD/build-fuzz/" "$@" "$corpus") \
    > "$log" 2>&1 || status=$?
  local coverage
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  {
    echo "$name: $(stat "$log" number_of_executed_units) runs, $(stat "$log" average_exec_per_sec)/s," \
      "${coverage:-cov: ?}, $(stat "$log" new_units_added) new inputs," \
      "peak $(stat "$log" peak_rss_mb) MB; log: $log"
    if [ "$status" -ne 0 ]; then
      echo "$name FAILED (status $status); the end of its log:"
      tail -n 60 "$log"
    fi
  } > "$report"
}

# The targets run side by side, one per processor, each for the whole time.
running=0
names=()
for target in "${TARGETS[@]}"; do
  name=$(field "$target" 1)
  names+=("$name")
  mkdir "$work/$name"
  if [ "$(field "$target" 2)" = json ]; then
    cp tests/fuzz/json_corpus/* "$work/$name"/
  else
    cp tests/fuzz/corpus/* "$work/$name"/
  fi
  if [ "$(field "$target" 2)" = scripts ]; then
    n=0
    for script in tests/golden/*/*.vl examples/*.vl; do
      [ -f "$script" ] || continue  # a test's folder may be named like a script
      n=$((n + 1))
      cp "$script" "$work/$name/seed$n.vl"
    done
  fi
  flags=(-close_fd_mask=2)
  [ "$(field "$target" 3)" = keep ] && flags=()
  rm -f "build-fuzz/fuzz-$name.report"
  run "$name" "$work/$name" "${flags[@]}" &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
for name in "${names[@]}"; do
  if [ ! -f "build-fuzz/fuzz-$name.report" ]; then
    echo "$name FAILED: it left no report"
    failed=$((failed + 1))
    continue
  fi
  cat "build-fuzz/fuzz-$name.report"
  if grep -q "^$name FAILED" "build-fuzz/fuzz-$name.report"; then
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

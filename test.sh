#!/usr/bin/env bash
# Installs the test tools and runs the whole test suite, one stage after another: unit,
# golden and packaging tests on the release build; the same under AddressSanitizer and
# UndefinedBehaviorSanitizer; the script tests on a build without the evaluator's shortcuts;
# then a bounded fuzzing run (FUZZ_SECONDS per target, 60 by default). Each stage prints a short report and keeps its full output in a log under
# build-logs/; the last line counts the tests of all stages: "N passed, M failed".
#
# A stage is one line: `stage "TITLE" COMMAND...`. The command prints what a person should
# see, with one or more "N passed, M failed" lines that the stage adds up (a failing command
# that printed no count counts as one failure).
set -uo pipefail
cd "$(dirname "$0")"
JOBS=$(nproc)
LOGS=$PWD/build-logs
mkdir -p "$LOGS"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

total_passed=0
total_failed=0

stage() {  # stage TITLE COMMAND...
  local title=$1
  shift
  echo "== $title"
  local report status=0 counted=0 line passed failed
  report=$(mktemp)
  "$@" 2>&1 | tee "$report" | sed 's/^/   /' || status=$?
  while IFS= read -r line; do
    if [[ $line =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
      passed=${BASH_REMATCH[1]}
      failed=${BASH_REMATCH[2]}
      total_passed=$((total_passed + passed))
      total_failed=$((total_failed + failed))
      counted=1
    fi
  done < "$report"
  rm -f "$report"
  if [ "$status" -ne 0 ] && [ "$counted" -eq 0 ]; then
    total_failed=$((total_failed + 1))
  fi
}

# Configures DIR with the given CMake options, builds every target (or those named with
# --target=NAME), runs ctest (with the options after "--", such as -R golden/ for a subset).
# Shows the build's output only if it fails, and of ctest the summary and the failing tests'
# output.
build_and_test() {  # build_and_test DIR [--target=NAME...] [CMAKE_OPTION...] [-- CTEST_OPTION...]
  local dir=$1
  shift
  local cmake_options=() ctest_options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
      --target=*) targets+=(--target "${1#--target=}") ;;
      *) cmake_options+=("$1") ;;
    esac
    shift
  done
  [ $# -gt 0 ] && shift && ctest_options=("$@")
  local log=$LOGS/$dir.log
  : > "$log"
  if ! cmake -S . -B "$dir" -G Ninja -DVORMEL_WERROR=ON "${cmake_options[@]}" >> "$log" 2>&1 ||
     ! nice cmake --build "$dir" "${targets[@]}" >> "$log" 2>&1; then
    cat "$log"
    echo "the build in $dir/ failed"
    return 1
  fi
  local status=0
  (cd "$dir" && ctest --output-on-failure -j "$JOBS" "${ctest_options[@]}") >> "$log" 2>&1 || status=$?
  # The failing tests with their output, then ctest's summary.
  awk '/^ *[0-9]+\/[0-9]+ Test +#/ { show = ($0 !~ / Passed +[0-9.]+ sec/) }
       /tests passed, / { show = 1 }
       show && NF' "$log"
  local summary failed total skipped
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$summary" ]; then
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<< "$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<< "$summary")
    # The set-up installs every tool the tests drive, so a test that skipped itself points
    # to a missing install step: it counts as failed.
    skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log")
    if [ "$skipped" -gt 0 ]; then
      echo "skipped, counted as failed (a tool they drive is missing):"
      grep -E '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log"
      status=1
    fi
    echo "$((total - failed - skipped)) passed, $((failed + skipped)) failed"
  fi
  echo "log: $log"
  return "$status"
}

echo "== Set-up: test tools and the release build"
bash scripts/setup.sh test || { echo "0 passed, 1 failed"; exit 1; }

stage "Release build: unit, golden and packaging tests" \
  build_and_test build -DCMAKE_BUILD_TYPE=Release
stage "Sanitizer build (ASan + UBSan): unit and golden tests" \
  build_and_test build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORMEL_SANITIZE=ON
stage "The script tests with every evaluation shortcut off" \
  build_and_test build-noshortcuts --target=vormel -DCMAKE_BUILD_TYPE=Release -DVORMEL_LTO=OFF \
  -DVORMEL_NO_SHORTCUTS=ON -- -R '^(golden|example)/'
stage "Fuzzing the front end, the interpreter, and the shortcuts against the general paths" \
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

echo
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]

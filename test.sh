#!/usr/bin/env bash
# Sets up and builds Vormel, then runs the whole test suite: unit and golden tests on the
# release build and again under AddressSanitizer and UndefinedBehaviorSanitizer, then a
# bounded fuzzing run of the front end and of the interpreter.
set -euo pipefail
cd "$(dirname "$0")"
JOBS=$(nproc)

echo "== Release build"
bash scripts/setup.sh
(cd build && ctest --output-on-failure -j "$JOBS")

echo "== Sanitizer build (ASan + UBSan)"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORMEL_WERROR=ON \
  -DVORMEL_SANITIZE=ON > /dev/null
cmake --build build-sanitize
(cd build-sanitize &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$JOBS")

echo "== The script tests with every evaluation shortcut off"
cmake -S . -B build-noshortcuts -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORMEL_WERROR=ON \
  -DVORMEL_NO_SHORTCUTS=ON > /dev/null
cmake --build build-noshortcuts --target vormel
(cd build-noshortcuts && ctest --output-on-failure -j "$JOBS" -R '^(golden|example)/')

echo "== Fuzzing the front end, the interpreter, and the shortcuts against the general paths"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

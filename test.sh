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

echo "== Fuzzing the front end and the interpreter"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

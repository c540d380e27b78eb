#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root or through sudo) and builds Vormel into build/.
#
#   scripts/setup.sh run    what running a script needs; builds the interpreter, the checker
#                           and the language server
#   scripts/setup.sh test   that and the test tools; builds every target (tests included)
#   scripts/setup.sh bench  that and the other languages and tools the benchmarks compare with
#
# Progress lines go to standard error, one per step that has work to do: a second run with
# nothing to install or build prints nothing. A failing install or build prints its output
# in full. To add a package, add it to the list of the purpose it serves.
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running the interpreter, the checker and the language server: compiler, build
# tools, the libraries they link or load (SDL2 and its Mesa driver at run time; SDL2_ttf and
# the DejaVu fonts for the game module's text, SDL2_image for its images and SDL2_mixer for
# its sounds), and the language server's JSON headers.
RUN_PACKAGES=(build-essential cmake ninja-build pkg-config libicu-dev libedit-dev libsdl2-dev
              libgl1-mesa-dri libsdl2-ttf-dev libsdl2-ttf-2.0-0 fonts-dejavu-core
              libsdl2-image-dev libsdl2-image-2.0-0 libsdl2-mixer-dev libsdl2-mixer-2.0-0
              nlohmann-json3-dev libhttp-parser-dev)
# Building and running the test suite: unit tests, sanitizers and fuzzers, the test scripts.
TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev python3)
# Tools the tests drive as a user would: a virtual display with its input and screenshots,
# an HTTP client and a load generator, nginx as a reverse proxy in front of web servers, a
# terminal editor, the man page renderer, and the package builder with the file type probe it
# runs.
TEST_TOOL_PACKAGES=(xvfb xdotool x11-apps curl nginx vim-nox man-db dpkg-dev file apache2-utils)
# What the benchmarks compare with and measure by: other languages (LuaJIT's interpreter as a
# second reference), a Python graphics reference on a virtual display, web servers (nginx,
# Flask's development server), an HTTP load tool, the instruction counter and GNU time for
# peak memory.
BENCH_PACKAGES=(lua5.4 luajit python3-pygame xvfb nginx python3-flask apache2-utils valgrind
                time)

purpose=${1:-run}
case "$purpose" in
  run) packages=("${RUN_PACKAGES[@]}") ;;
  test) packages=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${TEST_TOOL_PACKAGES[@]}") ;;
  bench) packages=("${RUN_PACKAGES[@]}" "${BENCH_PACKAGES[@]}") ;;
  *) echo "usage: scripts/setup.sh [run|test|bench]" >&2; exit 2 ;;
esac

say() { echo "vormel: $*" >&2; }

# Runs a step with its output kept aside, and shows that output only if the step fails.
quietly() {
  local log status=0
  log=$(mktemp)
  "$@" > "$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || cat "$log" >&2
  rm -f "$log"
  return "$status"
}

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  say "installing ${missing[*]} (apt-get)"
  quietly "${sudo[@]}" apt-get update -q || { say "apt-get update failed"; exit 1; }
  quietly "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    { say "installing packages failed"; exit 1; }
}

# The first configuration of build/ decides whether it builds the tests; a later call asks
# for them when it needs them, and never turns them off again.
configure() {
  local tests=$1
  if [ -f build/build.ninja ]; then
    [ "$tests" = ON ] && grep -q '^VORMEL_TESTS:BOOL=ON' build/CMakeCache.txt && return 0
    [ "$tests" = OFF ] && return 0
  fi
  say "configuring build/"
  quietly cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORMEL_WERROR=ON \
    -DVORMEL_TESTS="$tests" || { say "configuring build/ failed"; exit 1; }
}

# Builds with the output kept aside; the progress line appears once ninja starts real work
# (it re-checks the source globs on every run, which alone is no news).
build() {  # build DESCRIPTION [TARGET...]
  local description=$1
  shift
  local targets=() log status=0 announced=""
  [ $# -gt 0 ] && targets=(--target "$@")
  log=$(mktemp)
  nice cmake --build build "${targets[@]}" > "$log" 2>&1 &
  local pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ -z "$announced" ] && grep -qE '(Building|Linking) ' "$log"; then
      say "building $description into build/ (a first build takes a few minutes)"
      announced=1
    fi
    sleep 0.2
  done
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    rm -f "$log"
    say "the build failed (the compiler's messages are above)"
    exit 1
  fi
  rm -f "$log"
}

# Node.js and npm for the editor tests (a Node.js from elsewhere that brings npm is kept).
if [ "$purpose" = test ]; then
  command -v node > /dev/null || packages+=(nodejs)
  command -v npm > /dev/null || packages+=(npm)
fi

install_missing "${packages[@]}"
if [ "$purpose" != test ]; then
  configure OFF
  build "the interpreter and its tools" vormel vormel-check vormel-lsp
else
  configure ON
  build "the interpreter and the tests"
fi

# The editor tests' npm packages, pinned by tests/editors/package-lock.json. Bounded in time;
# without them (no registry) the TextMate test reports itself skipped.
if [ "$purpose" = test ] && [ ! -d tests/editors/node_modules/vscode-textmate ]; then
  say "installing the editor tests' npm packages"
  timeout 300 npm ci --prefix tests/editors --no-audit --no-fund --loglevel=error > /dev/null ||
    say "warning: npm ci in tests/editors failed; the TextMate grammar test will be skipped"
fi

#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12, as root or with sudo) and builds
# the release binary into build/. Safe to run again: it installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake ninja-build pkg-config python3 clang libclang-rt-14-dev
          libicu-dev libgtest-dev libedit-dev lua5.4 nlohmann-json3-dev vim-nox)

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
# Node.js and npm for the editor tests (a Node.js from elsewhere that brings npm is kept).
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORMEL_WERROR=ON > /dev/null
cmake --build build

# The editor tests' npm packages, pinned by tests/editors/package-lock.json. Bounded in time;
# without them (no registry) the TextMate test reports itself skipped.
if [ ! -d tests/editors/node_modules/vscode-textmate ]; then
  timeout 300 npm ci --prefix tests/editors --no-audit --no-fund --loglevel=error > /dev/null ||
    echo "warning: npm ci in tests/editors failed; the TextMate grammar test will be skipped"
fi

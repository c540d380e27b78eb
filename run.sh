#!/usr/bin/env bash
# Sets up and builds Vormel, then runs the given script (or the REPL without one).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh > /dev/null
exec ./build/vormel "$@"

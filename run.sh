#!/usr/bin/env bash
# Installs what running a script needs, builds the interpreter if it is out of date (both
# quietly once done), then runs it with the given arguments: a script, or the REPL without
# one. The script runs from the caller's working directory, so relative paths and modules
# resolve from where the caller stands. The binary itself is build/vormel.
set -euo pipefail
repository=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$repository/scripts/setup.sh" run
exec "$repository/build/vormel" "$@"

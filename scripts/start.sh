#!/usr/bin/env bash
# Builds the program and starts it from its build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
exec "$build/bin/velkor" "$@"

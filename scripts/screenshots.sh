#!/usr/bin/env bash
# Saves pictures of the program's windows under build/screenshots for review:
# under xvfb-run where it exists, else offscreen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
out="$build/screenshots"
mkdir -p "$out"
cmake --build "$build" --target screenshots -j4
run() {
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a "$@"
    else
        QT_QPA_PLATFORM=offscreen "$@"
    fi
}
run "$build/bin/screenshots" "$out"
ls "$out"

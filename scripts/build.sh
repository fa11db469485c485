#!/usr/bin/env bash
# Configures (once) and builds the program, its tests and its run-time files
# into build/ (or $VELKOR_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
bash "$root/scripts/deps.sh" qtbase5-dev libqt5serialport5-dev qttranslations5-l10n cmake ninja-build g++
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELKOR_CMAKE_ARGS:-}
fi
cmake --build "$build" --parallel "$(nproc)"

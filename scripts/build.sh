#!/usr/bin/env bash
# Configures (once) and builds into build/ (or $VELKOR_BUILD_DIR): the targets
# named on the command line, or everything (the program, its tools, its tests
# and its run-time files) when none is named.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
bash "$root/scripts/deps.sh" qtbase5-dev libqt5serialport5-dev qttranslations5-l10n cmake ninja-build g++
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELKOR_CMAKE_ARGS:-}
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" --parallel "$(nproc)" ${targets[@]+"${targets[@]}"}

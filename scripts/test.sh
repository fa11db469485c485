#!/usr/bin/env bash
# Builds everything and runs every test (offscreen).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
# Tools the tests use besides the build: objcopy (binutils) and srec_cat
# (srecord) check our Intel HEX files against other tools.
bash "$root/scripts/deps.sh" binutils srecord
bash "$root/scripts/build.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"

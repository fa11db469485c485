#!/usr/bin/env bash
# Builds everything with AddressSanitizer into build-asan/ (or
# $VELKOR_ASAN_DIR) and runs every test offscreen (ctest arguments are
# passed on), with the leak suppressions of tests/lsan.supp (what Qt's
# offscreen platform never frees). Fails when a test fails or the sanitizer
# reports anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_ASAN_DIR:-$root/build-asan}
bash "$root/scripts/deps.sh" qtbase5-dev libqt5serialport5-dev qttranslations5-l10n cmake ninja-build g++ \
    binutils srecord
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELKOR_CMAKE_ARGS:-} -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS=-fsanitize=address -fno-omit-frame-pointer" \
        -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=address
fi
cmake --build "$build" --parallel "$(nproc)"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp ${LSAN_OPTIONS:-}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"

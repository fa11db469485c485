#!/usr/bin/env bash
# Builds tests with ThreadSanitizer into build-tsan/ (or $VELKOR_TSAN_DIR)
# and runs them offscreen with the suppressions of tests/tsan.supp (what Qt,
# not built with the sanitizer, hands between threads). Fails when a test
# fails or the sanitizer reports anything.
#
#   scripts/tsan.sh [test ...]   default: the tests of runs and settings
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_TSAN_DIR:-$root/build-tsan}
tests=("$@")
if [ ${#tests[@]} -eq 0 ]; then
    tests=(test_settings_run test_settings_dialog test_mainwin_exec test_mainwin_quick test_tools_exec
           test_exec test_prog_runs test_view_run test_appdata)
fi
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELKOR_CMAKE_ARGS:-} -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
        -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
fi
cmake --build "$build" --parallel "$(nproc)" --target "${tests[@]}"
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp exitcode=66 ${TSAN_OPTIONS:-}"
failed=()
for t in "${tests[@]}"; do
    echo "== $t"
    "$build/tests/$t" || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed or reported: ${failed[*]}"
    exit 1
fi
echo "All clean: ${tests[*]}"

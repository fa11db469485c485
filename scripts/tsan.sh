#!/usr/bin/env bash
# Builds tests with ThreadSanitizer into build-tsan/ (or $VELKOR_TSAN_DIR)
# and runs them offscreen with the suppressions of tests/tsan.supp and the
# report filter linked into each test (what Qt, not built with the
# sanitizer, hands between threads or does alone). Fails when a test
# fails or the sanitizer reports anything, and when one of the canary races
# of tests/support/tsan_canary.cpp (in a queued slot, in a destructor run by
# deleteLater, in plain code; a text copied, a record looked up, an object
# used after another thread deleted it, a buffer Qt's code copies while
# another thread fills it) goes unreported: the suppressions must hide no
# race of the program's own code.
#
#   scripts/tsan.sh [test ...]   default: the tests of runs, settings and saves
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_TSAN_DIR:-$root/build-tsan}
bash "$root/scripts/deps.sh" qtbase5-dev libqt5serialport5-dev qttranslations5-l10n cmake ninja-build g++ \
    binutils srecord
tests=("$@")
if [ ${#tests[@]} -eq 0 ]; then
    tests=(test_settings_run test_settings_dialog test_mainwin_exec test_mainwin_quick test_tools_exec
           test_exec test_prog_runs test_view_run test_appdata test_concurrent_saves
           test_failure_reasons test_file_faults test_memory_cmds test_damaged_numbers
           test_dev24 test_dev25 test_avr8 test_spi25_wire test_cmd_selector test_startup)
fi
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELKOR_CMAKE_ARGS:-} -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
        -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
fi
cmake --build "$build" --parallel "$(nproc)" --target "${tests[@]}" tsan_canary
export QT_QPA_PLATFORM=offscreen
# The longest history: a report whose earlier access cannot be restored
# has no frame to match a suppression against.
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp exitcode=66 history_size=7 ${TSAN_OPTIONS:-}"
failed=()
for t in "${tests[@]}"; do
    echo "== $t"
    "$build/tests/$t" || failed+=("$t")
done
for race in queued deleted plain text record freed filled; do
    echo "== tsan_canary $race (must be reported)"
    log=$(mktemp)
    status=0
    "$build/tests/tsan_canary" "$race" 2>"$log" || status=$?
    if [ "$status" -eq 66 ] && grep -Eq "WARNING: ThreadSanitizer: (data race|heap-use-after-free)" "$log" && grep -q "tsan_canary.cpp" "$log"; then
        echo "reported, as it must be"
    else
        cat "$log"
        failed+=("tsan_canary $race (not reported)")
    fi
    rm -f "$log"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed or reported: ${failed[*]}"
    exit 1
fi
echo "All clean, every canary reported: ${tests[*]}"

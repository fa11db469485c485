#!/usr/bin/env bash
# Saves pictures of the program's windows under build/screenshots for review:
# under xvfb-run where it exists, else offscreen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
out="$build/screenshots"
mkdir -p "$out"
cmake --build "$build" --target screenshots test_views test_view_run \
    test_prjlist_dialogs test_small_dialogs test_cmd_selector -j4
run() {
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a "$@"
    else
        QT_QPA_PLATFORM=offscreen "$@"
    fi
}
run "$build/bin/screenshots" "$out"
# Configuration pages and the project view (taken by their tests): a selected
# form, tabs with their execution colours, the description panel, a run's log.
export VELKOR_SCREENSHOTS="$out"
run "$build/tests/test_views" >/dev/null
run "$build/tests/test_view_run" >/dev/null
# Dialogs: the catalogue of project lists and its entry dialog, the project
# entry dialog, the configuration name, language, about and the command
# selector.
run "$build/tests/test_prjlist_dialogs" >/dev/null
run "$build/tests/test_small_dialogs" >/dev/null
run "$build/tests/test_cmd_selector" >/dev/null
ls "$out"

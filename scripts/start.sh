#!/usr/bin/env bash
# Builds the program and its two tools (the tests are left to test.sh) and
# starts it from its build folder, with the emulated programmer beside it:
# velkor-emulator runs in the background on a pseudo-terminal (chip contents
# kept in bin/emulator/chips), the programmer "Emulator" gets that terminal
# as its port in the program folder's settings (added when missing; other
# programmers and settings are kept), and on the first start the demo project
# list is installed. The emulator stops when Velkor exits.
#
#   --no-build    start what is built already
#   --no-window   set everything up, then stop before the window opens
#
# VELKOR_EMULATOR_ARGS passes further options to the emulator (--log <file>,
# --chip24/--chip25/--chipavr8 <device description>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELKOR_BUILD_DIR:-$root/build}
do_build=1
window=1
args=()
for a in "$@"; do
    case "$a" in
        --no-build) do_build=0 ;;
        --no-window) window=0 ;;
        *) args+=("$a") ;;
    esac
done
# Only what this script starts: the program, the emulator and the set-up
# tool (with the run-time files they need); the tests are built by test.sh.
[ "$do_build" = 1 ] && bash "$root/scripts/build.sh" velkor velkor-emulator velkor-setup

bin="$build/bin"
state="$bin/emulator"
mkdir -p "$state"
rm -f "$state/pty"
# shellcheck disable=SC2086
"$bin/velkor-emulator" --pty-file "$state/pty" --data "$state/chips" ${VELKOR_EMULATOR_ARGS:-} >/dev/null &
emulator=$!
stop_emulator() {
    kill -TERM "$emulator" 2>/dev/null || true
    wait "$emulator" 2>/dev/null || true
}
trap stop_emulator EXIT
trap 'exit 130' INT TERM HUP

for _ in $(seq 100); do
    [ -s "$state/pty" ] && break
    kill -0 "$emulator" 2>/dev/null || { echo "start.sh: the emulator did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$state/pty" ] || { echo "start.sh: the emulator gave no port" >&2; exit 1; }
port=$(head -n 1 "$state/pty")

"$bin/velkor-setup" --dir "$bin" --port "$port" --demo "$bin/demo"
echo "Emulator on $port"

[ "$window" = 1 ] || exit 0
status=0
"$bin/velkor" ${args[@]+"${args[@]}"} || status=$?
exit "$status"

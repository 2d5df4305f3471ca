#!/usr/bin/env bash
# Shows tarnvale.exe at work under Wine on a headless X server: a window of our demo
# program is attached to the (stand-in) Program Manager window, then given back on exit.
set -euo pipefail
# A step that fails says so, and which: set -e alone would end the run silently.
demo_script=$(realpath "$0")
trap 'echo "demo: FAILED with exit code $? at line $LINENO: $(sed -n "${LINENO}p" "$demo_script")" >&2' ERR
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
source scripts/wine_session.sh
# The release is the 32-bit build; where the kernel runs no 32-bit programs, the 64-bit
# build shows the same.
build=build/windows
if ! why=$(wine_session_can_run build/windows/bin/tarnvale.exe); then
    echo "demo: the 32-bit build cannot run here ($why); showing the 64-bit build"
    build=build/windows-x64
fi
bin=$build/bin
echo "demo: $(wine_session_describe "$bin/tarnvale.exe")"
wine_session_start "$build/wine"

step() { printf '\n== %s\n' "$*"; }
# The probe's line says what it saw; a probe that ends without one could not look at
# all, which is said, with a second look at the window.
probe_output="$(cd "$build" && pwd)/demo-probe.txt"
probe() {
    local status=0
    wine "$bin/probe.exe" "$@" >"$probe_output" 2>&1 || status=$?
    cat "$probe_output"
    if [ "$status" -ne 0 ] && [ ! -s "$probe_output" ]; then
        echo "demo: probe.exe $* ended with exit code $status and printed nothing: the probe itself did not run to its end"
        echo "demo: a second look: $(wine "$bin/probe.exe" parent TarnvaleDemo 2>&1 | tr -d '\r')"
    fi
    return "$status"
}

step "A stand-in shell makes the \"Progman\" window (Wine has none of its own)"
wine "$bin/fake_shell.exe" &
# Tarnvale looks for it when it starts: it must be there first.
probe wait-parent Progman none 20000
step "A demo program opens its window of class TarnvaleDemo"
wine "$bin/target_app.exe" --class TarnvaleDemo --title "Tarnvale demo window" &
probe wait-parent TarnvaleDemo none 20000

step "tarnvale.exe TarnvaleDemo: the window becomes a child of Program Manager"
wine "$bin/tarnvale.exe" TarnvaleDemo &
tarnvale=$!
probe wait-parent TarnvaleDemo progman 20000

step "Closing Tarnvale (as \"Exit\" does): the window is top-level again"
probe close-main
wait "$tarnvale"
echo "tarnvale.exe has ended"
probe wait-parent TarnvaleDemo none 5000

#!/usr/bin/env bash
# Shows tarnvale.exe at work under Wine on a headless X server: a window of our demo
# program is attached to the (stand-in) Program Manager window, then given back on exit.
set -euo pipefail
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
step "A stand-in shell makes the \"Progman\" window (Wine has none of its own)"
wine "$bin/fake_shell.exe" &
step "A demo program opens its window of class TarnvaleDemo"
wine "$bin/target_app.exe" --class TarnvaleDemo --title "Tarnvale demo window" &
wine "$bin/probe.exe" wait-parent TarnvaleDemo none 20000

step "tarnvale.exe TarnvaleDemo: the window becomes a child of Program Manager"
wine "$bin/tarnvale.exe" TarnvaleDemo &
tarnvale=$!
wine "$bin/probe.exe" wait-parent TarnvaleDemo progman 20000

step "Closing Tarnvale (as \"Exit\" does): the window is top-level again"
wine "$bin/probe.exe" close-main
wait "$tarnvale"
echo "tarnvale.exe has ended"
wine "$bin/probe.exe" wait-parent TarnvaleDemo none 5000

#!/usr/bin/env bash
# The benchmark: builds what it needs, runs tarnvale.exe and its bare baselines side by
# side under Wine, and prints the tables of figures (also written as JSON, with
# pictures next to it). It prints figures and fails only when it cannot measure.
#   scripts/bench.sh [--bin DIR] [--against DIR] [--modes LIST] [RESULTS_JSON]
#     --modes: comma-separated, of basic (the default, about ten minutes), scale (about
#              15), copies (about 8), soak (10, TARNVALE_SOAK_SECONDS), or all
#     --bin:   the Windows programs measured (default: the 32-bit build where the kernel
#              runs 32-bit programs, else the 64-bit one)
#     --against: another build's programs (built beforehand, e.g. an older commit's
#              build/windows/bin): the basic mode measures its tarnvale.exe beside ours
#              in the same session, its starts in turns with ours
#     RESULTS_JSON defaults to build/bench/results.json
set -euo pipefail
cd "$(dirname "$0")/.."
bin=
against=
modes=basic
while [ $# -gt 0 ]; do
    case "$1" in
        --bin) bin=$2; shift 2 ;;
        --against) against=$2; shift 2 ;;
        --modes) modes=$2; shift 2 ;;
        *) break ;;
    esac
done
[ "$modes" = all ] && modes=basic,scale,copies,soak
out=${1:-build/bench/results.json}
scripts/setup.sh
source scripts/wine_session.sh
# The release is the 32-bit build; where the kernel runs no 32-bit programs, the 64-bit
# one is measured instead.
preset=windows
if [ -n "$bin" ]; then
    preset=$(basename "$(dirname "$bin")")  # build/PRESET/bin
elif ! wine_session_can_run_32bit >/dev/null; then
    preset=windows-x64
fi
for build_preset in host "$preset"; do
    cmake --preset "$build_preset" >/dev/null
    cmake --build --preset "$build_preset" -j "$(nproc)" >/dev/null
done
bin=${bin:-build/$preset/bin}
against_args=()
if [ -n "$against" ]; then
    [ -f "$against/tarnvale.exe" ] || { echo "bench: no tarnvale.exe in $against" >&2; exit 2; }
    against_args=(--against "$against")
fi
# The 64-bit objdump reads 32-bit programs too.
objdump=i686-w64-mingw32-objdump
for program in "$bin/tarnvale.exe" ${against:+"$against/tarnvale.exe"}; do
    [ "$(wine_session_machine_of "$program")" = 8664 ] && objdump=x86_64-w64-mingw32-objdump
done
# Where Wine cannot run, the table still gives what the host can measure.
wine_args=()
if why=$(wine_session_can_run "$bin/tarnvale.exe") && wine_session_start "$(dirname "$bin")/wine"; then
    :
else
    wine_args=(--without-wine "${why:-the Wine session did not start}")
fi
# Debian's own Python, which has Debian's plotting library.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" bench/driver/run_bench.py --bin "$bin" --modes "$modes" --objdump "$objdump" \
    --build "$(wine_session_describe "$bin/tarnvale.exe")" \
    --tick-benchmark build/host/bench/tick_calls_benchmark --out "$out" "${wine_args[@]}" \
    "${against_args[@]}"

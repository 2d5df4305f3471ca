#!/usr/bin/env bash
# The benchmark: builds what it needs, runs tarnvale.exe and its bare baselines side by
# side under Wine, and prints the tables of figures (also written as JSON, with
# pictures next to it). It prints figures and fails only when it cannot measure.
#   scripts/bench.sh [--bin DIR] [--modes LIST] [RESULTS_JSON]
#     --modes: comma-separated, of basic (the default, about ten minutes), scale (about
#              15), copies (about 8), soak (10, TARNVALE_SOAK_SECONDS), or all
#     --bin:   the Windows programs measured (default build/windows/bin)
#     RESULTS_JSON defaults to build/bench/results.json
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/windows/bin
modes=basic
while [ $# -gt 0 ]; do
    case "$1" in
        --bin) bin=$2; shift 2 ;;
        --modes) modes=$2; shift 2 ;;
        *) break ;;
    esac
done
[ "$modes" = all ] && modes=basic,scale,copies,soak
out=${1:-build/bench/results.json}
scripts/setup.sh
for preset in host windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done
source scripts/wine_session.sh
# Where Wine cannot run, the table still gives what the host can measure.
wine_args=()
if why=$(wine_session_can_run_32bit); then
    wine_session_start build/windows/wine
else
    wine_args=(--without-wine "$why")
fi
# Debian's own Python, which has Debian's plotting library.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" bench/driver/run_bench.py --bin "$bin" --modes "$modes" \
    --tick-benchmark build/host/bench/tick_calls_benchmark --out "$out" "${wine_args[@]}"

#!/usr/bin/env bash
# The benchmark: builds what it needs, runs tarnvale.exe and its bare baselines side by
# side under Wine, and prints the table of figures (also written as JSON). About ten
# minutes; it prints figures and fails only when it cannot measure.
#   scripts/bench.sh [RESULTS_JSON]     (default build/bench/results.json)
set -euo pipefail
cd "$(dirname "$0")/.."
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
python3 bench/run_bench.py --bin build/windows/bin \
    --tick-benchmark build/host/bench/tick_calls_benchmark --out "$out" "${wine_args[@]}"

#!/usr/bin/env bash
# Everything from a fresh machine: install what is missing, build the presets, run the
# unit tests, the fuzzers for a bounded time each, the release built twice and compared,
# and the end-to-end suite under Wine.
# Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset host -j "$(nproc)"
ctest --preset fuzz -j "$(nproc)"
scripts/check_reproducible.sh
source scripts/wine_session.sh
if ! why=$(wine_session_can_run_32bit); then
    echo "test: the end-to-end suite cannot run on this machine: $why" >&2
fi
ctest --preset windows

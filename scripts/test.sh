#!/usr/bin/env bash
# Everything from a fresh machine: install what is missing, build the presets, run the
# unit tests, the fuzzers for a bounded time each, the release built twice and compared,
# and the end-to-end suite under Wine against each Windows build: the 64-bit one on
# every machine, the 32-bit one wherever the kernel runs 32-bit programs. Ends with
# ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset host -j "$(nproc)"
ctest --preset fuzz -j "$(nproc)"
scripts/check_reproducible.sh windows
scripts/check_reproducible.sh windows-x64
# The demonstration that README.md gives, as a newcomer runs it.
scripts/demo.sh
source scripts/wine_session.sh
if ! why=$(wine_session_can_run_32bit); then
    echo "test: the 32-bit end-to-end suite cannot run on this machine: $why" >&2
fi
ctest --preset windows
ctest --preset windows-x64

#!/usr/bin/env bash
# Configures and builds both presets: the logic with its unit tests on the host, and
# tarnvale.exe with the end-to-end programs for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in host windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done

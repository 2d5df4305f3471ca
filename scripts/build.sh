#!/usr/bin/env bash
# Configures and builds the presets: the logic with its unit tests on the host,
# tarnvale.exe with the end-to-end programs for 32-bit and for 64-bit Windows, and the
# fuzzers with clang.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in host windows windows-x64 fuzz; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done

#!/usr/bin/env bash
# Makes the release packages: for each Windows build preset, tarnvale-VERSION-SUFFIX.zip
# and its SHA256SUMS in build/release/SUFFIX/ (windows: win32, windows-x64: win64).
#   scripts/release.sh [PRESET...]
# Without presets: windows, and windows-x64 where that preset exists.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

suffix_of() {
    case "$1" in
        windows) echo win32 ;;
        windows-x64) echo win64 ;;
        *) echo "release: no package is made from preset $1" >&2; return 1 ;;
    esac
}

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
    presets=(windows)
    if cmake --list-presets 2>/dev/null | grep -q '"windows-x64"'; then
        presets+=(windows-x64)
    fi
fi
for preset in "${presets[@]}"; do
    suffix=$(suffix_of "$preset")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" --target tarnvale tarnvale-list >/dev/null
    python3 scripts/package.py "build/$preset" "$suffix" "build/release/$suffix"
done

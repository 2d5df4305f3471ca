#!/usr/bin/env bash
# Runs the end-to-end suite of one Windows build under Wine on a headless X server of
# its own.
#   run.sh WINDOWS_BUILD_DIR [gtest options]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/../../scripts/wine_session.sh"
suite="$build_dir/bin/e2e_tests.exe"
if ! why=$(wine_session_can_run "$suite"); then
    echo "e2e: SKIPPED, Wine cannot run this build here: $why" >&2
    exit 77  # ctest reports the suite as not run
fi
echo "e2e: $(wine_session_describe "$suite")"
wine_session_start "$build_dir/wine"
# The suite bounds each case itself; this bounds the whole run should Wine itself hang.
timeout --kill-after=10 800 wine "$suite" "$@"

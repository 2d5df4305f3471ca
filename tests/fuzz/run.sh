#!/usr/bin/env bash
# Runs one fuzzer for a bounded time over the kept corpus, adding to a scratch copy so
# that a test run leaves the repository as it was.
#   run.sh FUZZER CORPUS_DIR [SECONDS]
set -euo pipefail
fuzzer=$1
corpus=$2
seconds=${3:-${TARNVALE_FUZZ_SECONDS:-30}}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$corpus/." "$scratch/" 2>/dev/null || true
cd "$scratch"  # crash files land here; printed on failure
if ! "$fuzzer" -max_total_time="$seconds" -max_len=512 -timeout=10 -rss_limit_mb=1024 \
        -print_final_stats=1 "$scratch" 2>fuzz.log; then
    tail -40 fuzz.log
    for crash in crash-* leak-* timeout-*; do
        [ -e "$crash" ] && { echo "input $crash:"; od -A d -t x1 "$crash" | head -20; }
    done
    exit 1
fi
grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' fuzz.log || tail -2 fuzz.log

#!/usr/bin/env bash
# The developer's guide's lines for looking at a window by hand, run as they stand there,
# from the top of the sources: each step must succeed, the probe must see the
# window attached to Progman, and the lister must list it as attached.
#   check_by_hand.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
guide=docs/developers-guide.md

# The indented block that starts the Wine session, its indent taken off.
block=$(awk '
    /^    [^ ]/ { lines = lines substr($0, 5) "\n"; if ($0 ~ /wine_session_start/) found = 1; next }
    found { exit }
    { lines = "" }
    END { if (found) printf "%s", lines }' "$guide")
if [ -z "$block" ]; then
    echo "FAILED: no block with wine_session_start in $guide"
    exit 1
fi
printf '%s\n' "$block" | sed 's/^/    /'

# A file, not a pipe: Wine's services inherit the output and would hold a pipe open.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
bash -e -c "$block" >"$log" 2>&1 || status=$?
output=$(cat "$log")
echo "$output"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
[ "$status" -eq 0 ] || fail "the lines ended with exit code $status"
grep -q '^ok: .*class="TarnvaleDemo".* parent=progman' <<<"$output" ||
    fail "the probe never saw the window attached to Progman"
grep -q 'Attached to the desktop' <<<"$output" ||
    fail "the lister did not list the window as attached"
[ "$failures" -eq 0 ] || exit 1
echo "ok: the developer's guide's lines by hand ran as shown"

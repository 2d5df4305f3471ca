#!/usr/bin/env bash
# A run's output on the console is that run's alone: its log still holds an older run's
# lines when each round starts, and none of them may show. A child that keeps the
# output open after the command ends, as Wine's services do, must not hold the run up.
#   check_run_shown.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine_session.sh"
rounds=${1:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/run.log"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

older_shown=0
for round in $(seq "$rounds"); do
    printf 'an older run, line %s\n' 1 2 3 > "$log"
    status=0
    shown=$(wine_session_run_shown "$log" sh -c "echo 'round $round'; exit 3" 2>&1) || status=$?
    case "$shown" in *"older run"*) older_shown=$((older_shown + 1)) ;; esac
    [ "$status" -eq 3 ] || fail "round $round: the command's status 3 came back as $status"
    [ "$shown" = "round $round" ] || [ "$older_shown" -gt 0 ] ||
        fail "round $round showed [$shown]"
done
[ "$older_shown" -eq 0 ] || fail "an older run's lines showed in $older_shown of $rounds rounds"

# The child keeps the log open for 30 s; the run ends with the command.
start=$SECONDS
shown=$(wine_session_run_shown "$log" sh -c "sleep 30 & echo \$! > '$work/child'; echo done")
took=$((SECONDS - start))
kill "$(cat "$work/child")" 2>/dev/null || true
[ "$shown" = done ] || fail "with a lingering child it showed [$shown]"
[ "$took" -lt 15 ] || fail "a child holding the output held the run up for $took s"

[ "$failures" -eq 0 ] || exit 1
echo "ok: $rounds runs showed their own output only; a lingering child held none up"

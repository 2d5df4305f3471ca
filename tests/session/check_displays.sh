#!/usr/bin/env bash
# Sessions started at the same moment each get an X server of their own. Each marks the
# root window of its display with its own number; once all have marked, each reads the
# mark back: a session that landed on another's server reads the other's number.
#   check_displays.sh [SESSIONS]
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine_session.sh"
sessions=${1:-6}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

all_at() {  # PHASE: waits until every session has reached it
    wine_session_wait "[ \$(ls '$work' | grep -c '^$1\\.') -ge $sessions ]" 30 \
        "every session to reach '$1'" || true
}

one_session() {  # N
    trap wine_session_stop EXIT
    if ! wine_session_start_x "$work"; then
        echo "- no-X-server" > "$work/result.$1"
        touch "$work/marked.$1"
        return
    fi
    # An X server forgets the root window's properties when its last client leaves:
    # one stays connected, as the window manager does in a real session.
    xprop -display "$DISPLAY" -root -spy TARNVALE_SESSION >"$work/spy.$1" 2>&1 &
    wine_session_pids+=($!)
    wine_session_wait "[ -s '$work/spy.$1' ]" 10 "a client to stay connected" || true
    xprop -display "$DISPLAY" -root -f TARNVALE_SESSION 8s -set TARNVALE_SESSION "$1" || true
    touch "$work/marked.$1"
    all_at marked
    local mark
    mark=$(xprop -display "$DISPLAY" -root TARNVALE_SESSION 2>&1 | sed -n 's/.*= "\(.*\)"$/\1/p')
    echo "${DISPLAY#:} ${mark:-none}" > "$work/result.$1"
    # Up until every session has read, so that no display is freed and taken again.
    all_at result
}

for n in $(seq "$sessions"); do
    one_session "$n" &
done
wait

failures=0
for n in $(seq "$sessions"); do
    read -r number mark < "$work/result.$n" || true
    echo "session $n: display :$number, whose root window is marked by session $mark"
    if [ "$mark" != "$n" ]; then
        echo "FAILED: session $n is not on an X server of its own"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "ok: $sessions sessions started at once, each on an X server of its own"

#!/usr/bin/env bash
# A seeded soak is the same game every time: two runs with the same seed end
# the story at the same frame in the same state and go on to the same state
# after it (the closing card counts steps, not the clock).
set -euo pipefail
SOAK=${1:?path of the soak program}
args=(--frames 115000 --seed 4 --endings 1 --draw-every 1000000)
first=$("$SOAK" "${args[@]}" | grep '^soak: .*state')
second=$("$SOAK" "${args[@]}" | grep '^soak: .*state')
echo "$first"
grep -q 'ended at frame' <<<"$first" || { echo "FAIL: the story did not end" >&2; exit 1; }
[ "$first" = "$second" ] || { echo "FAIL: the second run went another way:" >&2; echo "$second" >&2; exit 1; }

#!/usr/bin/env bash
# The shipped game, played with real keys along the route that the headless
# play-through takes, to its ending: the game ends by itself with status 0.
. "$(dirname "$0")/lib.sh"
SOURCE=${TARNWICK_SOURCE_DIR:?}
# The headless play-through (a content test, run before this one) writes the
# route down; run on its own, this script asks it for the route itself.
ROUTE=${SHIPPED_ROUTE:-}
if [ -z "$ROUTE" ] || [ ! -s "$ROUTE" ]; then
  CONTENT_TEST=${CONTENT_TEST:?}
  ROUTE=$WORK/route
  TARNWICK_ROUTE_FILE="$ROUTE" TARNWICK_SOURCE_DIR="$SOURCE" \
    "$CONTENT_TEST" --gtest_filter='ShippedContent.TheStoryCanBePlayedToItsEnd' >"$WORK/headless.log" 2>&1 \
    || fail "the headless play-through failed: $(tail -20 "$WORK/headless.log")"
fi
echo "route: $(grep -c -v '^#' "$ROUTE") key actions"
start_display

start_game "$SOURCE"
shot shipped-0-start >/dev/null
# A picture at every stage of the route.
play_route "$ROUTE" shipped
wait_exit 60
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "shipped: 1 passed, 0 failed"

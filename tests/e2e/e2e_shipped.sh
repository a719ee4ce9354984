#!/usr/bin/env bash
# The shipped game, played with real keys along the route that the headless
# play-through takes, to its ending: the game ends by itself with status 0.
. "$(dirname "$0")/lib.sh"
SOURCE=${TARNWICK_SOURCE_DIR:?}
CONTENT_TEST=${CONTENT_TEST:?}
start_display

TARNWICK_ROUTE_FILE="$WORK/route" TARNWICK_SOURCE_DIR="$SOURCE" \
  "$CONTENT_TEST" --gtest_filter='ShippedContent.TheStoryCanBePlayedToItsEnd' >"$WORK/headless.log" 2>&1 \
  || fail "the headless play-through failed: $(tail -20 "$WORK/headless.log")"
echo "route: $(grep -c -v '^#' "$WORK/route") key actions"

start_game "$SOURCE"
window_shot "$ARTEFACTS/shipped-0-start.png"
# Every note in the route is a stage: a screenshot at each.
stage=0
while IFS= read -r line; do
  case "$line" in
    "# "*) stage=$((stage + 1)); window_shot "$ARTEFACTS/shipped-$stage.png"; echo "stage $stage: ${line#\# }" ;;
    step*) step "${line#step }" ;;
    press*) press "${line#press }" ;;
  esac
  kill -0 "$GAME_PID" 2>/dev/null || break
done < "$WORK/route"
wait_exit 10
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "shipped: 1 passed, 0 failed"

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

# at SHOT X Y: the colour of a pixel of a window shot.
at() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
GOAL="srgb(0,25,100)"   # the goal line's strip, right of its text
CARD="srgb(0,50,200)"   # the closing card's panel

start_game "$SOURCE"
window_shot "$ARTEFACTS/shipped-0-start.png"
[ "$(at "$ARTEFACTS/shipped-0-start.png" 636 4)" = "$GOAL" ] || fail "no goal line at the start"
# Every note in the route is a stage: a screenshot at each.
stage=0
talked=""
while IFS= read -r line; do
  case "$line" in
    "# "*) stage=$((stage + 1)); window_shot "$ARTEFACTS/shipped-$stage.png"; echo "stage $stage: ${line#\# }" ;;
    step*) step "${line#step }" ;;
    press*) press "${line#press }" ;;
  esac
  if [ -z "$talked" ] && [ "$line" = "press Return" ]; then
    talked=yes
    window_shot "$ARTEFACTS/shipped-talk.png"
    [ "$(at "$ARTEFACTS/shipped-talk.png" 636 4)" != "$GOAL" ] || fail "the goal line shows over a conversation"
  fi
  kill -0 "$GAME_PID" 2>/dev/null || break
done < "$WORK/route"
window_shot "$ARTEFACTS/shipped-end.png"
[ "$(at "$ARTEFACTS/shipped-end.png" 110 175)" = "$CARD" ] || fail "no closing card at the end"
wait_exit 5
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "shipped: 1 passed, 0 failed"

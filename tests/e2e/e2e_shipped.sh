#!/usr/bin/env bash
# The shipped game, played with real keys along the route that the headless
# play-through takes, to its ending: the closing card gives way to the title
# by itself, and the game closed there ends with status 0.
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

GOAL="srgb(0,25,100)"   # the goal line's strip, right of its text
CARD="srgb(0,50,200)"   # the closing card's panel

# xplay counts the steps walked by the world scrolling under the player in the
# middle of the picture, so the game plays a copy of the shipped world whose map
# asks for the camera that always follows the player (the story is the same).
DATA=$WORK/data
mkdir -p "$DATA/res/maps"
cp -r "$SOURCE/res/gfx" "$SOURCE/res/fnt" "$SOURCE/res/txt" "$DATA/res/"
python3 - "$SOURCE/res/maps/testmap.json" "$DATA/res/maps/testmap.json" <<'PY'
import json, sys
world = json.load(open(sys.argv[1]))
world.setdefault("properties", []).append({"name": "camera", "type": "string", "value": "follow"})
json.dump(world, open(sys.argv[2], "w"))
PY

start_game "$DATA"
shot shipped-0-start >/dev/null
[ "$(pixel 636 4)" = "$GOAL" ] || fail "no goal line at the start"

# Up to the first talk: the goal line gives way to the conversation.
awk '{ print } /^press Return/ { exit }' "$ROUTE" >"$WORK/first-talk"
awk 'done { print } /^press Return/ { done = 1 }' "$ROUTE" >"$WORK/the-rest"
play_route "$WORK/first-talk"
shot shipped-talk >/dev/null
[ "$(pixel 636 4)" != "$GOAL" ] || fail "the goal line shows over a conversation"

# The rest of the story, with a picture at every stage, to the closing card,
# which gives way to the title by itself a few seconds later: it is looked at first.
play_route "$WORK/the-rest" shipped
end_colour=$(pixel 110 175)
( shot shipped-end >/dev/null ) || true   # the card may have just gone
[ "$end_colour" = "$CARD" ] || fail "no closing card at the end (the panel's place shows $end_colour)"
keep_stages
card_gone() { [ "$(pixel 110 175)" != "$CARD" ]; }
until_true 30 card_gone || fail "the closing card did not go"
settle
game_alive || fail "the game ended after the closing card: $(cat "$WORK/game.err")"
shot shipped-title >/dev/null
[ "$(pixel 165 300)" = "$CARD" ] || fail "no title after the closing card (its menu's place shows $(pixel 165 300))"
"$XCLOSE" "$WINDOW"
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "shipped: 1 passed, 0 failed"

#!/usr/bin/env bash
# The real game: ends with status 0 on Escape and on a close request, and
# with status 1 and one clear line when its map is broken.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"

start_game "$WORK/game"
shot lifecycle-start >/dev/null
# On a 1024 x 768 screen the window opens at 1x: exactly 640 x 480.
[ "$(window_size)" = 640x480 ] || fail "the window opened at $(window_size) on 1024 x 768"
press Escape
wait_exit 30
[ "$STATUS" = 0 ] || fail "Escape: exit status $STATUS"

start_game "$WORK/game"
"$XCLOSE" "$WINDOW"
wait_exit 30
[ "$STATUS" = 0 ] || fail "close request: exit status $STATUS"

printf '{ "width": 7, "height": 4,\n  "tileheight": oops }\n' > "$WORK/game/res/maps/testmap.json"
(cd "$WORK/game" && ulimit -c 0 && exec "$GAME") >"$WORK/out" 2>"$WORK/err" && status=0 || status=$?
[ "$status" = 1 ] || fail "broken map: exit status $status, wanted 1"
# (Under Xvfb the graphics library adds a line of its own about vertical sync.)
lines=$(grep -c . "$WORK/err" | tr -d ' ')
ours=$(grep -c '^tarnwick: ' "$WORK/err" | tr -d ' ')
[ "$ours" = 1 ] && [ "$lines" -le 2 ] || fail "broken map: wanted one line, got: $(cat "$WORK/err")"
grep -q '^tarnwick: res/maps/testmap.json(2): ' "$WORK/err" || fail "broken map message: $(cat "$WORK/err")"

rm "$WORK/game/res/txt/boss2.xml"
printf '{ "width": 7, "height": 4, "tileheight": 32, "layers": [ { "data": [6] } ],
  "tilesets": [ { "name": "w", "image": "../gfx/world.png", "firstgid": 1,
  "tileproperties": { "5": { "type": "boss", "solid": true } } } ] }\n' > "$WORK/game/res/maps/testmap.json"
(cd "$WORK/game" && ulimit -c 0 && exec "$GAME") >"$WORK/out" 2>"$WORK/err" && status=0 || status=$?
[ "$status" = 1 ] || fail "missing conversation: exit status $status, wanted 1"
grep -q '^tarnwick: res/txt/boss2.xml: cannot open file$' "$WORK/err" || fail "missing conversation message: $(cat "$WORK/err")"
echo "lifecycle: 4 passed, 0 failed"

#!/usr/bin/env bash
# The real game: Escape pauses it and Quit in the pause menu ends it with
# status 0; a close request, SIGTERM and SIGHUP end it with status 0 after
# saving; a broken map ends it with status 1 and one clear line.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"

start_game "$WORK/game"
shot lifecycle-start >/dev/null
# On an 800 x 600 screen the window opens at 1x: exactly 640 x 480.
[ "$(window_size)" = 640x480 ] || fail "the window opened at $(window_size) on 800 x 600"
quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "Quit: exit status $STATUS"

# However it is asked to end, the game saves first.
for how in close TERM HUP; do
  rm -rf "$XDG_DATA_HOME"
  start_game "$WORK/game"
  step Right
  case $how in
    close) "$XCLOSE" "$WINDOW" ;;
    *) kill -s "$how" "$GAME_PID" ;;
  esac
  wait_exit 30
  [ "$STATUS" = 0 ] || fail "$how: exit status $STATUS"
  saved=$(find "$XDG_DATA_HOME/tarnwick" -maxdepth 1 -type f -size +0 2>/dev/null | head -n1 || true)
  [ -n "$saved" ] || fail "$how: nothing saved under $XDG_DATA_HOME/tarnwick"
done

printf '{ "width": 7, "height": 4,\n  "tileheight": oops }\n' > "$WORK/game/res/maps/testmap.json"
(cd "$WORK/game" && ulimit -c 0 && exec "$GAME") >"$WORK/out" 2>"$WORK/err" && status=0 || status=$?
[ "$status" = 1 ] || fail "broken map: exit status $status, wanted 1"
# (Under Xvfb the graphics library adds a line of its own about vertical sync.)
lines=$(grep -c . "$WORK/err" | tr -d ' ')
ours=$(grep -c '^tarnwick: ' "$WORK/err" | tr -d ' ')
[ "$ours" = 1 ] && [ "$lines" -le 2 ] || fail "broken map: wanted one line, got: $(cat "$WORK/err")"
grep -q '^tarnwick: res/maps/testmap.json(2): ' "$WORK/err" || fail "broken map message: $(cat "$WORK/err")"

# A world that cannot be finished is refused before it starts: every problem
# on a line of its own.
small_world "$WORK/game"
sed -i 's/"type": "player"/"type": "floor"/; s/"part": 0/"part": 7/' "$WORK/game/res/maps/testmap.json"
rm "$WORK/game/res/fnt/LibMono.ttf"
(cd "$WORK/game" && ulimit -c 0 && exec "$GAME") >"$WORK/out" 2>"$WORK/err" && status=0 || status=$?
[ "$status" = 1 ] || fail "broken world: exit status $status, wanted 1"
grep -q '^tarnwick: res/maps/testmap.json: error: the map has no player: ' "$WORK/err" || fail "no player: $(cat "$WORK/err")"
grep -q '^tarnwick: res/maps/testmap.json: error: victim "Clerk" (tile 3 at 1,1 in layer "things") has part 7; ' "$WORK/err" \
  || fail "victim's part: $(cat "$WORK/err")"
grep -q '^tarnwick: res/fnt/LibMono.ttf: error: missing; ' "$WORK/err" || fail "no font: $(cat "$WORK/err")"
[ "$(grep -c '^tarnwick: ' "$WORK/err")" = 3 ] || fail "broken world: wanted three lines, got: $(cat "$WORK/err")"

# A conversation the boss needs is missing: the loader names it.
small_world "$WORK/game"
rm "$WORK/game/res/txt/boss2.xml"
(cd "$WORK/game" && ulimit -c 0 && exec "$GAME") >"$WORK/out" 2>"$WORK/err" && status=0 || status=$?
[ "$status" = 1 ] || fail "missing conversation: exit status $status, wanted 1"
grep -q '^tarnwick: res/txt/boss2.xml: cannot open file$' "$WORK/err" || fail "missing conversation message: $(cat "$WORK/err")"
echo "lifecycle: 8 passed, 0 failed"

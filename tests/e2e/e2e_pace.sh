#!/usr/bin/env bash
# The game keeps its pace whatever the machine does: Right held for the same
# six seconds walks the same steps (60 a second) on an idle machine, with
# 30 ms of lag after every picture (--lag 30), and beside two busy loops.
# The steps are counted in the game's own recording of its keys; a ten-tile
# walk lasts steps / 60 s, so equal counts mean equal walking times.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config
start_display
small_world "$WORK/game"
# A corridor of 13 free tiles to the right of the player.
python3 - "$WORK/game/res/maps/testmap.json" <<'PY'
import json, sys
path = sys.argv[1]
m = json.load(open(path))
w = 16
m["width"] = w
wall = [2] * w
m["layers"][0]["data"] = [1] * (w * 4)
m["layers"][1]["data"] = wall + [2, 4, 6, 7, 7, 7] + [2] * (w - 6) + [2, 3] + [0] * (w - 3) + [2] + wall
json.dump(m, open(path, "w"))
PY

# held ARG...: starts the game, holds Right for about 6 s, closes it; prints
# how long the key was held (ms, from the middle of the call that pressed it
# to the middle of the one that let go) and the steps the game saw it down in.
# The key goes down and up through xdotool, which returns as soon as the
# event is sent: the game takes both within a picture, so the error at either
# end is the same small delay, and over 6 s it stays far inside the margin.
held() {
  start_game "$WORK/game" --record "$WORK/pace.txt" "$@"
  local a b c d
  a=$(now_ms); xdotool keydown Right; b=$(now_ms)
  sleep 6
  c=$(now_ms); xdotool keyup Right; d=$(now_ms)
  settle
  "$XCLOSE" "$WINDOW"
  wait_exit 60
  [ "$STATUS" = 0 ] || fail "game $*: status $STATUS"
  local steps
  steps=$(awk '/^[0-9]/ { for (i = 2; i <= NF; ++i) if ($i == 72) s += $1 } END { print s + 0 }' "$WORK/pace.txt")
  echo "$(( (c + d - a - b) / 2 )) $steps"
}

# The time a ten-tile walk takes at the pace seen (ms), from steps per second.
walk_ms() { awk -v ms="$1" -v steps="$2" -v tile="$TILE_STEPS" 'BEGIN { printf "%d", 10 * tile * ms / steps }'; }
# A tile is 16 steps of walking and 2 of pause.
TILE_STEPS=18
read -r idle_ms idle < <(held)
read -r lag_ms lagged < <(held --lag 30)
start_busy
read -r busy_ms busy < <(held)
stop_busy
idle_walk=$(walk_ms "$idle_ms" "$idle"); lag_walk=$(walk_ms "$lag_ms" "$lagged"); busy_walk=$(walk_ms "$busy_ms" "$busy")
echo "Right held: idle $idle steps in $idle_ms ms, --lag 30 $lagged in $lag_ms ms, beside two busy loops $busy in $busy_ms ms"
echo "a ten-tile walk at that pace: idle $idle_walk ms, --lag 30 $lag_walk ms, busy $busy_walk ms"

within 10 "$idle_walk" $((10 * TILE_STEPS * 1000 / 60)) || fail "idle: a ten-tile walk takes $idle_walk ms"
within 10 "$lag_walk" "$idle_walk" || fail "--lag 30: a ten-tile walk takes $lag_walk ms against $idle_walk idle"
within 10 "$busy_walk" "$idle_walk" || fail "beside two busy loops: $busy_walk ms against $idle_walk idle"

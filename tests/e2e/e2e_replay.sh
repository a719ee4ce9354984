#!/usr/bin/env bash
# Recordings: the shipped route (the keys of the content test's play) replays
# to the state that play reached, three times headless and, its first 15 s,
# in a window (the whole of it with WHOLE_ROUTE_IN_WINDOW=1);
# a walk recorded from real keys replays to the state the game ended in; a
# recording of another world or version is refused in one line.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config
start_display
SRC=${TARNWICK_SOURCE_DIR:?}
REC=${SHIPPED_RECORDING:?}
[ -s "$REC" ] || fail "no recording of the shipped route at $REC"
wanted=$(sed -n 's/^# state //p' "$REC")
[ -n "$wanted" ] || fail "the shipped recording names no state"

# replay FILE [ARG...]: plays FILE back on the shipped world; the digest it
# prints is in DIGEST, its status in STATUS.
replay() {
  local file=$1; shift
  STATUS=0
  (cd "$SRC" && exec "$GAME" --replay "$file" "$@") >"$WORK/replay.out" 2>"$WORK/replay.err" || STATUS=$?
  DIGEST=$(sed -n 's/^replay: [0-9]* steps, state //p' "$WORK/replay.out")
}

for run in 1 2 3; do
  replay "$REC" --headless
  got=$DIGEST
  [ "$STATUS" = 0 ] || fail "headless replay $run: status $STATUS: $(cat "$WORK/replay.err")"
  [ "$got" = "$wanted" ] || fail "headless replay $run reached $got, the play reached $wanted"
done

# In a window, at the game's pace: the first 15 s of the route (a recording
# cut short, as a crash leaves it), against the same cut headless.
awk 'BEGIN { left = 900 }
     /^[0-9]/ { if (left <= 0) next; n = $1; if (n > left) { $1 = left; n = left }; left -= n; print; next }
     /^end/ { next } { print }' "$REC" > "$WORK/cut.txt"
replay "$WORK/cut.txt" --headless
headless=$DIGEST
replay "$WORK/cut.txt"
windowed=$DIGEST
[ "$STATUS" = 0 ] || fail "windowed replay: status $STATUS: $(cat "$WORK/replay.err")"
[ -n "$headless" ] && [ "$windowed" = "$headless" ] || fail "cut route: in a window $windowed, headless $headless"
grep -q '^replay: 900 steps' "$WORK/replay.out" || fail "windowed replay: $(cat "$WORK/replay.out")"
# The whole route in a window, at the game's pace (two and a half minutes):
# in the sanitizer build's run, which checks its memory all the way.
if [ "${WHOLE_ROUTE_IN_WINDOW:-0}" = 1 ]; then
  replay "$REC"
  [ "$STATUS" = 0 ] || fail "windowed replay of the whole route: status $STATUS: $(cat "$WORK/replay.err")"
  [ "$DIGEST" = "$wanted" ] || fail "the whole route in a window reached $DIGEST, the play reached $wanted"
  echo "the whole route in a window: $DIGEST"
fi

# Another world, another version: one line each, status 1.
sed 's/^world .*/world 0123456789abcdef/' "$REC" > "$WORK/other-world.txt"
sed 's/^version .*/version 0.0.1/' "$REC" > "$WORK/other-version.txt"
for other in other-world other-version; do
  replay "$WORK/$other.txt" --headless
  [ "$STATUS" = 1 ] && [ "$(grep -c . "$WORK/replay.err")" = 1 ] || fail "$other: status $STATUS: $(cat "$WORK/replay.err")"
done

# Real keys, recorded: a few tiles and a turn in the small world, then the
# window closed; the replay reaches the state the game ended in.
small_world "$WORK/game"
record_walk "$WORK/game" "$WORK/walk.txt" Right Left Up
ended=$ENDED
grep -q '^end [0-9]' "$WORK/walk.txt" || fail "the recording has no end: $(tail -n2 "$WORK/walk.txt")"
got=$(cd "$WORK/game" && "$GAME" --replay "$WORK/walk.txt" --headless | sed -n 's/^replay: [0-9]* steps, state //p')
[ "$got" = "$ended" ] || fail "the recorded walk replays to $got, the game ended in $ended"

# A talk recorded at the settings' slow text speed, its first space sent
# while the page types itself out: the recording names the speed, and its
# replay (begun at instant, as these scripts have it) types and turns alike.
mkdir -p "$XDG_CONFIG_HOME/tarnwick"
printf '[text]\nspeed = slow\n' > "$XDG_CONFIG_HOME/tarnwick/settings.ini"
TARNWICK_TEXT_SPEED= start_game "$WORK/game" --record "$WORK/talk.txt"
step Up
xdotool key --window "$WINDOW" --delay 100 Return space
settle
press space
"$XCLOSE" "$WINDOW"
wait_exit 30
[ "$STATUS" = 0 ] || fail "recorded talk: status $STATUS"
talked=$(sed -n 's/^record: [0-9]* steps in .*, state //p' "$WORK/game.out")
grep -q '^text-speed slow$' "$WORK/talk.txt" || fail "the recording names no slow text: $(head -n4 "$WORK/talk.txt")"
got=$(cd "$WORK/game" && "$GAME" --replay "$WORK/talk.txt" --headless | sed -n 's/^replay: [0-9]* steps, state //p')
[ "$got" = "$talked" ] || fail "the recorded talk replays to $got, the game ended in $talked"
echo "replays: shipped route $wanted three times headless, cut route $headless in a window, recorded walk $ended," \
  "talk at slow text $talked"

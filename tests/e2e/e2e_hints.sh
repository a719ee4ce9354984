#!/usr/bin/env bash
# The key hints with real keys: a new game shows walk, talk and menu; each goes
# once its key is used; a restart keeps them gone; the settings bring them back.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
export TARNWICK_KEY_HINTS=1
start_display
small_world "$WORK/game"
SETTINGS=$XDG_CONFIG_HOME/tarnwick/settings.ini

# The panel sits low on the left, its bottom at 366, a line 16 pixels high:
# three lines reach up past 315, two past 331, one past 347.
panel="srgb(0,25,100)"
lines_shown() { # lines_shown N WHAT
  local n=$1 top=$((366 - 16 * $1 - 8)) c
  if [ "$n" -gt 0 ]; then
    c=$(pixel 10 $((top + 2)))
    [ "$c" = "$panel" ] || fail "$2: no panel for $n line(s) at y $((top + 2)): $c"
  fi
  c=$(pixel 10 $((top - 6)))
  [ "$c" != "$panel" ] || fail "$2: the panel holds more than $n line(s)"
}

start_game "$WORK/game"
shot hints-1-new-game >/dev/null
lines_shown 3 "a new game"
press Left                      # a step (a key and a still picture: the panel stands still)
lines_shown 2 "after walking"
press Return                    # talking to the wall
lines_shown 1 "after talking"
quit_game                       # the pause menu's key
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
for hint in walk talk menu; do
  grep -qx "$hint = false" "$SETTINGS" || fail "the $hint hint was not kept as gone: $(cat "$SETTINGS")"
done

start_game "$WORK/game"
lines_shown 0 "after a restart"
# Pause, Settings, down to "Key hints" (window scale, fullscreen, goal line,
# three volumes, then the hints), on, and back to the world.
press Escape; press Down; press Return
for _ in 1 2 3 4 5 6; do press Down; done
press Return
press Escape; press Escape
shot hints-2-back-on >/dev/null
lines_shown 3 "turned back on"
quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "hints: 1 passed, 0 failed"

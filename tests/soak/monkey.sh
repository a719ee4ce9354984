#!/usr/bin/env bash
# The real game binary on the shipped data under a private Xvfb, fed random
# real key presses and holds (every key but Escape, and Tab: the map it opens
# would take the Escape that is to open the pause menu) for SECONDS (default
# 300), then the window's close button: the game must end by itself with
# status 0 and print nothing but the one line the X server's missing vertical
# sync makes SFML print. The story's ending leads to the title, where the keys
# may choose Quit: a game that ends earlier must also end with status 0; it is
# started again.
#
#   GAME=build/tarnwick tests/soak/monkey.sh [SECONDS] [SEED]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$(dirname "$here")")
seconds=${1:-300}
RANDOM=${2:-1}
XCLOSE=${XCLOSE:-$(dirname "${XPLAY:?}")/xclose}
source "$here/../e2e/lib.sh"

keys=(Up Down Left Right w a s d Return space 1 2 3 BackSpace Delete Home End Page_Up Page_Down
      Insert F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 Shift_L Control_L Alt_L Super_L Menu
      b c e f g h i j k l m n o p q r t u v x y z 0 4 5 6 7 8 9 comma period slash minus equal
      bracketleft bracketright semicolon apostrophe grave backslash KP_1 KP_2 KP_3 KP_Enter)
walks=(Up Down Left Right w a s d)

check_output() {
  if grep -v 'Setting vertical sync not supported' "$WORK/game.err" | grep -q .; then
    fail "the game printed: $(cat "$WORK/game.err")"
  fi
}

start_display
start_game "$root"
end=$((SECONDS + seconds))
presses=0 endings=0
while [ $SECONDS -lt $end ]; do
  if ! kill -0 "$GAME_PID" 2>/dev/null; then
    wait_exit 1
    [ "$STATUS" -eq 0 ] || fail "the game ended with status $STATUS after $presses keys"
    check_output
    endings=$((endings + 1))
    start_game "$root"
  fi
  roll=$((RANDOM % 100))
  if [ $roll -lt 40 ]; then
    key=${walks[RANDOM % ${#walks[@]}]}
    xdotool keydown "$key" sleep "0.$((RANDOM % 9 + 1))" keyup "$key" 2>/dev/null || true
  elif [ $roll -lt 90 ]; then
    key=${keys[RANDOM % ${#keys[@]}]}
    xdotool key --delay $((RANDOM % 80)) "$key" 2>/dev/null || true
  else
    a=${keys[RANDOM % ${#keys[@]}]} b=${walks[RANDOM % ${#walks[@]}]}
    xdotool keydown "$a" keydown "$b" sleep 0.2 keyup "$b" keyup "$a" 2>/dev/null || true
  fi
  presses=$((presses + 1))
done

kill -0 "$GAME_PID" 2>/dev/null || fail "the game was gone before quitting"
# F11 and Alt+Return make a new window: the close button is the one there is now.
# The game may stand in play or on the title (after an ending): the close
# button saves and quits from either.
find_window
"$XCLOSE" "$WINDOW"
wait_exit 10
[ "$STATUS" -eq 0 ] || fail "closing the window ended the game with status $STATUS"
check_output
echo "monkey: $presses key actions in $seconds s, $endings ended early, clean exit through the close button"

#!/usr/bin/env bash
# The real game with real keys plays a small map's story to its one ending;
# the closing card goes to the title, and the game closed there ends with
# status 0. The closing card stands 4 s of wall time;
# in an optimised build (PACE_CHECKS=1) also with 30 ms of lag after every
# picture (--lag 30) and beside two busy loops, from the save made just
# before the ending.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
start_game "$WORK/game"

CARD="srgb(0,50,200)"   # the closing card's panel
table_at() { # table_at NAME COLOUR: the table above the player shows COLOUR
  local c
  shot "$1" >/dev/null
  c=$(pixel 320 208)
  [ "$c" = "$2" ] || fail "$1: the table above shows $c, wanted $2"
}
talk() { step Up; press Return; }   # face what is above and talk
card_gone() { [ "$(pixel 110 175)" != "$CARD" ]; }
# The boss's last page closed: the card, until it gives way to the title by
# itself; then the window is closed there. CARD_MS: how long the card stood,
# from the key that closed the page.
card() {
  local a b colour
  a=$(now_ms)
  press space
  colour=$(pixel 110 175)
  [ "$colour" = "$CARD" ] || fail "no closing card (the panel's place shows $colour)"
  until_true 30 card_gone || fail "the closing card did not go"
  b=$(now_ms)
  settle
  game_alive || fail "the game ended after the closing card: $(cat "$WORK/game.err")"
  shot story-5-title >/dev/null
  # The title's menu panel (the card's blue) left of its rows.
  colour=$(pixel 165 300)
  [ "$colour" = "$CARD" ] || fail "no title after the closing card (its menu's place shows $colour)"
  "$XCLOSE" "$WINDOW"
  wait_exit 30
  [ "$STATUS" = 0 ] || fail "exit status $STATUS"
  CARD_MS=$((b - a))
}

step Left; talk; press space; press space; press 1; press space   # the clerk's hat
step Right; talk; press space                                      # boss: part 0
step Right; talk; press space                                      # first table
table_at story-1-table "srgb(255,0,255)"
step Left; talk; press space                                       # boss: part 1
walk Right 2; talk; press space                                    # second table
table_at story-2-table "srgb(0,255,255)"
walk Left 2; talk; press space                                     # boss: part 2
walk Right 3; talk; press space                                    # third table
table_at story-3-table "srgb(255,255,255)"
cp "$XDG_DATA_HOME/tarnwick/save.txt" "$WORK/before-ending.txt"   # the autosave after it
walk Left 3; talk                                                  # boss: the ending
shot story-4-ending >/dev/null
card
idle=$CARD_MS
echo "closing card: $idle ms"
within 10 "$idle" 4000 || fail "the closing card stood $idle ms, not 4 s"

if [ "${PACE_CHECKS:-0}" = 1 ]; then
  ending_from_save() { # the last talk from the save, with the game's arguments
    cp "$WORK/before-ending.txt" "$XDG_DATA_HOME/tarnwick/save.txt"
    start_title "$WORK/game" --continue "$@"
    walk Left 3; talk
    card
  }
  ending_from_save --lag 30
  lagged=$CARD_MS
  start_busy
  ending_from_save
  busy=$CARD_MS
  stop_busy
  echo "closing card: idle $idle ms, --lag 30 $lagged ms, beside two busy loops $busy ms"
  within 10 "$lagged" 4000 || fail "--lag 30: the closing card stood $lagged ms, not 4 s"
  within 10 "$busy" 4000 || fail "beside two busy loops: the closing card stood $busy ms, not 4 s"
fi
echo "story: 1 passed, 0 failed"

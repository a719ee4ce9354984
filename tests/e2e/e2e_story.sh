#!/usr/bin/env bash
# The real game with real keys plays a small map's story to its one ending
# and ends by itself with status 0.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
start_game "$WORK/game"

table_at() { # table_at NAME COLOUR: the table above the player shows COLOUR
  local c
  shot "$1" >/dev/null
  c=$(pixel 320 208)
  [ "$c" = "$2" ] || fail "$1: the table above shows $c, wanted $2"
}
talk() { step Up; press Return; }   # face what is above and talk

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
walk Left 3; talk                                                  # boss: the ending
shot story-4-ending >/dev/null
press space
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "story: 1 passed, 0 failed"

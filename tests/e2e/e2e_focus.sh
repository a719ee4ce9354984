#!/usr/bin/env bash
# Keys typed into another window do not move the player, and a key held when
# the focus goes elsewhere is let go; back in the game, the arrows walk again.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
start_game "$WORK/game"
# Clear of the decoy window, which opens in the top-left corner.
xdotool windowmove "$WINDOW" 150 110
settle

# The camera follows the player: an unchanged picture means the player stood.
picture() { xplay save "$WORK/$1.ppm" >/dev/null; }
same() { cmp -s "$WORK/$1.ppm" "$WORK/$2.ppm"; }

picture start
start_decoy
hold Left 40
hold Up 40
hold Right 40
picture elsewhere
same start elsewhere || fail "keys typed into another window moved the player"

focus "$WINDOW"
step Left
picture walked
same start walked && fail "the arrows do nothing once the game has the focus again"

# Right held: the player walks on, tile after tile, until the focus goes.
xplay down Right >/dev/null
xplay frames 25 >/dev/null
focus "$DECOY"
settle
picture stopped
xplay frames 40 >/dev/null
picture still-stopped
same stopped still-stopped || fail "the player walked on with the focus elsewhere"
same walked stopped && fail "holding Right did not walk"
# Focus comes back with Right still held: it waits to be pressed again.
focus "$WINDOW"
xplay frames 40 >/dev/null
picture back
same stopped back || fail "a key held through the change of focus walked"
xplay up Right >/dev/null
step Right
picture again
same back again && fail "Right pressed again did not walk"
shot focus-end >/dev/null

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "focus: 1 passed, 0 failed"

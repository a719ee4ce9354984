#!/usr/bin/env bash
# Keys of the player's choosing, from the settings file: the rebound keys walk,
# talk, turn pages and answer; the keys they replaced do nothing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$XDG_CONFIG_HOME/tarnwick"
cat > "$XDG_CONFIG_HOME/tarnwick/settings.ini" <<'INI'
[keys]
left = J
up = I
talk = T
next_page = N
answer2 = 8
INI
start_game "$WORK/game"

panel_fill="srgb(0,50,200)"
px=560; py=470                   # inside the panel's fill, left of the mark in its corner
above() { pixel 320 208; }       # the tile above the player
picture() { xplay save "$WORK/$1.ppm" >/dev/null; }
same() { cmp -s "$WORK/$1.ppm" "$WORK/$2.ppm"; }

picture start
hold Left 30                     # no longer a walking key
picture held
same start held || fail "the replaced arrow key still walks"

hold j 8; settle                 # one tile left, below the clerk (a step
                                 # goes on to its end once begun)
[ "$(above)" = "srgb(0,255,0)" ] || fail "J did not walk left: above is $(above)"
hold i 3; settle                 # turn towards the clerk
press Return                     # no longer a talking key
[ "$(pixel $px $py)" != "$panel_fill" ] || fail "the replaced Return still talks"
press t
[ "$(pixel $px $py)" = "$panel_fill" ] || fail "T did not talk: $(pixel $px $py)"
press n; press n                 # second page, then the answers
press 8                          # decline
press n                          # the end
[ "$(pixel $px $py)" != "$panel_fill" ] || fail "the conversation did not end on N"
[ "$(above)" = "srgb(0,255,0)" ] || fail "answer 8 took the disguise: $(above)"
shot controls-rebound >/dev/null

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
if grep -v 'vertical sync' "$WORK/game.err" | grep -q .; then fail "the settings were refused"; fi
echo "controls: 1 passed, 0 failed"

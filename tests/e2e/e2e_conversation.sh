#!/usr/bin/env bash
# The real game with real keys: walk one tile, turn, talk, read the panel,
# choose (with the main row and with the keypad), end the conversation; the
# panel is on screen and then gone.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
start_game "$WORK/game"

panel_fill="srgb(0,50,200)"
# The panel covers the bottom 106 rows; this point is inside its fill, right of any
# text and left of the mark in its corner.
px=560; py=470
# The clerk stands one tile above the player, who is in the middle of the picture.
above() { pixel 320 208; }

shot conversation-0-world >/dev/null
[ "$(pixel $px $py)" != "$panel_fill" ] || fail "a panel before any talk"

step Left          # one tile left, next to the clerk
step Up            # turn towards the clerk, who blocks the way
press Return       # talk
shot conversation-1-open >/dev/null
[ "$(pixel $px $py)" = "$panel_fill" ] || fail "no panel after talking: $(pixel $px $py)"
[ "$(above)" = "srgb(0,255,0)" ] || fail "the clerk is not above the player: $(above)"

press space        # second page
press space        # the options
press 2            # decline
shot conversation-2-answer >/dev/null
[ "$(pixel $px $py)" = "$panel_fill" ] || fail "the panel went away too early"
press space        # ends the conversation
shot conversation-3-closed >/dev/null
[ "$(pixel $px $py)" != "$panel_fill" ] || fail "the panel stayed after the conversation"
[ "$(above)" = "srgb(0,255,0)" ] || fail "declining still took the disguise"

# Talk again and accept with the keypad's 1: the clerk gives up the hat and
# looks different.
press Return; press space; press space; press KP_1; press space
shot conversation-4-accepted >/dev/null
[ "$(above)" = "srgb(0,128,0)" ] || fail "accepting did not take the disguise: $(above)"

# Quitting in the middle of a conversation ends the game cleanly.
press Return
shot conversation-5-thanks >/dev/null
[ "$(pixel $px $py)" = "$panel_fill" ] || fail "no panel for the second conversation"
quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "conversation: 1 passed, 0 failed"

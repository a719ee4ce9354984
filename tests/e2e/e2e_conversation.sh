#!/usr/bin/env bash
# The real game with real keys: walk one tile, turn, talk, read the panel,
# choose, end the conversation; the panel is on screen and then gone.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
start_game "$WORK/game"

panel_fill="srgb(0,50,200)"
# The panel covers the bottom 106 rows; this point is inside its fill, right of any text.
px=600; py=470

shot conversation-0-world >/dev/null
[ "$(pixel "$ARTEFACTS/conversation-0-world.png" $px $py)" != "$panel_fill" ] || fail "a panel before any talk"

step Left          # one tile left, next to the clerk
step Up            # turn towards the clerk, who blocks the way
press Return       # talk
f=$(shot conversation-1-open)
[ "$(pixel "$f" $px $py)" = "$panel_fill" ] || fail "no panel after talking: $(pixel "$f" $px $py)"
# The clerk stands one tile above the player, who is in the middle of the view.
[ "$(pixel "$f" 320 208)" = "srgb(0,255,0)" ] || fail "the clerk is not above the player: $(pixel "$f" 320 208)"

press space        # second page
press space        # the options
press 2            # decline
f=$(shot conversation-2-answer)
[ "$(pixel "$f" $px $py)" = "$panel_fill" ] || fail "the panel went away too early"
press space        # ends the conversation
f=$(shot conversation-3-closed)
[ "$(pixel "$f" $px $py)" != "$panel_fill" ] || fail "the panel stayed after the conversation"
[ "$(pixel "$f" 320 208)" = "srgb(0,255,0)" ] || fail "declining still took the disguise"

# Talk again and accept: the clerk gives up the hat and looks different.
press Return; press space; press space; press 1; press space
f=$(shot conversation-4-accepted)
[ "$(pixel "$f" 320 208)" = "srgb(0,128,0)" ] || fail "accepting did not take the disguise: $(pixel "$f" 320 208)"

# Escape in the middle of a conversation ends the game cleanly.
press Return
f=$(shot conversation-5-thanks)
[ "$(pixel "$f" $px $py)" = "$panel_fill" ] || fail "no panel for the second conversation"
hold Escape
wait_exit 10
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "conversation: 1 passed, 0 failed"

#!/usr/bin/env bash
# Standing still, the game presents no new picture: on the title, in a menu,
# in the world and in a conversation it presents only its once-a-second
# picture, and a key that changes what is shown (a menu's selection, a step,
# a page) is presented at once. Whatever may have spoilt the window's picture
# (another window over it, a resize, fullscreen and back) has it drawn again,
# right. Everything is paced on the pictures the game says it presented
# (TARNWICK_PRESENT_LOG), never on the clock.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
XCOVER=${XCOVER:?path of the xcover helper}
export TARNWICK_REDRAW_STEPS=60 # the game's own
export TARNWICK_KEY_HINTS=1     # the hints stand still too, and go at once
export TARNWICK_PRESENT_LOG=$WORK/presented
LOG=$TARNWICK_PRESENT_LOG
start_display
small_world "$WORK/game"

# count NAME: one of the log's figures (presented, changed, window, safety, steps).
count() { local v; v=$(sed -n "s/^$1 //p" "$LOG" 2>/dev/null); echo "${v:-0}"; }
grown() { [ "$(count "$1")" -gt "$2" ]; }

# quiet_for N: true when the next N once-a-second pictures come with no other.
quiet_for() {
  local changed window safety
  changed=$(count changed) window=$(count window) safety=$(count safety)
  until_true 60 grown safety $((safety + $1 - 1)) || fail "no picture for $1 s: $(cat "$LOG")"
  [ "$(count changed)" = "$changed" ] && [ "$(count window)" = "$window" ]
}

# stands_still WHAT: once what was moving has stopped, three seconds' worth
# of steps present nothing but the safety net's three pictures.
stands_still() {
  local tries=0 before
  until quiet_for 2; do
    tries=$((tries + 1))
    [ "$tries" -lt 10 ] || fail "$1: the picture never stood still: $(cat "$LOG")"
  done
  before=$(count steps)
  quiet_for 3 || fail "$1: pictures presented though nothing changed: $(cat "$LOG")"
  echo "$1: still over $(( $(count steps) - before )) steps: $(tr '\n' ' ' < "$LOG")"
}

# changes KEY WHAT: the key changes the picture, presented before the safety
# net's second picture (the game takes a key in its next step).
changes() {
  local changed safety
  changed=$(count changed) safety=$(count safety)
  xdotool key "$1"
  until_true 60 grown changed "$changed" || fail "$2: $1 presented nothing: $(cat "$LOG")"
  [ "$(count safety)" -le $((safety + 1)) ] || fail "$2: $1 was presented late: $(cat "$LOG")"
}

# redrawn WHAT: waits until the window's change was presented.
redrawn() {
  until_true 60 grown window "$1" || fail "$2: not drawn again: $(cat "$LOG")"
}

same_picture() { # same_picture A B WHAT
  local diff
  diff=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$diff" = 0 ] || fail "$3: the picture differs in $diff pixels ($1, $2)"
}

start_title "$WORK/game"
stands_still "title"
changes Down "title"                  # New game -> Settings
changes Return "title"                # the settings screen
stands_still "settings"
changes Escape "settings"             # back to the title
changes Up "title"
changes Return "title"                # a new game
stands_still "world"
window_shot "$WORK/world.png"

# Another window over the game's, then gone.
window=$(count window)
"$XCOVER" "$WINDOW" || fail "xcover"
redrawn "$window" "uncovered"
stands_still "world, uncovered"
window_shot "$WORK/uncovered.png"
same_picture "$WORK/world.png" "$WORK/uncovered.png" "uncovered"

# A larger window: the same picture between black bars.
window=$(count window)
xdotool windowmove "$WINDOW" 0 0 # all of it on the 800 x 600 screen
xdotool windowsize "$WINDOW" 800 600
redrawn "$window" "resized"
stands_still "world, resized"
[ "$(window_size)" = 800x600 ] || fail "the window is $(window_size), not 800x600"
window_shot "$WORK/resized.png"
convert "$WORK/resized.png" -crop 640x480+80+60 +repage "$WORK/resized-middle.png"
same_picture "$WORK/world.png" "$WORK/resized-middle.png" "resized"
[ "$(pixel 5 5)" = "srgb(0,0,0)" ] || fail "resized: no black bar: $(pixel 5 5)"

# Fullscreen and back: the window made anew twice.
window=$(count window)
xdotool key F11
redrawn "$window" "fullscreen"
find_window
window=$(count window)
xdotool key F11
redrawn "$window" "back from fullscreen"
find_window
stands_still "world, back from fullscreen"
[ "$(window_size)" = 800x600 ] || fail "back from fullscreen the window is $(window_size)"
window_shot "$WORK/back.png"
same_picture "$WORK/resized.png" "$WORK/back.png" "back from fullscreen"

# Walking, then a conversation with the clerk, its pages turned.
changes Left "walking"                # one tile left, next to the clerk
stands_still "world, walked"
changes Up "turning"                  # towards the clerk, who blocks the way
changes Return "talking"
stands_still "conversation"
changes space "a page turned"
stands_still "conversation, next page"

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "still: 1 passed, 0 failed"

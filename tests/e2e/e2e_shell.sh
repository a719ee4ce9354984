#!/usr/bin/env bash
# The shell with real keys: a settings file that cannot be read, the title,
# a new game, the pause menu, the settings (applied at once and kept), quit
# to title and Continue, each checked on the window's picture.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
# A screen where the automatic scale is 1x.
start_display 800x600
small_world "$WORK/game"
mkdir -p "$XDG_CONFIG_HOME/tarnwick"
printf 'this is not a settings file\n' > "$XDG_CONFIG_HOME/tarnwick/settings.ini"

highlight="srgb(255,226,120)"
strip="srgb(0,25,100)"
boss="srgb(255,255,0)"
table="srgb(139,69,19)"
expect() { local c; c=$(pixel "$1" "$2"); [ "$c" = "$3" ] || fail "$4: pixel ($1, $2) is $c, wanted $3"; }
# The picture's pixel above the player's middle: what stands north of it.
above() { pixel 320 207; }

start_title "$WORK/game"
[ "$(grep -c '^tarnwick: ' "$WORK/game.err")" = 1 ] && grep -q 'using the default settings$' "$WORK/game.err" ||
  fail "a bad settings file: wanted one line, got: $(cat "$WORK/game.err")"
[ "$(window_size)" = 640x480 ] || fail "the window opened at $(window_size)"
shot shell-1-title >/dev/null
expect 184 263 "$highlight" "the title: New game chosen"

press Return
[ "$(above)" = "$boss" ] || fail "a new game: not at the start ($(above))"
expect 636 4 "$strip" "the goal line"
step Right
[ "$(above)" = "$table" ] || fail "the step right: $(above)"

press Escape
shot shell-2-paused >/dev/null
expect 194 183 "$highlight" "the pause menu: Resume chosen"
[ "$(above)" != "$table" ] || fail "the world is not dimmed under the pause menu"

press Down; press Return
shot shell-3-settings >/dev/null
expect 154 137 "$highlight" "the settings: the window scale chosen"
# The keys that resize the window go without xplay, which watches frames of
# one size; the window's size is waited for instead.
size_is() { [ "$(window_size)" = "$1" ]; }
# Round automatic (1x here), fill the screen (90 % of it), 1x, automatic.
xdotool key Right
until_true 30 size_is 720x540 || fail "scale fill: the window is $(window_size)"
settle
xdotool key Right
until_true 30 size_is 640x480 || fail "scale 1x: the window is $(window_size)"
settle
press Right
press Down; press Down; press Return
grep -qx 'goal_line = false' "$XDG_CONFIG_HOME/tarnwick/settings.ini" ||
  fail "the goal line's setting was not kept: $(cat "$XDG_CONFIG_HOME/tarnwick/settings.ini")"

press Escape
expect 194 209 "$highlight" "back in the pause menu, on Settings"
press Down; press Down; press Down; press Return # past Map and Conversations to Quit to title
shot shell-4-title-again >/dev/null
expect 184 290 "$highlight" "the title again: Continue chosen"

press Return
shot shell-5-continued >/dev/null
[ "$(above)" = "$table" ] || fail "Continue: not where the game was left ($(above))"
[ "$(pixel 636 4)" != "$strip" ] || fail "Continue: the goal line is shown again"

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "shell: 1 passed, 0 failed"

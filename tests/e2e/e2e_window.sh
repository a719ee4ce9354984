#!/usr/bin/env bash
# The picture keeps its 640 x 480 shape in any window: on a 1920 x 1080 screen
# the window opens at 1280 x 960 and shows it at 2x; a 1000 x 500 window shows
# it at 1x between black bars; F11 and Alt+Return each switch fullscreen and
# back, and the Return of Alt+Return talks to nobody.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display 1920x1080
small_world "$WORK/game"
start_game "$WORK/game"

red="srgb(255,0,0)"       # the player
fill="srgb(0,50,200)"     # the conversation panel
edge="srgb(0,25,100)"     # its outline
black="srgb(0,0,0)"

# player_at LEFT TOP SIZE: the player's square, in window pixels, is exactly there.
player_at() {
  local l=$1 t=$2 s=$3
  [ "$(pixel "$l" "$t")" = "$red" ] && [ "$(pixel $((l + s - 1)) $((t + s - 1)))" = "$red" ] \
    && [ "$(pixel $((l - 1)) "$t")" != "$red" ] && [ "$(pixel $((l + s)) "$t")" != "$red" ] \
    && [ "$(pixel "$l" $((t - 1)))" != "$red" ] && [ "$(pixel "$l" $((t + s)))" != "$red" ] \
    || fail "$4: the player is not the $s x $s square at ($l, $t)"
}
# expect X Y COLOUR WHAT
expect() { local c; c=$(pixel "$1" "$2"); [ "$c" = "$3" ] || fail "$4: pixel ($1, $2) is $c, wanted $3"; }
# close_talk: reads the clerk's conversation to its end, declining.
close_talk() { press space; press space; press 2; press space; }

# 2x: the picture's pixel (x, y) covers window pixels (2x, 2y) to (2x + 1, 2y + 1).
[ "$(window_size)" = 1280x960 ] || fail "on 1920 x 1080 the window opened at $(window_size)"
player_at 608 448 64 "2x"
step Left; step Up; press Return
shot window-2x-conversation >/dev/null
expect 640 416 "srgb(0,255,0)" "2x: the clerk above the player"
expect 1100 940 "$fill" "2x: the panel (left of the mark in its corner)"
expect 5 940 "$edge" "2x: the panel's outline"
expect 6 940 "$fill" "2x: the panel's left edge"
expect 1200 754 "$fill" "2x: the panel's top edge"
expect 1200 753 "$edge" "2x: the panel's outline"
expect 1200 747 "$black" "2x: above the panel"
close_talk
expect 1100 940 "$black" "2x: the panel after the conversation"

# 1000 x 500: 1x, the picture at (180, 10) with black bars left, right and below.
xdotool windowsize "$WINDOW" 1000 500
settle
[ "$(window_size)" = 1000x500 ] || fail "the window did not take 1000 x 500: $(window_size)"
player_at 484 234 32 "1000 x 500"
press Return
shot window-bars-conversation >/dev/null
expect 183 470 "$fill" "bars: the panel's left edge"
expect 180 470 "$edge" "bars: the panel's outline"
expect 179 470 "$black" "bars: the bar left of the panel"
expect 816 470 "$fill" "bars: the panel's right edge"
expect 820 470 "$black" "bars: the bar right of the panel"
expect 500 489 "$edge" "bars: the panel's bottom outline"
expect 500 490 "$black" "bars: the bar below the panel"
close_talk

# F11: fullscreen, the picture at 2x in the middle of the screen.
press F11
find_window
[ "$(window_size)" = 1920x1080 ] || fail "F11: the window is $(window_size), not the whole screen"
shot window-fullscreen >/dev/null
player_at 928 508 64 "fullscreen"
expect 1520 1000 "$black" "fullscreen: a panel"
# F11 again: back to the window's last size.
press F11
find_window
[ "$(window_size)" = 1000x500 ] || fail "F11 again: the window is $(window_size), not 1000 x 500 again"
player_at 484 234 32 "back from fullscreen"
# Alt+Return there and back, with no conversation opened although the player
# faces the clerk.
press Alt_L+Return
find_window
[ "$(window_size)" = 1920x1080 ] || fail "Alt+Return: the window is $(window_size), not the whole screen"
press Alt_L+Return
find_window
[ "$(window_size)" = 1000x500 ] || fail "Alt+Return again: the window is $(window_size), not 1000 x 500"
player_at 484 234 32 "back in the window"
expect 500 470 "$black" "Alt+Return opened a conversation"
# Return alone still talks.
press Return
expect 500 470 "$fill" "Return after the switches"
shot window-end >/dev/null

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "window: 1 passed, 0 failed"

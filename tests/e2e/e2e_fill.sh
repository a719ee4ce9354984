#!/usr/bin/env bash
# On a 1366 x 768 screen, where 1x would leave 37 % of the height unused, the
# window opens filling 90 % of it and fullscreen fills the screen's height;
# the picture's pixels stay even (the player's 32-pixel square is one solid
# block at 1.44x) and its text is made at the window's resolution.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display 1366x768
small_world "$WORK/game"
start_game "$WORK/game"

# row_run FILE Y COLOUR: the longest run of COLOUR (#RRGGBB) along row Y.
row_run() {
  convert "$1" -crop "$(identify -format %w "$1")x1+0+$2" +repage -depth 8 txt:- |
    awk -v c="$3" 'NR > 1 { if (index($0, c)) { n++; if (n > best) best = n } else n = 0 } END { print best + 0 }'
}
# first_at FILE Y COLOUR: the first x along row Y with COLOUR.
first_at() {
  convert "$1" -crop "$(identify -format %w "$1")x1+0+$2" +repage -depth 8 txt:- |
    awk -v c="$3" -F '[,:]' 'NR > 1 && index($0, c) && !found { print $1; found = 1 }'
}

[ "$(window_size)" = 922x692 ] || fail "on 1366 x 768 the window opened at $(window_size), not 922 x 692"
shot=$(shot fill-window)
# The goal line's strip runs across the whole picture: 640 x 1.44.
width=$(row_run "$shot" 1 "#001964")
[ "$width" -ge 921 ] || fail "windowed: the picture is $width pixels wide, not 922"
[ $((width * 3 * 10)) -ge $((768 * 9 * 4)) ] || fail "windowed: the picture is under 90 % of the screen's height"
# The player's square, in the middle: one solid block, 46 window pixels across.
player=$(row_run "$shot" 346 "#FF0000")
[ "$player" -ge 45 ] && [ "$player" -le 47 ] || fail "windowed: the player is $player pixels wide, not 46"

press F11
find_window
[ "$(window_size)" = 1366x768 ] || fail "F11: the window is $(window_size)"
shot=$(shot fill-fullscreen)
width=$(row_run "$shot" 1 "#001964")
left=$(first_at "$shot" 1 "#001964")
[ "$width" -ge 1023 ] && [ "$left" -ge 170 ] && [ "$left" -le 172 ] ||
  fail "fullscreen: the picture is $width pixels wide from x = $left, not 1024 from 171"
player=$(row_run "$shot" 384 "#FF0000")
[ "$player" -ge 50 ] && [ "$player" -le 52 ] || fail "fullscreen: the player is $player pixels wide, not 51"

quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "fill: 1 passed, 0 failed"

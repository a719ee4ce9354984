#!/usr/bin/env bash
# The installed game: started from any folder with no data options, also
# after its whole installation was moved; the order in which it looks for
# its data; and what its command line answers.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
. "$(dirname "$0")/installed.sh"
BUILD_DIR=${BUILD_DIR:?the build folder to install from}
VERSION=${VERSION:?the project version}
start_display

cmake --install "$BUILD_DIR" --prefix "$WORK/prefix" >"$WORK/install.log" || fail "install: $(cat "$WORK/install.log")"
installed=$WORK/prefix/games/tarnwick
[ -x "$installed" ] || fail "no executable at $installed"
mkdir -p "$WORK/elsewhere" "$WORK/empty"
small_world "$WORK/small"
small_world "$WORK/broken"
printf '{ "width": 7, "height": 4,\n  "tileheight": oops }\n' > "$WORK/broken/res/maps/testmap.json"

# The command line answers before anything is loaded: no data is needed.
run "$WORK/empty" env TARNWICK_DATA=/nonexistent "$installed" --help
[ "$STATUS" = 0 ] || fail "--help: exit status $STATUS"
head -n1 "$WORK/out" | grep -q '^Usage: tarnwick ' || fail "--help: $(cat "$WORK/out")"
for words in '--data DIR' '--fullscreen' '--window' '--version' 'Escape' 'TARNWICK_DATA' \
             "the installed data, $WORK/prefix/share/games/tarnwick"; do
  grep -qF -- "$words" "$WORK/out" || fail "--help does not mention '$words'"
done
run "$WORK/empty" "$installed" --version
[ "$STATUS" = 0 ] && [ "$(cat "$WORK/out")" = "tarnwick $VERSION" ] ||
  fail "--version: status $STATUS, printed '$(cat "$WORK/out")'"
run "$WORK/small" "$installed" --bogus
[ "$STATUS" = 2 ] || fail "unknown option: exit status $STATUS, wanted 2"
[ -s "$WORK/out" ] && fail "unknown option: printed $(cat "$WORK/out")"
one_line "tarnwick: unknown option '--bogus'; try 'tarnwick --help'"

# The installed game from an unrelated folder as its menu entry starts it,
# and the installation moved.
entry=$WORK/prefix/share/applications/tarnwick.desktop
[ "$(sed -n 's/^Exec=//p' "$entry")" = "$installed" ] || fail "menu entry command: $(grep Exec "$entry")"
[ "$(sed -n 's/^Icon=//p' "$entry")" = tarnwick ] && [ -f "$WORK/prefix/share/icons/hicolor/32x32/apps/tarnwick.png" ] ||
  fail "menu entry icon"
plays installed "$WORK/elsewhere" 16 env -u TARNWICK_DATA "$(sed -n 's/^Exec=//p' "$entry")"
mkdir -p "$WORK/moved"
mv "$WORK/prefix" "$WORK/moved/prefix"
installed=$WORK/moved/prefix/games/tarnwick
plays moved "$WORK/elsewhere" 16 env -u TARNWICK_DATA "$installed"

# Each source wins over the next: the broken copy shows which one was read.
run "$WORK/small" env TARNWICK_DATA="$WORK/small" "$installed" --data ../broken
[ "$STATUS" = 1 ] || fail "--data over TARNWICK_DATA: exit status $STATUS, wanted 1"
grep -q '^tarnwick: res/maps/testmap.json(2): ' "$WORK/err" || fail "--data over TARNWICK_DATA: $(cat "$WORK/err")"
run "$WORK/small" env TARNWICK_DATA=../broken "$installed"
[ "$STATUS" = 1 ] || fail "TARNWICK_DATA over the installed data: exit status $STATUS, wanted 1"
grep -q '^tarnwick: res/maps/testmap.json(2): ' "$WORK/err" || fail "TARNWICK_DATA over the installed data: $(cat "$WORK/err")"
plays installed-over-current "$WORK/broken" 16 env -u TARNWICK_DATA "$installed"

# A copy of the program without its data: the current folder, else one line.
mkdir -p "$WORK/bare/games"
cp "$installed" "$WORK/bare/games/tarnwick"
plays current-folder "$WORK/small" 3 env -u TARNWICK_DATA "$WORK/bare/games/tarnwick"
plays data-option "$WORK/empty" 3 env -u TARNWICK_DATA "$WORK/bare/games/tarnwick" --data "$WORK/small"
run "$WORK/empty" env -u TARNWICK_DATA "$WORK/bare/games/tarnwick"
[ "$STATUS" = 1 ] || fail "no data: exit status $STATUS, wanted 1"
one_line "tarnwick: no game data (a res folder with the map) in $WORK/bare/share/games/tarnwick (installed) or $WORK/empty (current folder); name its folder with --data DIR or TARNWICK_DATA"
run "$WORK/small" "$installed" --data nothing
[ "$STATUS" = 1 ] || fail "--data without data: exit status $STATUS, wanted 1"
one_line "tarnwick: $WORK/small/nothing: no game data in the folder given with --data: there is no such folder"

# The program where it was built, started from its build folder, reads the
# checkout it was built from.
run "$BUILD_DIR" env -u TARNWICK_DATA "$BUILD_DIR/tarnwick" --check
[ "$STATUS" = 0 ] || fail "the built program in its build folder: status $STATUS: $(cat "$WORK/err")"
grep -q '^tarnwick --check: 0 errors' "$WORK/out" || fail "the built program in its build folder: $(tail -n3 "$WORK/out")"
echo "install: 14 passed, 0 failed"

#!/usr/bin/env bash
# Without a display (none named, or one named that does not exist): --help,
# --version, --check and a bad option work as anywhere else and open no
# window; the game says in one line that there is no display and ends with
# status 1 (a replay without a window makes a display of its own:
# e2e_headless). Nothing aborts.
. "$(dirname "$0")/lib.sh"

# A display number nobody uses here.
missing=":$((500 + RANDOM % 400))"
while [ -e "/tmp/.X11-unix/X${missing#:}" ]; do missing=":$((500 + RANDOM % 400))"; done

# run NAME ARGS...: the game with this case's display; output in $WORK/NAME.{out,err}, status in STATUS.
run() {
  local name=$1; shift
  STATUS=0
  if [ "$case" = unset ]; then
    (ulimit -c 0; env -u DISPLAY "$GAME" "$@") >"$WORK/$name.out" 2>"$WORK/$name.err" || STATUS=$?
  else
    (ulimit -c 0; DISPLAY=$missing "$GAME" "$@") >"$WORK/$name.out" 2>"$WORK/$name.err" || STATUS=$?
  fi
}
one_line() { [ "$(grep -c . "$WORK/$1.err")" = 1 ] || fail "$case $1: wanted one line, got: $(cat "$WORK/$1.err")"; }

for case in unset missing; do
  run help --help
  [ "$STATUS" = 0 ] && grep -q '^Usage: tarnwick' "$WORK/help.out" || fail "$case --help: status $STATUS $(cat "$WORK/help.err")"
  run version --version
  [ "$STATUS" = 0 ] && grep -q '^tarnwick [0-9]' "$WORK/version.out" || fail "$case --version: status $STATUS"
  run bad --no-such-option
  [ "$STATUS" = 2 ] || fail "$case bad option: status $STATUS"
  one_line bad
  # Every check, the story explored and the panel measured with the font.
  run check --check "$TARNWICK_SOURCE_DIR"
  [ "$STATUS" = 0 ] || fail "$case --check: status $STATUS: $(tail -n3 "$WORK/check.out") $(cat "$WORK/check.err")"
  grep -q '^story: the ending can be reached' "$WORK/check.out" || fail "$case --check did not explore the story"
  grep -q '^tarnwick --check: 0 errors, 0 warnings$' "$WORK/check.out" || fail "$case --check: $(tail -n1 "$WORK/check.out")"
  [ -s "$WORK/check.err" ] && fail "$case --check said on stderr: $(cat "$WORK/check.err")"
  for what in game; do
    run game --data "$TARNWICK_SOURCE_DIR"
    [ "$STATUS" = 1 ] || fail "$case $what: status $STATUS, wanted 1: $(cat "$WORK/$what.err")"
    one_line $what
    grep -q '^tarnwick: .*display' "$WORK/$what.err" || fail "$case $what: $(cat "$WORK/$what.err")"
  done
done
echo "no display ($missing and unset): help, version, check, a bad option, and the game behave"

#!/usr/bin/env bash
# A replay without a window needs no display: a walk recorded from real keys
# replays headless to the same state with DISPLAY unset and with DISPLAY
# naming a display that does not exist, as it does on a display that
# answers; where no display of its own can be started either, it says so in
# one line. --help, without a display, tells what Escape does.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config
start_display

small_world "$WORK/game"
record_walk "$WORK/game" "$WORK/walk.txt" Right Up
ended=$ENDED

missing=":$((500 + RANDOM % 400))"
while [ -e "/tmp/.X11-unix/X${missing#:}" ]; do missing=":$((500 + RANDOM % 400))"; done

# replay NAME ENV...: the headless replay with the environment changed so;
# its digest in DIGEST, its status in STATUS, its output in $WORK/NAME.*.
replay() {
  local name=$1; shift
  STATUS=0
  (cd "$WORK/game" && ulimit -c 0 && exec env "$@" "$GAME" --replay "$WORK/walk.txt" --headless) \
    >"$WORK/$name.out" 2>"$WORK/$name.err" || STATUS=$?
  DIGEST=$(sed -n 's/^replay: [0-9]* steps, state //p' "$WORK/$name.out")
}
for case in shown unset missing; do
  case $case in
    shown) replay $case DISPLAY="$DISPLAY" ;;
    unset) replay $case -u DISPLAY ;;
    missing) replay $case DISPLAY="$missing" ;;
  esac
  [ "$STATUS" = 0 ] || fail "$case display: status $STATUS: $(cat "$WORK/$case.err")"
  [ "$DIGEST" = "$ended" ] || fail "$case display: replayed to '$DIGEST', the game ended in $ended"
  [ -s "$WORK/$case.err" ] && fail "$case display: said $(cat "$WORK/$case.err")"
done

# No display, and no virtual one to be had: one line, status 1, no abort.
replay none -u DISPLAY PATH=/nonexistent
[ "$STATUS" = 1 ] || fail "no Xvfb: status $STATUS: $(cat "$WORK/none.err")"
[ "$(grep -c . "$WORK/none.err")" = 1 ] && grep -q '^tarnwick: no display answers.*Xvfb' "$WORK/none.err" \
  || fail "no Xvfb: $(cat "$WORK/none.err")"

# The help says what Escape does, with or without a display.
(env -u DISPLAY "$GAME" --help) >"$WORK/help.out" || fail "--help without a display: status $?"
grep -q '^  the pause menu (resume, settings, quit); in a menu, back *Escape' "$WORK/help.out" \
  || fail "--help: Escape: $(grep -i escape "$WORK/help.out")"
grep -qi 'quit *Escape' "$WORK/help.out" && fail "--help still says Escape quits"
echo "headless replay: $ended on a display, with none and with $missing; without Xvfb one line; --help's Escape"

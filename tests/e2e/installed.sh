# Helpers of the tests of the installed game (after lib.sh).

# The sanitizer run preloads the GL driver for the game's leak check. Only
# the game gets it here: every other program would load it too, and start
# many times slower.
GAME_PRELOAD=${LD_PRELOAD:-}
unset LD_PRELOAD

# run DIR COMMAND...: runs the command in DIR to its end; status in STATUS.
run() {
  local dir=$1; shift
  (cd "$dir" && ulimit -c 0 && LD_PRELOAD=$GAME_PRELOAD exec "$@") >"$WORK/out" 2>"$WORK/err" && STATUS=0 || STATUS=$?
}

# one_line TEXT: the error output is this one line of ours (under Xvfb the
# graphics library may add a line about vertical sync).
one_line() {
  local ours others
  ours=$(grep -c '^tarnwick: ' "$WORK/err" || true)
  others=$(grep -v '^tarnwick: ' "$WORK/err" | grep -vc 'vertical sync' || true)
  [ "$ours" = 1 ] && [ "$others" = 0 ] || fail "wanted one line '$1', got: $(cat "$WORK/err")"
  [ "$(grep '^tarnwick: ' "$WORK/err")" = "$1" ] || fail "wanted '$1', got: $(cat "$WORK/err")"
}

# plays NAME DIR COLOURS COMMAND...: the game, started in DIR, opens its
# window and draws a picture of at least COLOURS colours, then ends with
# status 0 when quit through the pause menu.
plays() {
  local name=$1 dir=$2 colours=$3; shift 3
  local launcher="$WORK/launch-$name" shot="$ARTEFACTS/install-$name.png" seen=0
  { echo '#!/usr/bin/env bash'; printf 'LD_PRELOAD=%q exec' "$GAME_PRELOAD"; printf ' %q' "$@"; echo ' "$@"'; } > "$launcher"
  chmod +x "$launcher"
  GAME=$launcher start_game "$dir"
  for _ in $(seq 1 100); do
    window_shot "$shot"
    seen=$(convert "$shot" -format '%k' info:)
    [ "$seen" -ge "$colours" ] && break
    sleep 0.1
  done
  [ "$seen" -ge "$colours" ] || fail "$name: the window shows $seen colours, wanted $colours or more ($shot)"
  quit_game
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "$name: exit status $STATUS on quitting"
}

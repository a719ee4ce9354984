# Shared helpers of the end-to-end tests: a private virtual display, small
# resource trees, the real game binary driven with real key events.
set -euo pipefail

GAME=${GAME:?path of the tarnwick binary}
XCLOSE=${XCLOSE:-}
ARTEFACTS=${ARTEFACTS:-$PWD/artefacts}
mkdir -p "$ARTEFACTS"

WORK=$(mktemp -d /tmp/tarnwick-e2e-XXXXXX)
XVFB_PID=""
GAME_PID=""

cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A display of our own, so that keys sent here reach no other test's window.
start_display() {
  exec 3> "$WORK/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.05
  done
  exec 3>&-
  export DISPLAY=":$(head -n1 "$WORK/display")"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "Xvfb did not start"
}

# png FILE COLOUR... : a strip of 32 x 32 tiles, one per colour, left to right.
png_strip() {
  local file=$1; shift
  local args=()
  for colour in "$@"; do args+=(-size 32x32 "xc:$colour"); done
  mkdir -p "$(dirname "$file")"
  convert "${args[@]}" +append "PNG32:$file"
}

leaf() { # leaf FILE LINE: a one-page conversation
  mkdir -p "$(dirname "$1")"
  printf '<dialogue><text><l>%s</l></text></dialogue>\n' "$2" > "$1"
}

# start_game DIR: runs the game in DIR and waits for its window.
start_game() {
  (cd "$1" && exec "$GAME" >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  WINDOW=""
  for _ in $(seq 1 200); do
    WINDOW=$(xdotool search --name '^Tarnwick$' 2>/dev/null | head -n1 || true)
    [ -n "$WINDOW" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$WINDOW" ] || fail "the game window did not appear: $(cat "$WORK/game.err")"
  xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
  sleep 0.5 # let the first frames pass
}

# wait_exit SECONDS: waits for the game to end; its exit status is in STATUS.
wait_exit() {
  local limit=$1
  for _ in $(seq 1 $((limit * 20))); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID"; GAME_PID=""
    fail "the game did not end within $limit s"
  fi
  STATUS=0
  wait "$GAME_PID" || STATUS=$?
  GAME_PID=""
  [ -s "$WORK/game.err" ] && echo "game error output: $(cat "$WORK/game.err")" >&2
  return 0
}

# hold KEY [SECONDS]: one key held long enough for several frames.
hold() {
  xdotool keydown "$1" sleep "${2:-0.12}" keyup "$1"
}

# step KEY: one tile's walk (or a turn against something solid), then the pause
# until the player reads keys again.
step() { hold "$1"; sleep 0.45; }
# press KEY: a newly pressed key (talk, next page, choose), then a frame or two.
press() { hold "$1"; sleep 0.25; }

# shot NAME: a screenshot of the game window, kept as a test artefact.
shot() {
  import -window root "$ARTEFACTS/$1.png"
  echo "$ARTEFACTS/$1.png"
}

# pixel FILE X Y: the colour at window-relative pixel (X, Y) of a screenshot.
pixel() {
  local file=$1 x=$2 y=$3 wx wy
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  wx=$X; wy=$Y
  convert "$file" -format "%[pixel:p{$((wx + x)),$((wy + y))}]" info:
}


# window_shot FILE: the game window alone, as a 640 x 480 picture.
window_shot() {
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# Shared helpers of the end-to-end tests: a private virtual display, small
# resource trees, the real game binary driven with real key events.
#
# Nothing here waits a fixed time for the game. Keys go through `xplay`
# (tests/e2e/xplay.cpp), which sends them with XTest and watches the window's
# frames: every command returns once the game has taken the key and its
# picture has stood still for three frames, however slow the machine is.
#
#   start_display [WxH]      a private Xvfb (default 800x600, where the game's
#                            automatic scale is 1x) for this script
#   start_game DIR [ARG...]  runs a new game (--new-game) in DIR, waits for its
#                            window and its first still picture; the window's
#                            id is in WINDOW
#   start_title DIR [ARG...] the same, from the title screen
#   quit_game                quits through the pause menu (Escape, Up, Return)
#   find_window              finds the game's window again (fullscreen
#                            switches make a new one)
#   step KEY                 one tile's walk, or a turn towards something solid
#   walk KEY N               N tiles the same way in one go
#   press KEY                a key (Return, space, 1, KP_1, Escape, F11,
#                            Alt_L+Return ...), then wait until the picture is still
#   hold KEY FRAMES          hold a key for that many of the game's frames
#   settle                   wait until the picture is still
#   play_route FILE [NAME]   plays a route file ("step KEY", "press KEY",
#                            "# note" lines); with NAME, takes a picture at
#                            every note, kept by keep_stages
#   keep_stages              saves those pictures as $ARTEFACTS/NAME-<n>.png
#   pixel X Y                colour of window pixel (X, Y) now: srgb(R,G,B)
#   window_size              the window's size: WIDTHxHEIGHT
#   shot NAME                saves the window's picture as $ARTEFACTS/NAME.png
#                            and prints the file name
#   window_shot FILE         saves the window's picture as FILE (any format
#                            ImageMagick writes)
#   start_decoy              another program's small window takes the focus;
#                            its id is in DECOY
#   focus ID                 gives the focus to a window (the game's: $WINDOW)
#   wait_exit SECONDS        waits for the game to end; its status is in STATUS
#   start_busy, stop_busy    two busy loops beside the game, and their end (the
#                            end comes by itself too when the test ends)
#   now_ms                   the wall clock in milliseconds
#   within PERCENT A B       A is within PERCENT % of B
#   fail MESSAGE             ends the test as failed
#
# All of them act on the game window in WINDOW. When the game has ended (its
# window is gone), the key commands return at once and wait_exit tells how.
# With XPLAY_TRACE=1 in the environment, xplay tells on standard error how
# every walk went (frames held, tiles counted, how far behind it ran).
set -euo pipefail

GAME=${GAME:?path of the tarnwick binary}
XPLAY=${XPLAY:?path of the xplay helper}
XCLOSE=${XCLOSE:-}
ARTEFACTS=${ARTEFACTS:-$PWD/artefacts}
mkdir -p "$ARTEFACTS"

WORK=$(mktemp -d /tmp/tarnwick-e2e-XXXXXX)
# Saves and settings of the games started here stay in the test's own folders.
export XDG_DATA_HOME=$WORK/xdg-data XDG_CONFIG_HOME=$WORK/xdg-config
# A sound device that hears nothing (the test machines have no sound card),
# unless the test names its own configuration.
printf '[general]\ndrivers=null\n' > "$WORK/alsoft-null.conf"
export ALSOFT_CONF=${ALSOFT_CONF:-$WORK/alsoft-null.conf}
# Standing still, the game presents no new picture but once a second; xplay
# tells a still picture by the frames it counts, so these tests have the game
# present one after every step. A test of what the game presents sets its own.
export TARNWICK_REDRAW_STEPS=${TARNWICK_REDRAW_STEPS:-1}
# Pages show whole at once, so that one space turns a page, unless a test
# asks for a text speed (or sets this empty to have the settings' speed).
export TARNWICK_TEXT_SPEED=${TARNWICK_TEXT_SPEED-instant}
# The key hints' panel stands still while the world scrolls under it, and
# xplay counts the tiles walked by the scrolling: these tests play with the
# hints off. A test of the hints (or one that walks no tiles) sets 1.
export TARNWICK_KEY_HINTS=${TARNWICK_KEY_HINTS:-0}
XVFB_PID=""
GAME_PID=""
DECOY_PID=""
WINDOW=""
BUSY_PIDS=()

cleanup() {
  stop_busy
  keep_stages 2>/dev/null || true
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "$DECOY_PID" ] && kill "$DECOY_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
within() { awk -v p="$1" -v a="$2" -v b="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d * 100 <= p * b) }'; }

start_busy() { local _; for _ in 1 2; do (while :; do :; done) & BUSY_PIDS+=($!); done; }
stop_busy() {
  [ ${#BUSY_PIDS[@]} -eq 0 ] || kill "${BUSY_PIDS[@]}" 2>/dev/null || true
  BUSY_PIDS=()
}

# until SECONDS COMMAND...: retries a check until it holds; false after SECONDS.
until_true() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}

# A display of our own, so that keys sent here reach no other test's window.
start_display() {
  local size=${1:-800x600}
  exec 3> "$WORK/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  until_true 30 test -s "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  export DISPLAY=":$(head -n1 "$WORK/display")"
  until_true 30 xdpyinfo >/dev/null 2>&1 || fail "Xvfb does not answer"
}

png_strip() { # png_strip FILE COLOUR...: a strip of 32 x 32 tiles, one per colour
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

game_alive() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }
game_ended() { ! game_alive; }

window_found() {
  WINDOW=$(xdotool search --onlyvisible --name '^Tarnwick$' 2>/dev/null | tail -n1 || true)
  [ -n "$WINDOW" ] || { game_alive || return 0; return 1; }
}

find_window() {
  until_true 60 window_found || fail "the game window did not appear: $(cat "$WORK/game.err")"
  [ -n "$WINDOW" ] || fail "the game ended: $(cat "$WORK/game.err")"
  xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
  settle
}

start_title() {
  local dir=$1; shift
  (cd "$dir" && exec "$GAME" "$@" >"$WORK/game.out" 2>"$WORK/game.err") &
  GAME_PID=$!
  find_window
}

start_game() {
  local dir=$1; shift
  start_title "$dir" --new-game "$@"
}

# The pause menu opens on Resume; Up goes round to Quit.
quit_game() { press Escape; press Up; press Return; }

start_decoy() {
  "$XPLAY" decoy >"$WORK/decoy" 2>&1 &
  DECOY_PID=$!
  until_true 30 test -s "$WORK/decoy" || fail "the decoy window did not open"
  DECOY=$(head -n1 "$WORK/decoy")
}

focus() { xdotool windowfocus --sync "$1" || fail "cannot focus window $1"; }

xplay() { "$XPLAY" "$WINDOW" "$@" || fail "xplay $*"; }
step() { xplay step "$1" >/dev/null; }
walk() { xplay walk "$1" "$2" >/dev/null; }
press() { xplay press "$1" >/dev/null; }
hold() { xplay hold "$1" "$2" >/dev/null; }
settle() { xplay settle >/dev/null; }
pixel() { xplay pixel "$1" "$2"; }
window_size() { xplay size; }

window_shot() {
  xplay save "$WORK/shot.ppm" >/dev/null
  [ -s "$WORK/shot.ppm" ] || fail "no picture for $1: the window is gone"
  convert "$WORK/shot.ppm" "$1"
}

shot() {
  window_shot "$ARTEFACTS/$1.png"
  echo "$ARTEFACTS/$1.png"
}

play_route() {
  local route=$1 name=${2:-} prefix=-
  rm -f "$WORK"/stage-*.ppm
  [ -z "$name" ] || prefix=$WORK/stage
  STAGES=$name
  xplay play "$route" "$prefix"
}

# The pictures play_route took, as $ARTEFACTS/NAME-<n>.png. Converting them
# takes a while on a busy machine, so a check of what the game shows at the
# end of the route comes first.
keep_stages() {
  [ -n "${STAGES:-}" ] || return 0
  local f
  for f in "$WORK"/stage-*.ppm; do
    [ -e "$f" ] || continue
    local n=${f##*/stage-}
    convert "$f" "$ARTEFACTS/$STAGES-${n%.ppm}.png"
  done
  STAGES=""
}

# record_walk DIR FILE KEY...: a new game in DIR recorded to FILE, a step per
# KEY, then its window closed; the state it says it ended in is in ENDED.
record_walk() {
  local dir=$1 file=$2 key; shift 2
  start_game "$dir" --record "$file"
  for key in "$@"; do step "$key"; done
  "$XCLOSE" "$WINDOW"
  wait_exit 30
  [ "$STATUS" = 0 ] || fail "recorded game: status $STATUS"
  ENDED=$(sed -n 's/^record: [0-9]* steps in .*, state //p' "$WORK/game.out")
  [ -n "$ENDED" ] || fail "the recorded game did not say how it ended: $(cat "$WORK/game.out")"
}

wait_exit() {
  local limit=$1
  if ! until_true "$limit" game_ended; then
    kill "$GAME_PID"; GAME_PID=""
    fail "the game did not end within $limit s"
  fi
  STATUS=0
  wait "$GAME_PID" || STATUS=$?
  GAME_PID=""
  [ -s "$WORK/game.err" ] && echo "game error output: $(cat "$WORK/game.err")" >&2
  return 0
}

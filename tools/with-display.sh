#!/usr/bin/env bash
# Runs a command with an X display. When none is reachable, starts a virtual
# one (Xvfb) for the command's lifetime. The screen is larger than the game's
# window: without a window manager the window is centred on the screen.
set -euo pipefail

if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  exec "$@"
fi

# Xvfb picks a free display number itself and writes it to us (-displayfd),
# so that two of these started at the same moment never share one.
numberfile=$(mktemp)
exec 3>"$numberfile"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true; rm -f "$numberfile"' EXIT
for _ in $(seq 1 200); do
  [ -s "$numberfile" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "with-display: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
number=$(head -n1 "$numberfile")
[ -n "$number" ] || { echo "with-display: Xvfb gave no display number" >&2; exit 1; }
for _ in $(seq 1 200); do
  xdpyinfo -display ":$number" >/dev/null 2>&1 && break
  sleep 0.05
done
export DISPLAY=":$number"
"$@"

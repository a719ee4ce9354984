#!/usr/bin/env bash
# Runs a command with an X display. When none is reachable, starts a virtual
# one (Xvfb) for the command's lifetime. The screen is larger than the game's
# window: without a window manager the window is centred on the screen.
set -euo pipefail

if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  exec "$@"
fi

for n in $(seq 90 130); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { number=$n; break; }
done
: "${number:?no free display number}"

Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  xdpyinfo -display ":$number" >/dev/null 2>&1 && break
  sleep 0.05
done
export DISPLAY=":$number"
"$@"

#!/usr/bin/env bash
# Takes the README's pictures of the shipped game under a private Xvfb:
# docs/world.png (walking) and docs/conversation.png (a conversation open).
# Usage: tools/screenshots.sh [BUILD-DIR]   (after `make build`)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
export GAME=$build/tarnwick XPLAY=$build/tests/xplay ARTEFACTS=$build/artefacts
. "$root/tests/e2e/lib.sh"
start_display

TARNWICK_ROUTE_FILE="$WORK/route" TARNWICK_SOURCE_DIR="$root" \
  "$build/tests/test_content" --gtest_filter='ShippedContent.TheStoryCanBePlayedToItsEnd' >"$WORK/log" 2>&1 \
  || fail "the headless play-through failed: $(tail -20 "$WORK/log")"
# The route up to the warden at the Long Hall door, in the middle of the map,
# just before talking to him.
awk '/^# part 0: the warden/ { warden = 1 } warden && /^press Return/ { exit } { print }' "$WORK/route" >"$WORK/to-warden"

mkdir -p "$root/docs"
start_game "$root"
play_route "$WORK/to-warden" >/dev/null
window_shot "$root/docs/world.png"
press Return
window_shot "$root/docs/conversation.png"
press Escape
wait_exit 30
echo "wrote docs/world.png and docs/conversation.png"

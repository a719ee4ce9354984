#!/usr/bin/env bash
# Takes the README's pictures of the shipped game under a private Xvfb:
# docs/world.png (walking) and docs/conversation.png (a conversation open).
# Usage: tools/screenshots.sh [BUILD-DIR]   (after `make build`)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
export GAME=$build/tarnwick ARTEFACTS=$build/artefacts
. "$root/tests/e2e/lib.sh"
start_display

TARNWICK_ROUTE_FILE="$WORK/route" TARNWICK_SOURCE_DIR="$root" \
  "$build/tests/test_content" --gtest_filter='ShippedContent.TheStoryCanBePlayedToItsEnd' >"$WORK/log" 2>&1 \
  || fail "the headless play-through failed: $(tail -20 "$WORK/log")"

mkdir -p "$root/docs"
start_game "$root"
# Walk the route to the warden at the Long Hall door, in the middle of the
# map, then show the world and his conversation.
at_warden=""
while IFS= read -r line; do
  case "$line" in
    "# part 0: the warden") at_warden=yes ;;
    "press Return")
      [ -n "$at_warden" ] || { press Return; continue; }
      window_shot "$root/docs/world.png"
      press Return
      window_shot "$root/docs/conversation.png"
      break ;;
    step*) step "${line#step }" ;;
    press*) press "${line#press }" ;;
  esac
done < "$WORK/route"
hold Escape
wait_exit 10
echo "wrote docs/world.png and docs/conversation.png"

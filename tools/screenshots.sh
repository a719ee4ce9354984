#!/usr/bin/env bash
# Takes the README's pictures of the shipped game under a private Xvfb, along
# the route of the headless play-through, with real keys:
#   docs/conversation.png   the warden's first conversation
#   docs/part0.png .. part2.png   each part's table just defaced, with the goal line
#   docs/ending.png         the closing card
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
stage=""
while IFS= read -r line; do
  case "$line" in
    "# part "*": the warden") stage=warden ;;
    # The table of this part has just been defaced: the player stands by it.
    "# part "*": the boss") part=${line#\# part }; window_shot "$root/docs/part${part%%:*}.png"; stage="" ;;
    "# "*) stage="" ;;
    step*) step "${line#step }" ;;
    press*)
      press "${line#press }"
      if [ "$stage" = warden ] && [ "$line" = "press Return" ] && [ ! -e "$WORK/talked" ]; then
        window_shot "$root/docs/conversation.png"
        touch "$WORK/talked"
      fi ;;
  esac
done < "$WORK/route"
window_shot "$root/docs/ending.png"
wait_exit 10
echo "wrote docs/conversation.png, docs/part0.png to docs/part2.png and docs/ending.png"

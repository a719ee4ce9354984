#!/usr/bin/env bash
# Takes the README's pictures of the shipped game under Xvfb, along the route
# of the headless play-through, exactly as the game draws them:
#   docs/conversation.png        the warden's first conversation
#   docs/morning.png, lunchtime.png, afternoon.png
#                                each part's table just defaced, with the goal line
#   docs/room.png                the Archive's name as the player walks in
#   docs/ending.png              the closing card
#   docs/title.png               the title screen, with a game to continue
#   docs/title-ending.png        the title after an ending: the endings counted
# The play-through presses the keys frame by frame, so the pictures come out the
# same however busy the machine is.
# Usage: tools/screenshots.sh [BUILD-DIR]   (after `make build`)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
mkdir -p "$root/docs"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
TARNWICK_SHOTS_DIR="$root/docs" TARNWICK_SOURCE_DIR="$root" "$root/tools/with-display.sh" \
  "$build/tests/test_content" --gtest_filter='ShippedContent.TheStoryCanBePlayedToItsEnd:ShippedContent.EndingsAreKeptAndTheLastChoiceCanBeMadeAgain:ShippedContent.TheTitleScreenShowsItsPicture' >"$log" 2>&1 \
  || { echo "the play-through failed: $(tail -20 "$log")" >&2; exit 1; }
echo "wrote docs/conversation.png, docs/morning.png, docs/lunchtime.png, docs/afternoon.png, docs/room.png, docs/ending.png, docs/title.png and docs/title-ending.png"

#!/usr/bin/env bash
# Every catalogue as translators' tools check it: the template's formats, and
# each translation's header, formats and placeholders (msgfmt --check).
# The German one is shipped complete: every entry of the template translated
# (msgcmp counts an untranslated or fuzzy entry as missing), no placeholder
# lost or added, and, given the game, every page and goal line fits the
# panel and the strip as `tarnwick --check` measures a world in German.
set -euo pipefail
po=${1:?usage: catalogues.sh PO_FOLDER [GAME]}
game=${2:-}
msgfmt --check-format -o /dev/null "$po/tarnwick.pot"
shopt -s nullglob
for catalogue in "$po"/*.po; do
  msgfmt --check -o /dev/null "$catalogue"
done
echo "catalogues: the template and $(ls "$po"/*.po 2>/dev/null | wc -l) translation(s) check"

msgcmp "$po/de.po" "$po/tarnwick.pot"
world=$(mktemp -d)
trap 'rm -rf "$world"' EXIT
python3 "$(dirname "$0")/translated_world.py" "$po/de.po" "$po/.." "$world/de"
if [ -n "$game" ]; then
  report=$("$game" --check "$world/de" 2>&1) || { echo "$report"; exit 1; }
  if ! grep -q ', 0 warnings$' <<<"$report"; then
    grep -v '^story' <<<"$report"
    echo "catalogues: the German world does not fit as it should"
    exit 1
  fi
fi
echo "catalogues: German is complete and fits"

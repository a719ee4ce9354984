#!/usr/bin/env bash
# Every catalogue as translators' tools check it: the template's formats, and
# each translation's header, formats and placeholders (msgfmt --check).
set -euo pipefail
po=${1:?usage: catalogues.sh PO_FOLDER}
msgfmt --check-format -o /dev/null "$po/tarnwick.pot"
shopt -s nullglob
for catalogue in "$po"/*.po; do
  msgfmt --check -o /dev/null "$catalogue"
done
echo "catalogues: the template and $(ls "$po"/*.po 2>/dev/null | wc -l) translation(s) check"

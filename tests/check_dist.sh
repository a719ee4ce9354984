#!/usr/bin/env bash
# The files that desktops and software centres read: the menu entry, the
# AppStream metadata and the manual page, each checked by its own validator.
set -euo pipefail
SOURCE=${TARNWICK_SOURCE_DIR:?the source folder}
DIST=${DIST:?the folder of the generated files}

mkdir -p "$DIST/check"
sed 's|@TARNWICK_EXEC@|/usr/games/tarnwick|' "$SOURCE/dist/tarnwick.desktop.in" > "$DIST/check/tarnwick.desktop"
desktop-file-validate "$DIST/check/tarnwick.desktop"
appstreamcli validate --no-net --pedantic "$DIST"/*.metainfo.xml
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -E UTF-8 -l -Tutf8 -Z "$DIST/tarnwick.6" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "manual page: $warnings" >&2; exit 1; }
echo "dist: 3 passed, 0 failed"

#!/usr/bin/env bash
# The Debian package: built with CPack, its fields and contents checked,
# its menu entry and metadata validated, unpacked into a throw-away root and
# the game started from there.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/installed.sh"
BUILD_DIR=${BUILD_DIR:?the build folder to package}
VERSION=${VERSION:?the project version}
SOURCE=${TARNWICK_SOURCE_DIR:?the source folder}
start_display

cpack -G DEB -B "$WORK/pkg" --config "$BUILD_DIR/CPackConfig.cmake" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$WORK/cpack.log")"
deb=$(ls "$WORK"/pkg/tarnwick_"$VERSION"-*_"$(dpkg --print-architecture)".deb) || fail "no package in $WORK/pkg"

# Fields: a game, with dependencies computed from the libraries it links.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarnwick ] && [ "$(field Section)" = games ] || fail "package or section: $(field Package) $(field Section)"
[[ "$(field Version)" == "$VERSION"-* ]] || fail "version $(field Version)"
for library in libsfml-graphics libsfml-window libsfml-system libboost-program-options libc6 libstdc++6; do
  [[ "$(field Depends)" == *"$library"* ]] || fail "Depends lacks $library: $(field Depends)"
done
[[ "$(field Maintainer)" == *'<'*@*'>' ]] || fail "maintainer: $(field Maintainer)"

# Contents: everything under /usr, owned by root, the usual places filled.
dpkg-deb -c "$deb" > "$WORK/contents"
awk '{ print $6 }' "$WORK/contents" | sed 's|^\./|/|' > "$WORK/paths"
grep -v '^/usr/' "$WORK/paths" | grep -v '^/$' && fail "files outside /usr"
awk '$2 != "root/root"' "$WORK/contents" | grep . && fail "files not owned by root"
grep -q '^-rwxr-xr-x .* \./usr/games/tarnwick$' "$WORK/contents" || fail "no executable /usr/games/tarnwick"
for file in /usr/share/applications/tarnwick.desktop /usr/share/man/man6/tarnwick.6.gz \
            /usr/share/doc/tarnwick/copyright /usr/share/doc/tarnwick/changelog.Debian.gz \
            /usr/share/icons/hicolor/{32x32,64x64,128x128,256x256}/apps/tarnwick.png; do
  grep -qx "$file" "$WORK/paths" || fail "missing $file"
done
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$WORK/paths" || fail "no AppStream metadata"
(cd "$SOURCE" && find res -type f | sort) > "$WORK/data"
while read -r file; do
  grep -qx "/usr/share/games/tarnwick/$file" "$WORK/paths" || fail "missing data file $file"
done < "$WORK/data"

# apt would install it here: every dependency can be met.
apt-get install --simulate -q "$deb" > "$WORK/apt.log" 2>&1 || fail "apt-get: $(cat "$WORK/apt.log")"

# Unpacked into a root of its own: valid menu entry, metadata and icons.
dpkg-deb -x "$deb" "$WORK/root"
desktop-file-validate "$WORK/root/usr/share/applications/tarnwick.desktop" || fail "desktop entry"
grep -qx 'Categories=Game;AdventureGame;' "$WORK/root/usr/share/applications/tarnwick.desktop" || fail "categories"
grep -qx 'Exec=/usr/games/tarnwick' "$WORK/root/usr/share/applications/tarnwick.desktop" || fail "the entry's command"
appstreamcli validate --no-net "$WORK"/root/usr/share/metainfo/*.metainfo.xml >"$WORK/appstream.log" 2>&1 ||
  fail "metadata: $(cat "$WORK/appstream.log")"
for size in 32 64 128 256; do
  [ "$(identify -format '%m %wx%h' "$WORK/root/usr/share/icons/hicolor/${size}x$size/apps/tarnwick.png")" = "PNG ${size}x$size" ] ||
    fail "icon ${size}x$size"
done
zcat "$WORK/root/usr/share/man/man6/tarnwick.6.gz" | grep -q '^\.TH TARNWICK 6 ' || fail "manual page"

mkdir -p "$WORK/elsewhere"
plays package "$WORK/elsewhere" 16 env -u TARNWICK_DATA "$WORK/root/usr/games/tarnwick"
echo "package: 8 passed, 0 failed"

#!/usr/bin/env bash
# Installs the Debian packages the game needs, only when one is missing, so
# that it is quick when everything is already there.
#
#   tools/install-deps.sh play [LOG]   what building and playing the game needs (make run)
#   tools/install-deps.sh test [LOG]   that and what the tests, fuzzing and packaging need
#                                      (make test and the rest; the default)
#   tools/install-deps.sh MODE --root-command
#                                      prints the root command, and nothing else, when
#                                      packages are missing and cannot be installed from here
#
# It says in one line what it installs; the package manager's own output goes
# to LOG (by default install-deps.log in the current folder), which is printed
# when the installation fails.
#
# Not root: through sudo, when it works without asking (sudo -n). Otherwise one
# line gives the command to run as root.
set -euo pipefail

mode=${1:-test}
log=${2:-install-deps.log}
play=(g++ cmake make pkg-config libsfml-dev libboost-dev libboost-program-options-dev libboost-locale-dev
      zlib1g-dev libzstd-dev libexpat1-dev libpng-dev libfreetype-dev libx11-dev libgl1-mesa-dri
      libopenal-dev libvorbis-dev)
test=(libgtest-dev libxext-dev libxtst-dev libxdamage-dev xvfb x11-utils xdotool imagemagick
      dpkg-dev file man-db desktop-file-utils appstream lintian clang libclang-rt-14-dev python3 sox
      gettext)
case "$mode" in
  play) packages=("${play[@]}") ;;
  test) packages=("${play[@]}" "${test[@]}") ;;
  *) echo "usage: tools/install-deps.sh [play|test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
root_command="apt-get install --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  run=(env DEBIAN_FRONTEND=noninteractive)
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  # The setting must reach apt-get on the far side of sudo.
  run=(sudo -n env DEBIAN_FRONTEND=noninteractive)
elif [ "$log" = --root-command ]; then
  echo "missing packages; as root, run: $root_command"
  exit 0
else
  echo "tools/install-deps.sh: missing packages; as root, run: $root_command" >&2
  exit 1
fi
[ "$log" = --root-command ] && exit 0

n=${#missing[@]}
echo "Installing $n package$([ "$n" = 1 ] || echo s) (${missing[*]}); the package manager's output goes to $log"
mkdir -p "$(dirname "$log")"
if ! { "${run[@]}" apt-get update -qq && "${run[@]}" "${install[@]}"; } >"$log" 2>&1 </dev/null; then
  cat "$log" >&2
  echo "tools/install-deps.sh: the installation failed (its output is above, and in $log); as root, run: $root_command" >&2
  exit 1
fi

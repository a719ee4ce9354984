#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, only
# when one is missing, so that it is quick when everything is already there.
set -euo pipefail

packages=(g++ cmake make pkg-config libsfml-dev libboost-dev libboost-program-options-dev
          libgtest-dev libx11-dev libxext-dev libxtst-dev libxdamage-dev xvfb x11-utils xdotool imagemagick libgl1-mesa-dri
          dpkg-dev file man-db desktop-file-utils appstream lintian
          zlib1g-dev libzstd-dev libexpat1-dev libpng-dev clang libclang-rt-14-dev
          libopenal-dev libvorbis-dev sox)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "tools/install-deps.sh: missing packages and no sudo here: as root, run apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

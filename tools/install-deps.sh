#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, only
# when one is missing, so that it is quick when everything is already there.
set -euo pipefail

packages=(g++ cmake make pkg-config libsfml-dev libboost-dev libboost-program-options-dev
          libgtest-dev libx11-dev xvfb x11-utils xdotool imagemagick libgl1-mesa-dri
          dpkg-dev file man-db desktop-file-utils appstream lintian
          zlib1g-dev libzstd-dev libexpat1-dev libpng-dev clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

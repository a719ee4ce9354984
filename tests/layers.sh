#!/usr/bin/env bash
# The layers of src/README.md hold for every include of the game, and the
# check itself catches what it should: an include up a layer, an include
# that does not name its folder, a folder the table forgets.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
check="$here/tools/check-layers.py"
python3 "$check" "$here/src"

tree=$(mktemp -d); trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/low" "$tree/high" "$tree/loose"
printf '| 1 | `low` |\n| 2 | `high` |\n' > "$tree/README.md"
echo '#pragma once' > "$tree/high/Top.h"
echo '#pragma once' > "$tree/low/Base.h"
expect() { # what the check must say about one file of low/
  printf '%s\n' "$2" > "$tree/low/Case.cpp"
  if out=$(python3 "$check" "$tree" 2>&1); then echo "passed, but: $1"; exit 1; fi
  grep -q -- "$3" <<<"$out" || { echo "$1: expected '$3' in:"; echo "$out"; exit 1; }
}
rm -rf "$tree/loose"
expect "an include up a layer"      '#include "high/Top.h"' 'includes high/Top.h, of layer 2, above its own (1)'
expect "an include without folder" '#include "Base.h"'    'is not a path under src/'
mkdir -p "$tree/loose"; echo '' > "$tree/loose/Lost.h"
expect "a folder with no layer"    '#include "low/Base.h"' 'loose/Lost.h: its folder has no layer'
rm -rf "$tree/loose"
printf '%s\n' '#include "low/Base.h"' > "$tree/low/Case.cpp"
python3 "$check" "$tree" >/dev/null
echo "layers: the check holds and catches what it should"

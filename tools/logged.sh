#!/usr/bin/env bash
# tools/logged.sh WHAT LOG COMMAND...: says WHAT in one line, runs COMMAND with
# all of its output in LOG, and prints LOG when it fails. The make targets
# build through it, so that a build says what it does in a few lines.
set -uo pipefail
what=$1 log=$2
shift 2
mkdir -p "$(dirname "$log")"
echo "$what (full output: $log)"
if ! "$@" >"$log" 2>&1 </dev/null; then
  cat "$log" >&2
  echo "$what: failed; the output above is kept in $log" >&2
  exit 1
fi
warnings=$(grep -c 'warning:' "$log" || true)
[ "$warnings" = 0 ] || echo "$what: $warnings compiler warning(s), see $log"

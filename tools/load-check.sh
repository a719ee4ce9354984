#!/usr/bin/env bash
# `make test` on a busy machine: three runs in a row (RUNS=n for another
# number) while two CPU-burning processes run beside them. Prints each run's
# result and time; the logs go to the build folder. Extra arguments go to
# make, e.g. `tools/load-check.sh BUILD=build-load` for a folder of its own.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-3}
build=build
for arg in "$@"; do
  case "$arg" in BUILD=*) build=${arg#BUILD=} ;; esac
done
mkdir -p "$build"

yes >/dev/null & burner1=$!
yes >/dev/null & burner2=$!
trap 'kill "$burner1" "$burner2" 2>/dev/null' EXIT

failed=0
for run in $(seq 1 "$runs"); do
  log=$build/load-check-$run.log
  began=$(date +%s)
  if make test "$@" >"$log" 2>&1; then result=passed; else result=FAILED; failed=$((failed + 1)); fi
  echo "run $run: $result in $(($(date +%s) - began)) s ($(grep -E '^[0-9]+% tests passed' "$log" || echo 'no summary')); log: $log"
done
echo "load-check: $((runs - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]

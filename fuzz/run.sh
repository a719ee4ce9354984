#!/usr/bin/env bash
# Runs every fuzz harness: first over its saved regression inputs, then
# fuzzing for SECONDS (default 60) from its seed corpus. A crash, a sanitizer
# report, a leak, a timeout or running out of memory fails the run and leaves
# the input that caused it under BUILD/artefacts/.
#
#   fuzz/run.sh BUILD [SECONDS] [HARNESS...]
#
# FUZZ_TIMEOUT (default 30) is how many seconds one input may take before it
# counts as a hang; raise it on a machine that is busy with other work.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?the fuzz build folder}" && pwd)
seconds=${2:-60}
timeout=${FUZZ_TIMEOUT:-30}
shift $(( $# < 2 ? $# : 2 ))
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(map dialogue tileset save settings recording soundset sound catalogue)

artefacts="$build/artefacts"
mkdir -p "$artefacts"
export TARNWICK_SOURCE_DIR="${TARNWICK_SOURCE_DIR:-$(dirname "$here")}"
# The software GL driver stays loaded until the leak check (see the Makefile's
# sanitize-test), and the leaks of the GL and X11 libraries are not ours.
swrast=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1)
export LD_PRELOAD="${swrast}${LD_PRELOAD:+:$LD_PRELOAD}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-verify_asan_link_order=0:detect_leaks=1}"
LSAN_OPTIONS="suppressions=$(dirname "$here")/tests/lsan.supp:print_suppressions=0"
export LSAN_OPTIONS
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
for h in "${harnesses[@]}"; do
  bin="$build/fuzz/fuzz_$h"
  [ -x "$bin" ] || { echo "fuzz: $bin is missing" >&2; failed+=("$h"); continue; }
  log="$artefacts/$h.log"

  mapfile -t saved < <(find "$here/regressions/$h" -type f ! -name '*.md' 2>/dev/null | sort)
  if [ ${#saved[@]} -gt 0 ]; then
    echo "fuzz_$h: replaying ${#saved[@]} saved inputs"
    if ! "$bin" -rss_limit_mb=2048 -timeout=$((timeout * 2)) "${saved[@]}" >"$artefacts/$h-regressions.log" 2>&1; then
      echo "fuzz_$h: a saved input fails again; see $artefacts/$h-regressions.log" >&2
      tail -n 30 "$artefacts/$h-regressions.log" >&2
      failed+=("$h")
      continue
    fi
  fi

  corpus="$build/corpus/$h"
  mkdir -p "$corpus"
  # Maps as large as the shipped one cost the loader a hundred times what a
  # small one does and reach no further: inputs stay below 8 KiB (the
  # shipped tiles, every character among them, fit in 6 KiB).
  limits=()
  [ "$h" = map ] && limits=(-max_len=8192)
  # One allocation beyond what any sound, save or settings file can need
  # (a header that claims gigabytes) is a finding, not a slow input.
  case $h in sound|save|settings|recording|soundset) limits+=(-malloc_limit_mb=512) ;; esac
  dict=()
  [ -f "$here/dict/$h.dict" ] && dict=(-dict="$here/dict/$h.dict")
  echo "fuzz_$h: fuzzing for $seconds s"
  "$bin" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 "${limits[@]}" \
    "${dict[@]}" -artifact_prefix="$artefacts/$h-" \
    "$corpus" "$here/corpus/$h" >"$log" 2>&1
  status=$?
  last=$(grep -E '^#[0-9]+' "$log" | tail -n1)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz_$h: ${executions:-?} executions, ${rate:-?}/s; last: ${last:-none}"
  if [ $status -ne 0 ]; then
    echo "fuzz_$h: FOUND A PROBLEM (status $status); reproducer(s):" >&2
    for found in "$artefacts/$h-"*; do
      case $found in *.log|*slow-unit*) ;; *) echo "  $found" >&2 ;; esac
    done
    grep -E 'ERROR|runtime error|SUMMARY|==[0-9]+==' "$log" | head -n 20 >&2
    failed+=("$h")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: problems in: ${failed[*]} (logs and inputs under $artefacts)" >&2
  exit 1
fi
echo "fuzz: no problems found"

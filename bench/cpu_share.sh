#!/usr/bin/env bash
# The game's share of one core as a player would see it, beside the floor: a
# separate program that only clears and displays a window of the same size
# at 60 fps. Each runs as a process of its own on a virtual display whose
# screen makes the game choose its 1x (1024 x 768) or 2x (1920 x 1080)
# window; each figure is utime + stime from /proc/PID/stat over SPAN seconds.
# Also the time from start-up to the first picture on screen.
#
#   bench/cpu_share.sh BUILD [SPAN]
set -uo pipefail
build=$(cd "${1:?the build folder}" && pwd)
span=${2:-8}
src=$(cd "$(dirname "$0")/.." && pwd)
game=$build/tarnwick
floor=$build/bench/empty_window
xplay=$build/tests/xplay
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
tick=$(getconf CLK_TCK)

cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# share PID: percent of one core PID used over the span
share() {
  local a b; a=$(cpu "$1"); sleep "$span"; b=$(cpu "$1")
  awk -v a="$a" -v b="$b" -v t="$tick" -v s="$span" 'BEGIN { printf "%.1f", (b - a) * 100 / t / s }'
}
window_named() { # window_named NAME: the id of the window of that title, once it is mapped
  local w=""
  for _ in $(seq 300); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n1)
    [ -n "$w" ] && { xdotool windowfocus --sync "$w" 2>/dev/null; echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

printf '%-28s %10s %10s\n' "" "1x" "2x"
declare -A result
for scale in 1x 2x; do
  screen=1024x768x24; size="640 480"
  [ $scale = 2x ] && { screen=1920x1080x24; size="1280 960"; }
  exec 3>"$work/display"
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "$screen" >/dev/null 2>&1 &
  exec 3>&-
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"

  "$floor" $size & f=$!; pids+=($f)
  window_named "empty window" >/dev/null
  sleep 1
  result[floor,$scale]=$(share $f)
  kill $f; wait $f 2>/dev/null

  for situation in title menu world conversation walking; do
    args=(--no-audio --new-game); [ $situation = title ] && args=(--no-audio)
    start=$(date +%s%N)
    (cd "$src" && exec "$game" "${args[@]}") >/dev/null 2>&1 & g=$!; pids+=($g)
    w=$(window_named Tarnwick) || { result[$situation,$scale]="-"; kill $g; continue; }
    # The first picture: xplay settles once the window shows frames.
    "$xplay" "$w" settle >/dev/null 2>&1
    [ $situation = title ] && result[first,$scale]=$(( ($(date +%s%N) - start) / 1000000 ))
    case $situation in
      menu) "$xplay" "$w" press Escape >/dev/null ;;
      conversation) # round the desk to face the clerk beside it, and talk
        for k in Down Right Right Up Right Right Down; do "$xplay" "$w" step $k >/dev/null; done
        "$xplay" "$w" press Return >/dev/null ;;
      walking) xdotool keydown --window "$w" Left ;;
    esac
    sleep 1
    result[$situation,$scale]=$(share $g)
    # BENCH_SHOTS=DIR keeps a picture of each situation, to see what was measured.
    [ -n "${BENCH_SHOTS:-}" ] && mkdir -p "$BENCH_SHOTS" && import -window "$w" "$BENCH_SHOTS/$scale-$situation.png"
    [ -n "${BENCH_SHOTS:-}" ] && xdotool getwindowgeometry "$w" | sed -n "s/^ *Geometry: /$scale $situation: /p"
    [ $situation = walking ] && xdotool keyup --window "$w" Left
    kill $g; wait $g 2>/dev/null
  done
  unset DISPLAY
  kill "${pids[0]}" 2>/dev/null; wait "${pids[0]}" 2>/dev/null; pids=("${pids[@]:1}")
  rm -f "$work/display"
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0 && a != "-") printf "(%.1f x)", a / b }'; }
printf '%-28s %9s%% %9s%%\n' "empty window (own program)" "${result[floor,1x]}" "${result[floor,2x]}"
for situation in title menu world conversation walking; do
  printf '%-28s %6s%% %-8s %6s%% %-8s\n' "$situation" "${result[$situation,1x]}" \
    "$(ratio "${result[$situation,1x]}" "${result[floor,1x]}")" "${result[$situation,2x]}" \
    "$(ratio "${result[$situation,2x]}" "${result[floor,2x]}")"
done
printf '%-28s %7s ms %7s ms\n' "start-up to a settled picture" "${result[first,1x]}" "${result[first,2x]}"
echo "(shares of one core over ${span} s: the title, the pause menu over the new game, the new game standing"
echo " still, its first page with a clerk waiting, and walking left with the camera moving)"

#!/usr/bin/env bash
# Crash safety of the saved game: a play-through of the shipped story is
# killed with SIGKILL at random moments, COUNT times (default 200); after every
# kill the save on disk (and its backup) must load, and be one of the states
# an unkilled play-through saved: the last one that game reported saving, or
# the one after it (killed between the write and the report). Nothing is lost
# but the moves since the last story change.
#
#   tests/save/kill_saves.sh [COUNT]
#
# GAME_CMD is the play-through, run in the data folder; by default the real
# binary ($GAME) replaying the shipped route headless: the recording in
# SHIPPED_RECORDING if given, else one that $PLAYROUTE writes (the same keys
# it plays in-process; it stands in for the binary when GAME is unset).
# SAVECHECK is the checking tool; TARNWICK_SOURCE_DIR the data folder. Every
# saved state is written to TARNWICK_SAVE_JOURNAL by the game as it saves.
set -u
COUNT=${1:-200}
SRC=${TARNWICK_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
SAVECHECK=${SAVECHECK:?the savecheck tool}
# A process killed loses nothing the kernel has: a memory file system keeps
# the many runs quick (flushing to the disk is for power cuts).
WORK=$(mktemp -d "$( [ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/tarnwick-kill-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "kill_saves: FAIL: $*" >&2; exit 1; }
if [ -z "${GAME_CMD:-}" ]; then
  REC=${SHIPPED_RECORDING:-}
  if [ ! -s "$REC" ] || [ -z "${GAME:-}" ]; then
    PLAYROUTE=${PLAYROUTE:?the in-process play-through}
    (cd "$SRC" && XDG_DATA_HOME=$WORK/route exec "$PLAYROUTE" --write "$WORK/route.txt") >/dev/null 2>&1 \
      || fail "the in-process play-through could not find the route"
    [ -s "$REC" ] || REC=$WORK/route.txt.rec
  fi
  if [ -n "${GAME:-}" ]; then
    GAME_CMD="$GAME --replay $REC --headless"
  else
    GAME_CMD="$PLAYROUTE $WORK/route.txt"
  fi
fi

# play DIR: one play-through saving into DIR, journal beside it.
play() {
  mkdir -p "$1"
  (cd "$SRC" && XDG_DATA_HOME=$1 TARNWICK_SAVE_JOURNAL=$1.journal exec $GAME_CMD) >/dev/null 2>"$1.err"
}

# A pause of a few milliseconds without starting a process: a read that
# waits on a pipe nobody writes to.
exec 9<> <(:)
pause() { read -t "$1" -u 9 || true; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Waits until the game in $1 has saved once (or ended); $2 is its process.
wait_first_save() { while [ ! -s "$1.journal" ] && kill -0 "$2" 2>/dev/null; do pause 0.003; done; }

# The reference: an unkilled play-through, how long it plays from its first
# save to its end.
start=$(now_ms)
play "$WORK/ref" &
pid=$!
wait_first_save "$WORK/ref" "$pid"
first_ms=$(( $(now_ms) - start ))
wait "$pid" || fail "the unkilled play-through failed: $(tail -n 3 "$WORK/ref.err")"
took_ms=$(( $(now_ms) - start ))
mapfile -t reference < "$WORK/ref.journal"
[ "${#reference[@]}" -ge 5 ] || fail "the unkilled play-through saved only ${#reference[@]} times"
final=$("$SAVECHECK" "$SRC" "$WORK/ref" | awk '$2 == "save.txt" { print $3 }')
[ "$final" = "${reference[-1]}" ] || fail "the unkilled game's save ($final) is not the last it reported (${reference[-1]})"

# The kills: one in ten at a moment before the first save, the others at a
# random moment of the saving part of the play-through, counted from the
# first save (so that a slow start on a busy machine does not waste them).
span_ms=$(( (took_ms - first_ms) * 11 / 10 + 1 ))
# KILL_JOBS games run side by side (2 by default).
kill_one() {
  local i=$1 dir=$WORK/k$1 pid delay_ms
  mkdir -p "$dir"
  (cd "$SRC" && XDG_DATA_HOME=$dir TARNWICK_SAVE_JOURNAL=$dir.journal exec $GAME_CMD) >/dev/null 2>"$dir.err" &
  pid=$!
  if [ $((i % 10)) = 0 ]; then
    delay_ms=$(( (RANDOM * 32768 + RANDOM) % (first_ms + 1) ))
  else
    wait_first_save "$dir" "$pid"
    delay_ms=$(( (RANDOM * 32768 + RANDOM) % span_ms ))
  fi
  pause "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null && : > "$dir.killed"
  wait "$pid" 2>/dev/null
}
for i in $(seq 1 "$COUNT"); do
  while [ "$(jobs -rp | wc -l)" -ge "${KILL_JOBS:-2}" ]; do wait -n; done
  kill_one "$i" &
done
wait
killed=$(find "$WORK" -maxdepth 1 -name '*.killed' | wc -l)

# Every save and backup left behind loads; each save is the last state its
# game reported, or the one after it.
dirs=()
for i in $(seq 1 "$COUNT"); do dirs+=("$WORK/k$i"); done
"$SAVECHECK" "$SRC" "${dirs[@]}" > "$WORK/check.txt"
status=$?
failures=0
grep ' unusable: ' "$WORK/check.txt" >&2 && failures=$((failures + $(grep -c ' unusable: ' "$WORK/check.txt")))
[ "$status" = 0 ] || [ "$failures" -gt 0 ] || failures=1
declare -A position
for k in "${!reference[@]}"; do position[${reference[$k]}]=$k; done
declare -A seen
nosave=0 leftovers=0
for i in $(seq 1 "$COUNT"); do
  dir=$WORK/k$i
  last=$(tail -n 1 "$dir.journal" 2>/dev/null)
  got=$(awk -v d="$dir" '$1 == d && $2 == "save.txt" { print $3 }' "$WORK/check.txt")
  backup=$(awk -v d="$dir" '$1 == d && $2 == "save.backup.txt" { print $3 }' "$WORK/check.txt")
  leftovers=$((leftovers + $(find "$dir" -name '*.tmp*' | wc -l)))
  if ls "$dir" | grep -q unusable; then
    echo "kill $i: a save was set aside: $(ls "$dir")" >&2; failures=$((failures + 1)); continue
  fi
  if [ -z "$got" ]; then
    # Killed before the first save was on disk.
    if [ -n "$last" ]; then echo "kill $i: the game reported a save, none is on disk" >&2; failures=$((failures + 1)); fi
    nosave=$((nosave + 1)); continue
  fi
  seen[$got]=1
  at=${position[$got]:-}
  if [ -z "$at" ]; then echo "kill $i: the save $got is no state the game passed through" >&2; failures=$((failures + 1)); continue; fi
  if [ -n "$backup" ] && [ -z "${position[$backup]:-}" ]; then
    echo "kill $i: the backup $backup is no state the game passed through" >&2; failures=$((failures + 1))
  fi
  if [ -n "$last" ]; then
    lastat=${position[$last]:-}
    if [ -z "$lastat" ] || [ "$at" -lt "$lastat" ] || [ "$at" -gt $((lastat + 1)) ]; then
      echo "kill $i: on disk state $at of the play-through, the game had reported saving state ${lastat:-?}" >&2
      failures=$((failures + 1))
    fi
  elif [ "$at" != 0 ]; then
    echo "kill $i: on disk state $at, the game had reported no save" >&2; failures=$((failures + 1))
  fi
done

echo "kill_saves: $COUNT runs of '$GAME_CMD' (unkilled: first save at ${first_ms} ms, ended at ${took_ms} ms, ${#reference[@]} saves)," \
     "$killed killed before they ended, ${#seen[@]} different saved states found on disk," \
     "$nosave killed before the first save, $leftovers temporary files left, $failures failures"
[ "$failures" = 0 ]

#!/usr/bin/env bash
# The game without its sound: no audio device, --no-audio, and broken sound
# files. Each time it plays (a bump, a conversation, a new part) and quits on
# the pause menu with status 0, saying no more than it should.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
start_display
small_world "$WORK/game"
cp -r "$TARNWICK_SOURCE_DIR/res/snd" "$WORK/game/res/"
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"

play_a_little() { # a bump into the boss, his first conversation, Escape
  step Up; press Return; press space; quit_game
  wait_exit 30
}
ours() { grep '^tarnwick: ' "$WORK/game.err" || true; }

# No device: the audio library finds none (a driver that does not exist).
printf '[general]\ndrivers=no-such-driver\n' > "$WORK/none.conf"
export ALSOFT_CONF="$WORK/none.conf" TARNWICK_AUDIO_LOG="$WORK/none.log"
start_game "$WORK/game"
play_a_little
[ "$STATUS" = 0 ] || fail "no device: exit status $STATUS"
[ "$(ours)" = "tarnwick: no audio device could be opened: playing without sound" ] \
  || fail "no device: wanted one line, got: $(cat "$WORK/game.err")"
grep -q ' bump$' "$WORK/none.log" && grep -q ' report$' "$WORK/none.log" || fail "no device: the game did not play on: $(cat "$WORK/none.log")"

# --no-audio: the device is not even opened, and nothing is said.
printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/never.wav" > "$WORK/wave.conf"
export ALSOFT_CONF="$WORK/wave.conf" TARNWICK_AUDIO_LOG="$WORK/off.log"
start_game "$WORK/game" --no-audio
play_a_little
[ "$STATUS" = 0 ] || fail "--no-audio: exit status $STATUS"
[ -z "$(ours)" ] || fail "--no-audio: said $(ours)"
[ ! -e "$WORK/never.wav" ] || fail "--no-audio opened the audio device"
grep -q ' opened$' "$WORK/off.log" && fail "--no-audio: the log says a device opened"

# Broken files: one that is no sound, one whose header claims about 4 GB of
# samples in 108 bytes, music cut short, a piece missing.
printf '[general]\ndrivers=wave\n[wave]\nfile=%s\n' "$WORK/broken.wav" > "$WORK/wave.conf"
export TARNWICK_AUDIO_LOG="$WORK/broken.log"
echo "not a sound" > "$WORK/game/res/snd/bump.wav"
head -c 40000 "$TARNWICK_SOURCE_DIR/res/snd/guildhall-1.ogg" > "$WORK/game/res/snd/guildhall-1.ogg"
rm "$WORK/game/res/snd/title.ogg"
{ printf 'RIFF\144\0\0\0WAVEfmt \20\0\0\0\1\0\1\0\104\254\0\0\210\130\1\0\2\0\20\0'
  printf 'data\370\377\377\377'; head -c 64 /dev/zero; } > "$WORK/game/res/snd/answer.wav"
[ "$(stat -c %s "$WORK/game/res/snd/answer.wav")" = 108 ] || fail "the lying sound is not 108 bytes"
start_game "$WORK/game"
step Up
peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$GAME_PID/status")
[ "${peak_kib:-0}" -lt 1048576 ] || fail "lying sound: the game took ${peak_kib} KiB"
press Return; press space; quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "broken sounds: exit status $STATUS"
[ -s "$WORK/broken.wav" ] || fail "broken sounds: nothing was played at all"
ours | grep -q '^tarnwick: res/snd/bump.wav: cannot be read' || fail "broken sounds: bump.wav not named: $(cat "$WORK/game.err")"
ours | grep -q '^tarnwick: res/snd/title.ogg: cannot be read' || fail "broken sounds: title.ogg not named: $(cat "$WORK/game.err")"
ours | grep -q '^tarnwick: res/snd/answer.wav: cannot be read (claims .* samples, more than its 108 bytes can hold)' \
  || fail "broken sounds: the lying answer.wav not named: $(cat "$WORK/game.err")"
[ "$(ours | wc -l)" = 3 ] || fail "broken sounds: wanted three lines, got: $(cat "$WORK/game.err")"
echo "silent: 3 passed, 0 failed"

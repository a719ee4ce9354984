#!/usr/bin/env bash
# What the game sounds like, recorded: the audio library (OpenAL Soft) writes
# its mix to a WAV file instead of a device (its "wave" output, chosen by the
# configuration file that ALSOFT_CONF names), the game writes down when it
# played what (TARNWICK_AUDIO_LOG: milliseconds since the device opened,
# frame, sound), and audio_analyse.py compares the two.
#
#  1. Effects, music off: the small world's story played to its end, in a
#     wider room with a warden (steps, bumps, a conversation with an answer
#     and an item taken, the boss's reports, the warden standing aside, the
#     three tables scratched, painted and inked, a while standing still, the
#     closing card's sting). Every sound starts within 50 ms of its frame
#     (the sting, which starts over the conversation's closing sound, is
#     found by its shape), none clips, footsteps and effects peak within
#     their ranges, and standing still is silent.
#  2. Music on: standing, a conversation with the boss (the music quieter
#     under it; the first part begins, and with it a second layer), standing.
#     The music is within its loudness range, never clips, has no gap.
#  3. The shipped music's loop seams: no click.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
analyse() { python3 "$(dirname "$0")/audio_analyse.py" "$@"; }

# guarded_world DIR: the small world two tiles wider, with a warden (G) at
# the end of the tables' row; he stands aside one tile down and to the right.
#
#   W W W W W W W W W
#   W V B T T T G . W
#   W . P . . . . . W
#   W W W W W W W W W
guarded_world() {
  small_world "$1"
  convert "$1/res/gfx/world.png" -size 32x32 xc:'#0000ff' +append "PNG32:$1/res/gfx/world.png"
  python3 - "$1/res/maps/testmap.json" <<'PY'
import json, sys
path = sys.argv[1]
m = json.load(open(path))
w = 9
m["width"] = w
m["layers"][0]["data"] = [1] * (w * 4)
m["layers"][1]["data"] = [2] * w + [2, 4, 6, 7, 7, 7, 12, 0, 2] + [2, 0, 3, 0, 0, 0, 0, 0, 2] + [2] * w
m["tilesets"][0]["tileproperties"]["11"] = {"type": "warden", "solid": True, "name": "Warden"}
json.dump(m, open(path, "w"))
PY
}

start_display
small_world "$WORK/game"
guarded_world "$WORK/guarded"
cp -r "$TARNWICK_SOURCE_DIR/res/snd" "$WORK/game/res/"
cp -r "$TARNWICK_SOURCE_DIR/res/snd" "$WORK/guarded/res/"

record() { # record NAME: the next game's sound goes to $WORK/NAME.wav and its log to $WORK/NAME.log
  printf '[general]\ndrivers=wave\nfrequency=44100\n[wave]\nfile=%s\n' "$WORK/$1.wav" > "$WORK/$1.conf"
  export ALSOFT_CONF="$WORK/$1.conf" TARNWICK_AUDIO_LOG="$WORK/$1.log"
  export XDG_CONFIG_HOME="$WORK/$1-config" XDG_DATA_HOME="$WORK/$1-data"
  rm -f "$WORK/$1.wav" "$WORK/$1.log"
}
keep() { cp "$WORK/$1.wav" "$WORK/$1.log" "$ARTEFACTS/"; }   # the recording, for a look
quiet_for() { hold F1 "$1"; }   # stand still for that many of the game's frames

# 1. Effects with the music off.
record effects
mkdir -p "$XDG_CONFIG_HOME/tarnwick"
printf '[audio]\nmusic = 0\n' > "$XDG_CONFIG_HOME/tarnwick/settings.ini"
start_game "$WORK/guarded"
grep -q ' opened$' "$WORK/effects.log" || fail "no audio device through the wave output: $(cat "$WORK/game.err")"
# Every sound rings out before the next is asked for, so that each start
# stands out of silence: a tap, then a pause of that many frames.
tap() { press "$1"; quiet_for "${2:-20}"; }
step Left; quiet_for 20; step Up; quiet_for 20   # a step; a bump into the clerk
tap Return; tap space; tap space        # talk: two pages, then the answers
tap 1; tap space 50                     # take the hat: an answer and a page; the end and the item
step Right; quiet_for 20; step Up; quiet_for 20  # a step; a bump into the boss
tap Return 90                           # the first part: his report
tap space                               # the end of the talk
step Right; quiet_for 20; step Up; quiet_for 20  # to a table
tap Return; tap space 60                # scratched
# On through the story, a walk and a bump into what is above at each stop.
up_to() { walk "$1" "$2"; quiet_for 20; step Up; quiet_for 20; }
up_to Right 3; tap Return; tap space 60 # the warden: a hat on in part 0, so he stands aside
up_to Left 4; tap Return 90; tap space  # the boss: part 1
up_to Right 2; tap Return; tap space 60 # the second table: painted
up_to Left 2; tap Return 90; tap space  # the boss: part 2
up_to Right 3; tap Return; tap space 80 # the third table: inked
walk Left 3; quiet_for 360              # standing still: the route's longest pause (the card lasts 4 s)
step Up; quiet_for 20; tap Return 90    # the boss: the ending
press space                             # the closing card and its sting
card_gone() { [ "$(pixel 110 175)" != "srgb(0,50,200)" ]; }
until_true 30 card_gone || fail "the closing card did not go"
"$XCLOSE" "$WINDOW"                     # on the title it leads to
wait_exit 30
[ "$STATUS" = 0 ] || fail "effects run: exit status $STATUS"
for cue in step bump open voice answer close livery report scratch warden paint ink sting; do
  grep -q " $cue\$" "$WORK/effects.log" || fail "no $cue in the log: $(cat "$WORK/effects.log")"
done
sox "$WORK/guarded/res/snd/sting.ogg" -t raw -e signed -b 16 -c 1 -r 44100 "$WORK/sting.raw"
analyse effects "$WORK/effects.wav" "$WORK/effects.log" sting="$WORK/sting.raw" || { keep effects; fail "effects: see above"; }

# 2. Music at the usual volumes.
record music
start_game "$WORK/game"
quiet_for 120
step Up                                 # face the boss
press Return; quiet_for 150             # the conversation: the music goes down, a part begins
press space; quiet_for 180
quit_game
wait_exit 30
[ "$STATUS" = 0 ] || fail "music run: exit status $STATUS"
analyse music "$WORK/music.wav" "$WORK/music.log" || { keep music; fail "music: see above"; }

# 3. The loops of the shipped music.
raws=()
for f in "$TARNWICK_SOURCE_DIR"/res/snd/guildhall-*.ogg "$TARNWICK_SOURCE_DIR"/res/snd/title.ogg; do
  sox "$f" -t raw -e signed -b 16 -c 1 "$WORK/$(basename "$f" .ogg).raw"
  raws+=("$WORK/$(basename "$f" .ogg).raw")
done
analyse seam "${raws[@]}" || fail "music loops: see above"
echo "audio: 3 passed, 0 failed"

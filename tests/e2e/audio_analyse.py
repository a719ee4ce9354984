#!/usr/bin/env python3
"""What the game played, as recorded by the audio library's wave output.

  audio_analyse.py effects WAV LOG [CUE=RAW...]
                                     every sound's start against its frame,
                                     peaks, silence while standing still;
                                     RAW is the sound of CUE (16-bit mono raw
                                     at the recording's rate), for finding it
                                     where it starts over another
  audio_analyse.py music WAV LOG     the music's loudness, quieter under a
                                     conversation, no gap at a part's start
  audio_analyse.py seam RAW...       a piece's loop (16-bit mono raw): the
                                     jump from its last sample to its first

LOG is the game's sound log (TARNWICK_AUDIO_LOG): one line per sound,
"<ms since the device opened> <frame> <what>". The recording starts when the
device opens, so a sound logged at t ms should start near t ms in it.
Prints what it measured; exits 1 on any failure.
"""
import array
import itertools
import math
import operator
import struct
import sys

# The limits this test holds the game's sound to (dBFS).
LATENCY_MS = 50          # a sound starts within this of its frame
MAX_DRIFT = 0.005        # the device clock against the file: at most 5 ms a second
CLIP_DBFS = -1.0         # no sample at or above
SILENT_DBFS = -90.0      # standing still with the music off
EFFECT_PEAK = (-40.0, -6.0)   # every effect's peak
STEP_PEAK = (-42.0, -18.0)    # footsteps: quiet
MUSIC_RMS = (-42.0, -16.0)    # the music, over a second and a half
DUCK_DB = 4.0                 # at least this much quieter under a conversation
GAP_DBFS = -60.0              # no 50 ms of the music quieter than this
RING_MS = 100            # a sound this soon after another starts over it, not out of silence
SHAPE_MS = 20            # such a sound is found by its loudness over this much at a time
MATCH = 0.95             # the least correlation of that loudness with the recording's

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def db(x):
    return 20 * math.log10(x) if x > 0 else -200.0


def read_wav(path):
    """The first channel as floats (-1..1), the peak of all channels, the rate."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit(path + ": not a WAV file")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        cid, size = struct.unpack_from("<4sI", data, pos)
        body = data[pos + 8: pos + 8 + size]
        if cid == b"fmt ":
            tag, channels, rate, _, _, bits = struct.unpack_from("<HHIIHH", body)
            if tag == 0xFFFE:
                tag = struct.unpack_from("<H", body, 24)[0]
            fmt = (tag, channels, rate, bits)
        elif cid == b"data":
            # The header's size is 0 or stale when the writer did not finish it.
            samples = data[pos + 8:] if size in (0, 0xFFFFFFFF) or pos + 8 + size > len(data) else body
            break
        pos += 8 + size + (size & 1)
    if fmt is None or samples is None:
        raise SystemExit(path + ": no format or no data")
    tag, channels, rate, bits = fmt
    if tag == 3 and bits == 32:
        values = array.array("f")
        values.frombytes(samples[: len(samples) // 4 * 4])
        scale = 1.0
    elif tag == 1 and bits == 16:
        values = array.array("h")
        values.frombytes(samples[: len(samples) // 2 * 2])
        scale = 1 / 32768.0
    else:
        raise SystemExit("%s: format %d with %d bits is not read here" % (path, tag, bits))
    peak = max((abs(v) for v in values), default=0) * scale
    first = [v * scale for v in values[0::channels]]
    return first, peak, rate


def read_log(path):
    events = []
    for line in open(path):
        parts = line.split()
        if len(parts) >= 3:
            events.append((float(parts[0]), int(parts[1]), " ".join(parts[2:])))
    return events


CUES = {"step", "bump", "open", "close", "voice", "answer", "livery", "warden", "scratch", "paint", "ink",
        "report", "sting"}


def blocks(wave, rate, ms):
    """The peak of every block of `ms` milliseconds."""
    n = max(1, int(rate * ms / 1000))
    return [max(map(abs, wave[i:i + n]), default=0.0) for i in range(0, len(wave), n)], n


def read_raw(path):
    values = array.array("h")
    values.frombytes(open(path, "rb").read())
    return [v / 32768.0 for v in values]


def loudness(x, hop, width):
    """The rms of every `width` samples of x, every `hop` samples."""
    sums = list(itertools.accumulate((v * v for v in x), initial=0.0))
    return [math.sqrt(max(0.0, sums[i + width] - sums[i]) / width) for i in range(0, len(x) - width + 1, hop)]


def locate(wave, rate, shape, a, z):
    """Where `shape` starts in `wave`, between samples a and z: where the
    recording's loudness over the length of the shape (over SHAPE_MS at a
    time, every 22 samples) follows the shape's most closely; and how
    closely (the correlation: 1 is exactly). Loudness, not the waveform: a
    held note matches itself a period later almost as well as in place."""
    hop, width = int(rate * 0.5 / 1000), int(rate * SHAPE_MS / 1000)
    n = min(len(shape), len(wave) - z)
    if n < width or z <= a:
        return None, 0.0
    heard = loudness(wave[a:z + n], hop, width)
    model = loudness(shape[:n], hop, width)
    m = len(model)
    mean = sum(model) / m
    model = [v - mean for v in model]
    spread = math.sqrt(sum(v * v for v in model))

    def correlation(j):
        part = heard[j:j + m]
        mu = sum(part) / m
        own = math.sqrt(max(0.0, sum(map(operator.mul, part, part)) - m * mu * mu))
        return sum(map(operator.mul, part, model)) / (own * spread) if own * spread > 0 else 0.0

    scores = [correlation(j) for j in range(len(heard) - m + 1)]
    best = max(range(len(scores)), key=scores.__getitem__)
    return a + best * hop, scores[best]


def effects(wav, log, shapes):
    wave, peak, rate = read_wav(wav)
    events = read_log(log)
    print("recording: %.2f s, peak %.1f dBFS" % (len(wave) / rate, db(peak)))
    if db(peak) >= CLIP_DBFS:
        fail("a sample at %.1f dBFS: clipping" % db(peak))
    peaks, per = blocks(wave, rate, 0.5)
    # A whole number of samples: 22 at 44100 Hz, a little under half a
    # millisecond. Times are counted in that, or they would slip 2 ms a second.
    block_ms = per * 1000.0 / rate
    # The sounds of one frame start together: one start for each frame.
    groups = {}
    for ms, frame, what in events:
        if what in CUES:
            groups.setdefault(frame, [ms, []])[1].append(what)
    threshold = 3e-4
    latencies = []
    print("%-26s %7s %9s %9s %9s" % ("sounds", "frame", "latency", "peak", "rms"))
    frames = sorted(groups)
    for k, frame in enumerate(frames):
        ms, cues = groups[frame]
        name = "+".join(cues)
        onset = None
        earlier = ms - groups[frames[k - 1]][0] if k > 0 else None
        if earlier is not None and earlier < RING_MS:
            # Over the sound before, which still rings: no rise out of
            # silence to look for, so its own shape is looked for instead.
            known = [c for c in cues if c in shapes]
            if not known:
                fail("%s (frame %d) starts %.0f ms after the sound before it: give the shape of its sound"
                     % (name, frame, earlier))
                continue
            onset, match = locate(wave, rate, shapes[known[0]], int((ms - 60) * rate / 1000),
                                  int((ms + 150) * rate / 1000))
            print("%s: %.0f ms after the sound before it, found by its shape (correlation %.2f)"
                  % (known[0], earlier, match))
            if onset is not None and match < MATCH:
                onset = None
        else:
            start = max(0, int((ms - 60) / block_ms))
            end = min(len(peaks), int((ms + 150) / block_ms))
            for b in range(start, end):
                before = max(peaks[max(0, b - 40):b], default=0.0)
                if peaks[b] > threshold and (before < threshold or peaks[b] > 2.5 * before):
                    onset = b * per
                    break
        if onset is None:
            fail("%s (frame %d at %.0f ms): no sound starts near it" % (name, frame, ms))
            continue
        latency = onset * 1000.0 / rate - ms
        latencies.append((ms, latency))
        window = wave[onset:onset + int(0.3 * rate)]
        top = db(max(map(abs, window), default=0.0))
        rms = db(math.sqrt(sum(v * v for v in window) / max(1, len(window))))
        print("%-26s %7d %+7.1f ms %5.1f dB %5.1f dB" % (name, frame, latency, top, rms))
        low, high = STEP_PEAK if cues == ["step"] else EFFECT_PEAK
        if not low <= top <= high:
            fail("%s: peak %.1f dBFS, outside %.0f to %.0f" % (name, top, low, high))
    if latencies:
        # The device's clock and the count of samples in the file may drift
        # apart slowly: that rate is measured and taken out, and must itself
        # stay small, so a delay that grows as the game goes on still fails.
        n = len(latencies)
        mt = sum(t for t, _ in latencies) / n
        ml = sum(l for _, l in latencies) / n
        var = sum((t - mt) ** 2 for t, _ in latencies)
        slope = sum((t - mt) * (l - ml) for t, l in latencies) / var if var > 0 else 0.0
        raw = [l for _, l in latencies]
        fixed = [l - slope * t for t, l in latencies]
        print("latency as recorded: %d starts, from %+.1f to %+.1f ms, mean %+.1f ms"
              % (n, min(raw), max(raw), sum(raw) / n))
        print("clock drift: %+.2f ms a second; latency without it: from %+.1f to %+.1f ms, mean %+.1f ms"
              % (slope * 1000, min(fixed), max(fixed), sum(fixed) / n))
        if abs(slope) > MAX_DRIFT:
            fail("the sounds fall %.2f ms further behind every second" % (slope * 1000))
        for (t, l), f in zip(latencies, fixed):
            if abs(f) > LATENCY_MS:
                fail("a sound at %.0f ms starts %.1f ms from its frame" % (t, f))
    # Standing still: the longest stretch without a sound asked for (from the
    # device's opening, between two sounds or after the last), from 1.5 s
    # after its start to 0.3 s before its end.
    times = [groups[f][0] for f in frames] + [len(wave) * 1000.0 / rate]
    first, then = max(zip([0.0] + times, times), key=lambda pair: pair[1] - pair[0])
    a, z = int((first + 1500) * rate / 1000), int((then - 300) * rate / 1000)
    if z - a < rate // 2:
        fail("standing still: the longest stretch without a sound is only %.2f s" % ((then - first) / 1000))
    else:
        still = max(map(abs, wave[a:z]), default=0.0)
        print("standing still, music off: %.2f s, peak %.1f dBFS" % ((z - a) / rate, db(still)))
        if db(still) > SILENT_DBFS:
            fail("standing still with the music off is not silent: peak %.1f dBFS" % db(still))


def rms_between(wave, rate, a_ms, z_ms):
    a, z = int(a_ms * rate / 1000), int(z_ms * rate / 1000)
    window = wave[a:z]
    return db(math.sqrt(sum(v * v for v in window) / max(1, len(window))))


def music(wav, log):
    wave, peak, rate = read_wav(wav)
    events = read_log(log)
    print("recording: %.2f s, peak %.1f dBFS" % (len(wave) / rate, db(peak)))
    if db(peak) >= CLIP_DBFS:
        fail("a sample at %.1f dBFS: clipping" % db(peak))
    opened = [ms for ms, _, what in events if what == "open"]
    closed = [ms for ms, _, what in events if what == "close"]
    first = [ms for ms, _, what in events if what.startswith("layers")]
    if not opened or not closed or not first:
        fail("the log lacks a conversation or the music's start: %s" % events)
        return
    start = first[0]
    # Before the talk: the first layer alone, past its fade in.
    alone = rms_between(wave, rate, opened[0] - 1600, opened[0] - 100)
    # Under the conversation, once the report's fanfare has rung out.
    under = rms_between(wave, rate, opened[0] + 1500, closed[0] - 50)
    # After it: two layers (the part has begun).
    after = rms_between(wave, rate, closed[0] + 1100, closed[0] + 2600)
    print("music alone: %.1f dBFS rms; under the conversation: %.1f; after it, a layer more: %.1f"
          % (alone, under, after))
    for name, level in (("alone", alone), ("after the part began", after)):
        if not MUSIC_RMS[0] <= level <= MUSIC_RMS[1]:
            fail("music %s: %.1f dBFS rms, outside %.0f to %.0f" % (name, level, MUSIC_RMS[0], MUSIC_RMS[1]))
    if alone - under < DUCK_DB:
        fail("the music is only %.1f dB quieter under the conversation" % (alone - under))
    # No gap: every 50 ms from the music's start (past its fade in) to the
    # end. (The game reads the music while it already runs: it starts when read.)
    peaks, per = blocks(wave, rate, 50)
    heard = next((b for b in range(int(start / 50), len(peaks)) if peaks[b] > 1e-4), len(peaks))
    print("the music starts %.0f ms after the game's first frame" % (heard * 50 - start))
    a = heard + int(400 / 50)
    z = len(peaks) - int(400 / 50)
    quietest = min(peaks[a:z], default=0.0)
    print("music without a gap: quietest 50 ms from its start to the end: %.1f dBFS" % db(quietest))
    if db(quietest) < GAP_DBFS:
        at = peaks.index(quietest, a, z) * 50
        fail("a gap in the music: 50 ms at %.1f dBFS, %.0f ms into the recording (the log: %s)"
             % (db(quietest), at, [e for e in events if abs(e[0] - at) < 1500]))


def seam(paths):
    for path in paths:
        values = array.array("h")
        values.frombytes(open(path, "rb").read())
        if len(values) < 2:
            fail(path + ": empty")
            continue
        largest = max(abs(values[i + 1] - values[i]) for i in range(len(values) - 1))
        jump = abs(values[0] - values[-1])
        print("%s: %d samples, loop seam %d, largest step %d" % (path, len(values), jump, largest))
        if jump > largest:
            fail("%s: the loop seam (%d) is larger than any step of the music (%d): a click" % (path, jump, largest))


if __name__ == "__main__":
    if len(sys.argv) >= 4 and sys.argv[1] == "effects" and all("=" in a for a in sys.argv[4:]):
        effects(sys.argv[2], sys.argv[3], {c: read_raw(p) for c, p in (a.split("=", 1) for a in sys.argv[4:])})
    elif len(sys.argv) >= 4 and sys.argv[1] == "music":
        music(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 3 and sys.argv[1] == "seam":
        seam(sys.argv[2:])
    else:
        raise SystemExit(__doc__)
    sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""What the game played, as recorded by the audio library's wave output.

  audio_analyse.py effects WAV LOG   every sound's start against its frame,
                                     peaks, silence while standing still
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
import math
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


def effects(wav, log):
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
    for frame in sorted(groups):
        ms, cues = groups[frame]
        start = max(0, int((ms - 60) / block_ms))
        end = min(len(peaks), int((ms + 150) / block_ms))
        onset = None
        for b in range(start, end):
            before = max(peaks[max(0, b - 40):b], default=0.0)
            if peaks[b] > threshold and (before < threshold or peaks[b] > 2.5 * before):
                onset = b
                break
        name = "+".join(cues)
        if onset is None:
            fail("%s (frame %d at %.0f ms): no sound starts near it" % (name, frame, ms))
            continue
        latency = onset * block_ms - ms
        latencies.append((ms, latency))
        a, z = onset * per, onset * per + int(0.3 * rate)
        window = wave[a:z]
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
    # Standing still: from 1.5 s after the last sound to 0.3 s before the end.
    last = max((ms for ms, _, what in events if what in CUES), default=0.0)
    a, z = int((last + 1500) * rate / 1000), len(wave) - int(0.3 * rate)
    if z - a < rate // 2:
        fail("standing still: only %.2f s recorded after the last sound" % ((z - a) / rate))
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
    if len(sys.argv) >= 4 and sys.argv[1] == "effects":
        effects(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 4 and sys.argv[1] == "music":
        music(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 3 and sys.argv[1] == "seam":
        seam(sys.argv[2:])
    else:
        raise SystemExit(__doc__)
    sys.exit(1 if failures else 0)

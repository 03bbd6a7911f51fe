#!/usr/bin/env python3
"""Synthesises Zorvel's two built-in alarm songs, res/mp3/1.mp3 and res/mp3/2.mp3.

Both tunes are our own. Notes are made here by additive synthesis (struck-bar and
bell partials with decaying envelopes); sox adds a little room and normalises, and
lame encodes 128 kbit/s CBR MP3 at 44.1 kHz.

Needs Python 3 (standard library only), sox and lame on PATH.
Usage: make_songs.py [--out DIR] [--wav]
"""

import argparse
import array
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

RATE = 44100
TAU = 2.0 * math.pi


def midi_freq(m):
    return 440.0 * 2.0 ** ((m - 69) / 12.0)


NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note(name):
    """'F#5' -> MIDI number (C4 = 60)."""
    pc = NOTE_NAMES[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        pc += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + pc


# ---------------------------------------------------------------- instruments
#
# Each voice is a list of partials (frequency ratio, amplitude, decay time in s).
# Exponential decays with faster-dying upper partials give the struck/plucked
# character; a short raised-cosine attack and a release ramp keep every note
# free of clicks.


def render_partials(freq, partials, length, attack, release, damp_at=None):
    n = int(length * RATE)
    out = array.array("d", bytes(8 * n))
    for ratio, amp, decay in partials:
        f = freq * ratio
        if f >= RATE * 0.45:  # would alias
            continue
        step = TAU * f / RATE
        k = math.exp(-1.0 / (decay * RATE))
        env = amp
        # Stop computing once the partial is inaudible.
        stop = min(n, int(decay * RATE * 7.0))
        for i in range(stop):
            out[i] += env * math.sin(step * i)
            env *= k
    na = max(1, int(attack * RATE))
    for i in range(min(na, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / na)
    # Damped notes (bass) stop at damp_at; others ring until the buffer ends.
    end = n if damp_at is None else min(n, int(damp_at * RATE) + int(release * RATE))
    nr = max(1, int(release * RATE))
    for j in range(nr):
        i = end - nr + j
        if 0 <= i < n:
            out[i] *= 0.5 + 0.5 * math.cos(math.pi * j / nr)
    for i in range(end, n):
        out[i] = 0.0
    return out[:end]


def marimba(freq, dur):
    # Rosewood bar tuned so the first overtone sits two octaves up; low bars ring longer.
    t = 0.75 * (220.0 / freq) ** 0.45
    parts = [(1.0, 1.0, t), (4.0, 0.28, t * 0.22), (9.9, 0.07, t * 0.08), (2.0, 0.05, t * 0.4)]
    return render_partials(freq, parts, min(4.0 * t, 3.0), 0.002, 0.03)


def glockenspiel(freq, dur):
    # Free steel bar: inharmonic modes 1 : 2.756 : 5.404 : 8.933.
    parts = [(1.0, 1.0, 1.3), (2.756, 0.22, 0.30), (5.404, 0.07, 0.10), (8.933, 0.02, 0.05)]
    return render_partials(freq, parts, 3.5, 0.001, 0.05)


def soft_bass(freq, dur):
    parts = [(1.0, 1.0, 1.2), (2.0, 0.30, 0.5), (3.0, 0.10, 0.25)]
    return render_partials(freq, parts, dur + 0.1, 0.012, 0.08, damp_at=dur)


def chime(freq, dur):
    # Bright tuned chime: near-harmonic body, a little inharmonic shimmer, and a
    # slightly detuned twin of the fundamental for a slow beat.
    parts = [
        (1.0, 1.0, 1.1),
        (1.0023, 0.35, 1.4),
        (2.0, 0.42, 0.55),
        (3.0, 0.16, 0.30),
        (4.07, 0.10, 0.15),
        (5.43, 0.05, 0.08),
    ]
    return render_partials(freq, parts, 3.2, 0.0015, 0.05)


def music_box(freq, dur):
    parts = [(1.0, 1.0, 0.45), (2.0, 0.35, 0.20), (3.0, 0.12, 0.10), (4.9, 0.05, 0.05)]
    return render_partials(freq, parts, 1.6, 0.001, 0.03)


def plucked_bass(freq, dur):
    parts = [(float(h), 1.0 / h**1.3, 0.9 / h**0.7) for h in range(1, 7)]
    return render_partials(freq, parts, dur + 0.1, 0.004, 0.06, damp_at=dur)


def low_bell(freq, dur):
    # Church-bell style hum, fundamental and upper partials, kept consonant (major).
    parts = [
        (0.5, 0.35, 3.0),
        (1.0, 1.0, 2.2),
        (1.5, 0.25, 1.4),
        (2.0, 0.45, 1.2),
        (2.5, 0.15, 0.8),
        (3.0, 0.12, 0.6),
        (4.2, 0.06, 0.3),
    ]
    return render_partials(freq, parts, 4.0, 0.002, 0.1)


_noise_rng = random.Random(1)


def tick(freq, dur):
    # Soft shaker tick: differentiated (so high-passed) noise with a fast decay.
    n = int(0.05 * RATE)
    out = array.array("d", bytes(8 * n))
    prev = 0.0
    env = 1.0
    k = math.exp(-1.0 / (0.008 * RATE))
    for i in range(n):
        x = _noise_rng.uniform(-1.0, 1.0)
        out[i] = (x - prev) * env * 0.5
        prev = x
        env *= k
    for i in range(min(44, n)):
        out[i] *= i / 44.0
    return out


# ---------------------------------------------------------------- mixing


class Mix:
    def __init__(self, seconds):
        self.n = int(seconds * RATE)
        self.left = array.array("d", bytes(8 * self.n))
        self.right = array.array("d", bytes(8 * self.n))
        self.cache = {}
        self.rng = random.Random(7)

    def add(self, voice, start, midi, dur, vel, pan, human=True):
        """pan: -1 left .. +1 right (constant power)."""
        key = (voice.__name__, midi, round(dur, 4))
        buf = self.cache.get(key)
        if buf is None:
            buf = voice(midi_freq(midi) if midi else 0.0, dur)
            self.cache[key] = buf
        if human:  # a player is never exactly even
            vel *= self.rng.uniform(0.9, 1.05)
            start += self.rng.uniform(-0.004, 0.004)
        start = max(0.0, start)
        angle = (pan + 1.0) * math.pi / 4.0
        gl, gr = vel * math.cos(angle), vel * math.sin(angle)
        s = int(start * RATE)
        m = min(len(buf), self.n - s)
        left, right = self.left, self.right
        for i in range(m):
            x = buf[i]
            left[s + i] += gl * x
            right[s + i] += gr * x

    def write_raw(self, path):
        peak = max(max(map(abs, self.left)), max(map(abs, self.right)))
        scale = 0.5 / peak  # headroom for the reverb; sox normalises afterwards
        inter = array.array("f", bytes(4 * 2 * self.n))
        inter[0::2] = array.array("f", (x * scale for x in self.left))
        inter[1::2] = array.array("f", (x * scale for x in self.right))
        if sys.byteorder != "little":
            inter.byteswap()
        with open(path, "wb") as f:
            inter.tofile(f)


# Chord tones relative to the root.
MAJOR = (0, 4, 7)
MINOR = (0, 3, 7)
DOM7 = (0, 4, 7, 10)


def seq(bars, beats_per_bar):
    """Flattens [[('A4', 1), ...], ...] into (beat, midi or None, beats)."""
    out = []
    for b, bar in enumerate(bars):
        beat = b * beats_per_bar
        for name, length in bar:
            out.append((beat, None if name == "-" else note(name), length))
            beat += length
        assert abs(beat - (b + 1) * beats_per_bar) < 1e-9, f"bar {b + 1} does not add up"
    return out


# ---------------------------------------------------------------- song 1
#
# "Morning marimba": F major, 120 BPM, 4/4, 16 bars (32 s). Marimba melody over
# marimba broken chords and a soft bass; a glockenspiel joins for the second half.


def song1():
    bpm, bpb = 120.0, 4
    spb = 60.0 / bpm
    chords = [  # (root, quality) per half bar
        ("F3", MAJOR), ("F3", MAJOR), ("D3", MINOR), ("D3", MINOR),
        ("Bb2", MAJOR), ("Bb2", MAJOR), ("C3", MAJOR), ("C3", MAJOR),
        ("F3", MAJOR), ("F3", MAJOR), ("A2", MINOR), ("A2", MINOR),
        ("Bb2", MAJOR), ("C3", MAJOR), ("F3", MAJOR), ("F3", MAJOR),
        ("Bb2", MAJOR), ("Bb2", MAJOR), ("F3", MAJOR), ("F3", MAJOR),
        ("G2", MINOR), ("G2", MINOR), ("C3", MAJOR), ("C3", MAJOR),
        ("F3", MAJOR), ("F3", MAJOR), ("D3", MINOR), ("D3", MINOR),
        ("Bb2", MAJOR), ("C3", MAJOR), ("F3", MAJOR), ("F3", MAJOR),
    ]
    melody = seq([
        [("A4", 1), ("C5", 1), ("F5", 1.5), ("E5", 0.5)],
        [("D5", 1), ("F5", 1), ("A5", 2)],
        [("G5", 1), ("F5", 0.5), ("D5", 0.5), ("Bb4", 1), ("D5", 1)],
        [("C5", 1), ("E5", 1), ("G5", 2)],
        [("A5", 1), ("G5", 0.5), ("F5", 0.5), ("C5", 1), ("F5", 1)],
        [("E5", 1.5), ("C5", 0.5), ("A4", 1), ("C5", 1)],
        [("D5", 1), ("F5", 1), ("E5", 1), ("G5", 1)],
        [("F5", 3), ("-", 1)],
        [("F5", 0.5), ("G5", 0.5), ("A5", 1), ("Bb5", 1), ("A5", 1)],
        [("G5", 1), ("F5", 1), ("C5", 2)],
        [("Bb4", 1), ("D5", 1), ("G5", 1.5), ("F5", 0.5)],
        [("E5", 1), ("G5", 1), ("C6", 2)],
        [("A5", 1), ("C6", 1), ("A5", 1), ("F5", 1)],
        [("D5", 1), ("F5", 1), ("A5", 1.5), ("G5", 0.5)],
        [("F5", 1), ("D5", 1), ("E5", 1), ("G5", 1)],
        [("F5", 4)],
    ], bpb)
    bars = len(chords) // 2
    mix = Mix(bars * bpb * spb)

    for beat, m, length in melody:
        if m is None:
            continue
        mix.add(marimba, beat * spb, m, length * spb, 0.55, 0.1)
        # The glockenspiel doubles the on-beat melody an octave up in the second half.
        if beat >= 8 * bpb and beat == int(beat):
            mix.add(glockenspiel, beat * spb, m + 12, length * spb, 0.16, 0.45)

    # Broken chords in eighths: root, fifth, octave, tenth, octave, fifth, octave, fifth.
    pattern = [(0, 0), (2, 0), (0, 1), (1, 1), (0, 1), (2, 0), (0, 1), (2, 0)]
    for half, (root, quality) in enumerate(chords):
        r = note(root)
        last_bar = half >= len(chords) - 2
        for e in range(4):
            idx = (half % 2) * 4 + e
            tone, octave = pattern[idx]
            m = r + quality[tone] + 12 * octave
            accent = 1.0 if e == 0 else 0.8
            if last_bar and half % 2 == 1:
                continue  # let the last chord ring out
            mix.add(marimba, (half * 2 + e * 0.5) * spb, m, 0.5 * spb, 0.24 * accent, -0.35)
        # Bass: root, then the fifth below when the chord holds for the whole bar.
        if last_bar and half % 2 == 1:
            continue
        dur = 2 * spb * (1.9 if last_bar else 0.95)
        bass = note(root)
        if half % 2 == 1 and chords[half - 1][0] == root:
            bass -= 5
        mix.add(soft_bass, half * 2 * spb, bass, dur, 0.42, 0.0)

    # Closing arpeggio on the glockenspiel.
    end = (bars - 1) * bpb
    for i, name in enumerate(["A5", "C6", "F6", "A6"]):
        mix.add(glockenspiel, (end + 1 + i * 0.5) * spb, note(name), spb, 0.12, 0.45)
    # And the tonic chord under the held last note.
    for name in ["F4", "A4", "C5"]:
        mix.add(marimba, end * spb, note(name), 4 * spb, 0.14, -0.2)
    return mix


# ---------------------------------------------------------------- song 2
#
# "Chime waltz": D major, 160 BPM, 3/4, 24 bars plus one bar to ring (28.1 s).
# Chime melody over an oom-pah-pah of plucked bass and music-box chords, a soft
# tick on the off-beats and a low bell at each phrase.


def song2():
    bpm, bpb = 160.0, 3
    spb = 60.0 / bpm
    a_chords = ["D", "A", "Bm", "G", "D", "G", "A7", "D"]
    b_chords = ["G", "D", "Em", "A", "Bm", "G", "Em", "A7"]
    chords = a_chords + b_chords + a_chords
    roots = {"D": "D3", "A": "A2", "A7": "A2", "Bm": "B2", "G": "G2", "Em": "E3"}

    def quality(c):
        return DOM7 if c.endswith("7") else MINOR if c.endswith("m") else MAJOR

    a_melody = [
        [("F#5", 1), ("A5", 1), ("D6", 1)],
        [("C#6", 2), ("A5", 1)],
        [("B5", 1), ("A5", 0.5), ("B5", 0.5), ("D6", 1)],
        [("B5", 2), ("G5", 1)],
        [("A5", 1), ("F#5", 1), ("A5", 1)],
        [("D6", 1), ("B5", 1), ("G5", 1)],
        [("E5", 1), ("G5", 1), ("C#6", 1)],
    ]
    b_melody = [
        [("B5", 1), ("C#6", 0.5), ("D6", 0.5), ("E6", 1)],
        [("D6", 1), ("A5", 1), ("F#5", 1)],
        [("G5", 1), ("B5", 1), ("E6", 1)],
        [("C#6", 2), ("A5", 1)],
        [("D6", 1), ("C#6", 0.5), ("B5", 0.5), ("F#5", 1)],
        [("G5", 1), ("B5", 1), ("D6", 1)],
        [("E6", 1), ("D6", 1), ("B5", 1)],
        [("C#6", 1), ("G5", 1), ("E5", 1)],
    ]
    melody = seq(
        a_melody + [[("D6", 2), ("-", 1)]] + b_melody + a_melody + [[("D6", 3)], [("-", 3)]], bpb
    )
    bars = len(chords) + 1
    mix = Mix(bars * bpb * spb)

    for beat, m, length in melody:
        if m is None:
            continue
        vel = 0.5 if beat % bpb == 0 else 0.42
        mix.add(chime, beat * spb, m, length * spb, vel, 0.15)

    for b, c in enumerate(chords):
        t0 = b * bpb * spb
        root = note(roots[c])
        if b == len(chords) - 1:
            break  # the closing bar is written out below
        mix.add(plucked_bass, t0, root, 0.9 * spb, 0.5, -0.05)
        # Pah-pah: the upper chord tones in the fourth octave.
        tones = [root + 12 + i for i in quality(c)[1:]]
        while min(tones) < note("A3"):
            tones = [t + 12 for t in tones]
        for beat in (1, 2):
            for t in tones:
                mix.add(music_box, t0 + beat * spb, t, 0.5 * spb, 0.13, -0.4)
            mix.add(tick, t0 + beat * spb, 0, 0.1, 0.05, 0.5)
        mix.add(tick, t0 + 2.5 * spb, 0, 0.1, 0.03, 0.6)
        if b % 8 == 0:
            mix.add(low_bell, t0, note("D4"), 3 * spb, 0.22, -0.1)

    # Final D major chord spread on the chimes while the last bar rings.
    t_end = len(chords) * bpb * spb - bpb * spb
    mix.add(low_bell, t_end, note("D4"), 3 * spb, 0.22, -0.1)
    mix.add(plucked_bass, t_end, note("D3"), 3 * spb, 0.45, 0.0)
    for i, name in enumerate(["D5", "F#5", "A5"]):
        mix.add(chime, t_end + i * 0.5 * spb, note(name), spb, 0.28, -0.3 + 0.3 * i)
    return mix


# ---------------------------------------------------------------- output


def run(cmd):
    subprocess.run(cmd, check=True)


def build(mix, title, mp3_path, wav_path, tmp):
    raw = os.path.join(tmp, "dry.f32")
    mix.write_raw(raw)
    wav = os.path.join(tmp, "wet.wav")
    # A small room, a few ms fade-in against a click at the loop point, a short
    # fade-out so the loop restarts cleanly, then -1 dBFS peak.
    run(["sox", "-R", "-t", "raw", "-e", "floating-point", "-b", "32", "-L", "-r", str(RATE),
         "-c", "2", raw, "-b", "16", wav,
         "reverb", "22", "60", "45", "70", "8",
         "fade", "h", "0.005", "-0", "0.6",
         "gain", "-n", "-1"])
    if wav_path:
        shutil.copyfile(wav, wav_path)
    run(["lame", "--quiet", "-b", "128", "--cbr", "-q", "2", "-m", "j",
         "--tt", title, "--ta", "Zorvel", "--tc", "Synthesised by tools/songs/make_songs.py",
         "--id3v2-only", wav, mp3_path])


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(root, "res", "mp3"),
                    help="folder for 1.mp3 and 2.mp3 (default: res/mp3)")
    ap.add_argument("--wav", action="store_true", help="also keep the WAV masters there")
    args = ap.parse_args()
    for tool in ("sox", "lame"):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} not found (Debian: apt-get install sox lame)")
    os.makedirs(args.out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for number, (make, title) in enumerate(
            [(song1, "Zorvel alarm song 1"), (song2, "Zorvel alarm song 2")], start=1
        ):
            mp3 = os.path.join(args.out, f"{number}.mp3")
            wav = os.path.join(args.out, f"{number}.wav") if args.wav else None
            build(make(), title, mp3, wav, tmp)
            print(f"wrote {mp3}")


if __name__ == "__main__":
    main()

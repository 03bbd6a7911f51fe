#!/usr/bin/env python3
"""Makes the spoken-time voice clips in res/sound/.

Each clip is one Mandarin word spoken by espeak-ng from pinyin with tone numbers
(the pinyin voice reads tones reliably; its character dictionary is small and spells
unknown characters out as English letters), then tidied with sox: leading and
trailing silence trimmed, loudness normalised, a short fade so clips join without
clicks, and one sample format for all (22050 Hz, mono, 16-bit). The bell that opens
an announcement is synthesised here.

Needs espeak-ng and sox (developer machines only; the program ships the WAV files).
Run from anywhere:  python3 tools/voice/make_voice_clips.py [--out DIR] [--check]
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
VOICE = "cmn-latn-pinyin"
SPEED = 165  # words per minute: clear, and every clip stays well under 1.5 s

# File name -> (pinyin spoken, the word as a listener hears it).
WORDS = {
    "TIMENOW": ("xian4 zai4 shi2 jian1", "现在时间"),
    "AM0": ("ling2 chen2", "凌晨"),
    "AM1": ("shang4 wu3", "上午"),
    "PM": ("xia4 wu3", "下午"),
    "EM": ("wan3 shang4", "晚上"),
    "T00": ("ling2", "零"),
    "T01": ("yi1", "一"),
    "T02": ("er4", "二"),
    "T03": ("san1", "三"),
    "T04": ("si4", "四"),
    "T05": ("wu3", "五"),
    "T06": ("liu4", "六"),
    "T07": ("qi1", "七"),
    "T08": ("ba1", "八"),
    "T09": ("jiu3", "九"),
    "T10": ("shi2", "十"),
    "T20": ("er4 shi2", "二十"),
    "T30": ("san1 shi2", "三十"),
    "T40": ("si4 shi2", "四十"),
    "T50": ("wu3 shi2", "五十"),
    "POINT": ("dian3", "点"),
    "MIN": ("fen1", "分"),
}

MAX_WORD_SECONDS = 1.5


def run(cmd):
    subprocess.run(cmd, check=True)


def speak(pinyin, out_path, work_dir):
    raw = os.path.join(work_dir, "raw.wav")
    trimmed = os.path.join(work_dir, "trimmed.wav")
    run(["espeak-ng", "-v", VOICE, "-s", str(SPEED), "-w", raw, pinyin])
    # Trim silence at both ends (the reverse trick trims the tail).
    run(["sox", "-D", raw, trimmed, "gain", "-3", "highpass", "60",
         "silence", "1", "0.02", "0.3%", "reverse", "silence", "1", "0.02", "0.3%", "reverse"])
    # sox needs a known length for the fade, hence a second pass.
    run(["sox", "-D", trimmed, "-r", str(RATE), "-c", "1", "-b", "16", out_path,
         "gain", "-n", "-1", "fade", "t", "0.005", "-0", "0.03",
         # A little air after each word so the sequence does not run together.
         "pad", "0", "0.06"])


def bell(out_path, work_dir):
    """A soft two-note chime (G5 then E5) with bell-like partials that die away."""
    notes = [(0.0, 784.0), (0.42, 659.3)]
    partials = [(1.0, 1.0, 3.2), (2.0, 0.35, 5.0), (2.76, 0.18, 7.0), (5.4, 0.06, 11.0)]
    length = 1.45
    n = int(RATE * length)
    samples = [0.0] * n
    for start, freq in notes:
        first = int(start * RATE)
        for i in range(first, n):
            t = (i - first) / RATE
            attack = min(1.0, t / 0.004)
            v = 0.0
            for ratio, amp, decay in partials:
                v += amp * math.exp(-decay * t) * math.sin(2 * math.pi * freq * ratio * t)
            samples[i] += attack * v
    peak = max(abs(s) for s in samples) or 1.0
    raw = os.path.join(work_dir, "bell.wav")
    with wave.open(raw, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(32767 * s / peak)) for s in samples))
    run(["sox", "-D", raw, "-b", "16", out_path, "gain", "-n", "-3", "fade", "t", "0", "-0", "0.25"])


def duration_and_rms(path):
    with wave.open(path, "rb") as w:
        frames = w.readframes(w.getnframes())
        count = w.getnframes()
        seconds = count / w.getframerate()
    values = struct.unpack("<%dh" % count, frames)
    rms = math.sqrt(sum(v * v for v in values) / max(1, count)) / 32768
    return seconds, rms


def check(out_dir):
    """Prints each clip's length and loudness and the longest announcement; 0 when all fit."""
    ok = True
    lengths = {}
    for name in ["zhong"] + list(WORDS):
        path = os.path.join(out_dir, name + ".wav")
        seconds, rms = duration_and_rms(path)
        lengths[name] = seconds
        limit_ok = name == "zhong" or seconds <= MAX_WORD_SECONDS
        loud_ok = rms > 0.01
        ok = ok and limit_ok and loud_ok
        label = "bell" if name == "zhong" else WORDS[name][1]
        print("%-8s %-5s %5.3f s  rms %.3f%s" % (
            name, label, seconds, rms, "" if limit_ok and loud_ok else "  <-- out of limits"))
    # The longest announcement: evening, hour 11, minute with tens and units (23:59 and like).
    longest = 0.0
    worst = ""
    for h in range(24):
        for m in range(60):
            clips = sequence(h, m)
            total = sum(lengths[c] for c in clips)
            if total > longest:
                longest, worst = total, "%02d:%02d" % (h, m)
    print("longest announcement: %s, %.2f s of sound" % (worst, longest))
    return ok and longest < 8.0


def sequence(h, m):
    """The clip order the program plays, for the length check only."""
    part = "AM0" if h <= 4 else "AM1" if h <= 11 else "PM" if h <= 18 else "EM"
    hour = {0: ["T00"], 10: ["T10"], 11: ["T10", "T01"]}.get(h % 12, ["T%02d" % (h % 12)])
    clips = ["zhong", "TIMENOW", part] + hour + ["POINT"]
    if m:
        clips.append(["T00", "T10", "T20", "T30", "T40", "T50"][m // 10])
        if m % 10:
            clips.append("T%02d" % (m % 10))
        clips.append("MIN")
    return clips


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "res", "sound"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=default_out, help="folder for the WAV files")
    parser.add_argument("--check", action="store_true", help="only measure existing clips")
    args = parser.parse_args()

    if not args.check:
        os.makedirs(args.out, exist_ok=True)
        with tempfile.TemporaryDirectory() as work:
            bell(os.path.join(args.out, "zhong.wav"), work)
            for name, (pinyin, _) in WORDS.items():
                speak(pinyin, os.path.join(args.out, name + ".wav"), work)
    return 0 if check(args.out) else 1


if __name__ == "__main__":
    sys.exit(main())

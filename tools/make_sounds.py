#!/usr/bin/python3
"""Makes the program's sound effects and the offline sample song with its lyric script.

  assets/Sound/photo.wav    camera shutter
  assets/Sound/尖叫.wav     a joyful "woo-hoo" whistle (scream)
  assets/Sound/起哄.wav     a crowd hooting "ooh" (cheering)
  assets/Sound/掌声.wav     applause
  assets/DownLoad/Songs/小星星.wma   the melody of the nursery song, two audio tracks:
                                     1 melody with accompaniment, 2 accompaniment only
  assets/DownLoad/Lyrics/小星星.rar  its lyric script

Only the standard library; ffmpeg turns the song into WMA. Deterministic (fixed seeds).
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")


def write_wav(path, channels):
    """channels: list of equally long float lists in -1..1 (1 = mono, 2 = stereo)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    frames = bytearray()
    for frame in zip(*channels):
        for v in frame:
            frames += struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(len(channels))
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def normalise(samples, peak=0.7):
    top = max(abs(v) for v in samples) or 1.0
    return [v * peak / top for v in samples]


def fade(samples, attack, release):
    n = len(samples)
    a, r = int(attack * RATE), int(release * RATE)
    out = list(samples)
    for i in range(min(a, n)):
        out[i] *= i / a
    for i in range(min(r, n)):
        out[n - 1 - i] *= i / r
    return out


def lowpass(samples, cutoff):
    k = 1 - math.exp(-2 * math.pi * cutoff / RATE)
    y, out = 0.0, []
    for v in samples:
        y += k * (v - y)
        out.append(y)
    return out


def highpass(samples, cutoff):
    low = lowpass(samples, cutoff)
    return [v - l for v, l in zip(samples, low)]


def levels(samples):
    peak = max(abs(v) for v in samples)
    rms = math.sqrt(sum(v * v for v in samples) / len(samples))
    return "peak %.2f dBFS, rms %.1f dBFS, %.2f s" % (
        20 * math.log10(peak or 1e-9), 20 * math.log10(rms or 1e-9), len(samples) / RATE)


def shutter():
    rng = random.Random(1)
    n = int(0.22 * RATE)
    out = [0.0] * n
    for start, gain, decay in ((0.0, 1.0, 140.0), (0.085, 0.7, 110.0)):
        s = int(start * RATE)
        burst = [rng.uniform(-1, 1) for _ in range(int(0.04 * RATE))]
        burst = highpass(lowpass(burst, 5000), 900)
        for i, v in enumerate(burst):
            t = i / RATE
            env = gain * math.exp(-decay * t)
            out[s + i] += v * env + 0.25 * env * math.sin(2 * math.pi * 2100 * t)
    return fade(normalise(out, 0.6), 0.001, 0.02)


def woohoo():
    n = int(1.3 * RATE)
    out = [0.0] * n
    for detune, gain in ((1.0, 1.0), (1.006, 0.6), (0.995, 0.5)):
        phase = 0.0
        for i in range(n):
            t = i / RATE
            glide = 650 + 850 * (1 - math.exp(-t / 0.18))        # rises, then holds
            drop = 250 * max(0.0, t - 0.9) / 0.4                  # and falls away at the end
            f = (glide - drop) * detune * (1 + 0.012 * math.sin(2 * math.pi * 6 * t))
            phase += 2 * math.pi * f / RATE
            out[i] += gain * (math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.08 * math.sin(3 * phase))
    env = [min(1.0, (i / RATE) / 0.08) * (1 - 0.35 * i / n) for i in range(n)]
    return fade(normalise([v * e for v, e in zip(out, env)], 0.55), 0.02, 0.3)


def crowd_hoot():
    rng = random.Random(2)
    n = int(2.2 * RATE)
    out = [0.0] * n
    for _ in range(14):  # voices
        f0 = rng.uniform(170, 330)
        start = rng.uniform(0.0, 0.5)
        length = rng.uniform(1.2, 1.7)
        s, m = int(start * RATE), int(length * RATE)
        phase = 0.0
        for i in range(min(m, n - s)):
            t = i / RATE
            f = f0 * (1 + 0.25 * math.sin(math.pi * t / length)) * (1 + 0.01 * math.sin(2 * math.pi * 5.5 * t + f0))
            phase += 2 * math.pi * f / RATE
            # an "oh" vowel: harmonics weighted round 450 Hz and 800 Hz
            v = 0.0
            for h in range(1, 9):
                fh = f * h
                w = math.exp(-((fh - 450) / 180) ** 2) + 0.5 * math.exp(-((fh - 800) / 200) ** 2)
                v += w * math.sin(h * phase)
            env = math.sin(math.pi * t / length) ** 1.5
            out[s + i] += v * env
    noise = lowpass([rng.uniform(-1, 1) for _ in range(n)], 1200)
    out = [v + 0.6 * w * math.sin(math.pi * i / n) for i, (v, w) in enumerate(zip(out, noise))]
    return fade(normalise(out, 0.6), 0.05, 0.4)


def applause():
    rng = random.Random(3)
    n = int(2.6 * RATE)
    out = [0.0] * n
    clap_noise = highpass(lowpass([rng.uniform(-1, 1) for _ in range(RATE)], 4500), 700)
    t = 0.0
    while t < 2.45:
        density = 60 + 140 * math.sin(math.pi * min(1.0, t / 2.45))  # claps per second
        t += rng.expovariate(density)
        s = int(t * RATE)
        length = int(rng.uniform(0.008, 0.02) * RATE)
        gain = rng.uniform(0.3, 1.0)
        offset = rng.randrange(0, RATE - length)
        for i in range(min(length, n - s)):
            out[s + i] += gain * clap_noise[offset + i] * math.exp(-i / (0.004 * RATE))
    return fade(normalise(out, 0.6), 0.08, 0.5)


# The nursery melody, 120 beats a minute (a beat is half a second), after a two-second count-in.
NOTES = {"C": 261.63, "D": 293.66, "E": 329.63, "F": 349.23, "G": 392.00, "A": 440.00}
PHRASES = [
    ("CCGGAAG", "一闪一闪亮晶晶", ["C", "C", "F", "C"]),
    ("FFEEDDC", "满天都是小星星", ["F", "C", "G", "C"]),
    ("GGFFEED", "挂在天上放光明", ["C", "F", "C", "G"]),
    ("GGFFEED", "好像许多小眼睛", ["C", "F", "C", "G"]),
    ("CCGGAAG", "一闪一闪亮晶晶", ["C", "C", "F", "C"]),
    ("FFEEDDC", "满天都是小星星", ["F", "C", "G", "C"]),
]
CHORDS = {"C": (130.81, 164.81, 196.00), "F": (174.61, 220.00, 261.63), "G": (196.00, 246.94, 293.66)}
BEAT = 0.5
INTRO = 2.0


def tone(out, start, length, freq, gain, harmonics, decay):
    s = int(start * RATE)
    for i in range(min(int(length * RATE), len(out) - s)):
        t = i / RATE
        env = min(1.0, t / 0.01) * math.exp(-decay * t) * min(1.0, (length - t) / 0.05)
        v = sum(a * math.sin(2 * math.pi * freq * h * t) for h, a in harmonics)
        out[s + i] += gain * env * v


def song():
    total = INTRO + len(PHRASES) * 8 * BEAT + 2.0
    n = int(total * RATE)
    melody, band = [0.0] * n, [0.0] * n
    for beat in range(4):  # count-in: soft ticks
        tone(band, beat * BEAT, 0.08, 1760, 0.15, [(1, 1.0)], 40)
    for p, (notes, _, chords) in enumerate(PHRASES):
        start = INTRO + p * 8 * BEAT
        for k, note in enumerate(notes):
            length = 2 * BEAT if k == 6 else BEAT
            at = start + (k if k < 6 else 6) * BEAT
            tone(melody, at, length * 0.95, NOTES[note] * 2, 0.5, [(1, 1.0), (2, 0.35), (3, 0.12)], 2.5)
        for c, chord in enumerate(chords):
            at = start + c * 2 * BEAT
            tone(band, at, 2 * BEAT, CHORDS[chord][0] / 2, 0.45, [(1, 1.0), (2, 0.2)], 1.5)
            for f in CHORDS[chord]:
                tone(band, at + BEAT, BEAT * 0.9, f, 0.12, [(1, 1.0), (2, 0.15)], 3.0)
    tone(band, INTRO + len(PHRASES) * 8 * BEAT, 1.8, 130.81 / 2, 0.45, [(1, 1.0), (2, 0.2)], 1.2)
    full = [m + b for m, b in zip(melody, band)]
    top = max(abs(v) for v in full)
    full = [v * 0.7 / top for v in full]
    band = [v * 0.7 / top for v in band]
    return full, band


def lyric_script():
    lines = ["karaoke := CreateKaraokeObject;", "karaoke.rows := 2;", "karaoke.clear;",
             "karaoke.songname := '小星星';", "karaoke.singer := '童谣';", "karaoke.TimeOffset := 0;"]
    for p, (_, text, _) in enumerate(PHRASES):
        start = INTRO + p * 8 * BEAT
        end = start + 8 * BEAT
        stamp = lambda s: "%02d:%06.3f" % (int(s) // 60, s - 60 * (int(s) // 60))
        durations = ",".join(["500"] * 6 + ["1000"])
        lines.append("karaoke.add('%s', '%s', '%s', '%s');" % (stamp(start), stamp(end), text, durations))
    return "\r\n".join(lines) + "\r\n"


def main():
    sounds = os.path.join(ROOT, "Sound")
    for name, make in (("photo.wav", shutter), ("尖叫.wav", woohoo), ("起哄.wav", crowd_hoot),
                       ("掌声.wav", applause)):
        samples = make()
        write_wav(os.path.join(sounds, name), [samples, samples])
        print(name, levels(samples))

    full, band = song()
    print("song", levels(full))
    songs = os.path.join(ROOT, "DownLoad", "Songs")
    lyrics = os.path.join(ROOT, "DownLoad", "Lyrics")
    os.makedirs(songs, exist_ok=True)
    os.makedirs(lyrics, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        # The melody a little left of the accompaniment, so the balance button is heard.
        write_wav(os.path.join(tmp, "full.wav"), [[0.8 * m + 0.2 * b for m, b in zip(full, band)],
                                                  [0.5 * m + 0.5 * b for m, b in zip(full, band)]])
        write_wav(os.path.join(tmp, "band.wav"), [band, band])
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", os.path.join(tmp, "full.wav"),
                        "-i", os.path.join(tmp, "band.wav"), "-map", "0:a", "-map", "1:a",
                        "-c:a", "wmav2", "-b:a", "64k", "-map_metadata", "-1", "-fflags", "+bitexact",
                        "-metadata", "title=小星星", os.path.join(songs, "小星星.wma")], check=True)
    with open(os.path.join(lyrics, "小星星.rar"), "w", encoding="utf-8", newline="") as f:
        f.write(lyric_script())
    return 0


if __name__ == "__main__":
    sys.exit(main())

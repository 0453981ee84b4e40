#!/usr/bin/python3
"""Makes the program's sound effects, the offline sample songs with their lyric scripts and the demo
song catalogue that lists them.

  assets/Sound/photo.wav    camera shutter
  assets/Sound/尖叫.wav     a joyful "woo-hoo" whistle (scream)
  assets/Sound/起哄.wav     a crowd hooting "ooh" (cheering)
  assets/Sound/掌声.wav     applause
  assets/DownLoad/Songs/小星星.wma, 两只老虎.wma, 祝你生日快乐.wma
                            the melodies of the songs, two audio tracks each:
                            1 melody with accompaniment, 2 accompaniment only
  assets/DownLoad/Lyrics/<song>.rar   their lyric scripts
  assets/KtvDemo/index.html the catalogue page shown when no catalogue address is set

Only the standard library; ffmpeg turns the songs into WMA. Deterministic (fixed seeds).
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


# The sample songs, 120 beats a minute (a beat is half a second), after a two-second count-in. Each row
# is one lyric line: its notes as (name, octave, beats), its text, and its chords as (chord, beats).
NOTES = {"C": 261.63, "D": 293.66, "E": 329.63, "F": 349.23, "G": 392.00, "A": 440.00, "B": 493.88}
CHORDS = {"C": (130.81, 164.81, 196.00), "F": (174.61, 220.00, 261.63), "G": (196.00, 246.94, 293.66)}
BEAT = 0.5
INTRO = 2.0


def notes(score):
    """"G4:0.75 G4:0.25 A4 C5:2" -> (name, octave, beats); a note without a length lasts a beat."""
    out = []
    for word in score.split():
        pitch, _, beats = word.partition(":")
        out.append((pitch[0], int(pitch[1:]), float(beats) if beats else 1))
    return out


def chords(score):
    """"C:3 G" -> (chord, beats); a chord without a length lasts two beats."""
    return [(w.partition(":")[0], float(w.partition(":")[2] or 2)) for w in score.split()]


SONGS = [
    {"name": "小星星", "singer": "童谣", "bitrate": "64k", "rows": [
        (notes("C5 C5 G5 G5 A5 A5 G5:2"), "一闪一闪亮晶晶", chords("C C F C")),
        (notes("F5 F5 E5 E5 D5 D5 C5:2"), "满天都是小星星", chords("F C G C")),
        (notes("G5 G5 F5 F5 E5 E5 D5:2"), "挂在天上放光明", chords("C F C G")),
        (notes("G5 G5 F5 F5 E5 E5 D5:2"), "好像许多小眼睛", chords("C F C G")),
        (notes("C5 C5 G5 G5 A5 A5 G5:2"), "一闪一闪亮晶晶", chords("C C F C")),
        (notes("F5 F5 E5 E5 D5 D5 C5:2"), "满天都是小星星", chords("F C G C"))]},
    {"name": "两只老虎", "singer": "童谣", "bitrate": "48k", "rows": [
        (notes("C5 D5 E5 C5 C5 D5 E5 C5"), "两只老虎两只老虎", chords("C C C C")),
        (notes("E5 F5 G5:2 E5 F5 G5:2"), "跑得快跑得快", chords("C C C C")),
        (notes("G5:.5 A5:.5 G5:.5 F5:.5 E5 C5 G5:.5 A5:.5 G5:.5 F5:.5 E5 C5"), "一只没有眼睛一只没有尾巴",
         chords("C G C G")),
        (notes("C5 G4 C5:2 C5 G4 C5:2"), "真奇怪真奇怪", chords("C G C C"))]},
    {"name": "祝你生日快乐", "singer": "佚名", "bitrate": "48k", "rows": [
        (notes("G4:.75 G4:.25 A4 G4 C5 B4:2"), "祝你生日快乐", chords("C:3 G:3")),
        (notes("G4:.75 G4:.25 A4 G4 D5 C5:2"), "祝你生日快乐", chords("G:3 C:3")),
        (notes("G4:.75 G4:.25 G5 E5 C5 B4 A4"), "祝你幸福快乐", chords("C:3 F:3")),
        (notes("F5:.75 F5:.25 E5 C5 D5 C5:2"), "祝你天天快乐", chords("C:3 G:1 C:2"))]},
]


def frequency(name, octave):
    return NOTES[name] * 2 ** (octave - 4)


def tone(out, start, length, freq, gain, harmonics, decay):
    s = int(start * RATE)
    for i in range(min(int(length * RATE), len(out) - s)):
        t = i / RATE
        env = min(1.0, t / 0.01) * math.exp(-decay * t) * min(1.0, (length - t) / 0.05)
        v = sum(a * math.sin(2 * math.pi * freq * h * t) for h, a in harmonics)
        out[s + i] += gain * env * v


def row_times(song):
    """(start, end) of every row in seconds."""
    times, at = [], INTRO
    for row_notes, _, _ in song["rows"]:
        length = sum(b for _, _, b in row_notes) * BEAT
        times.append((at, at + length))
        at += length
    return times


def render(song):
    """The song with its accompaniment, and the accompaniment alone."""
    times = row_times(song)
    total = times[-1][1] + 2.0
    n = int(total * RATE)
    melody, band = [0.0] * n, [0.0] * n
    for beat in range(4):  # count-in: soft ticks
        tone(band, beat * BEAT, 0.08, 1760, 0.15, [(1, 1.0)], 40)
    for (row_notes, _, row_chords), (start, _) in zip(song["rows"], times):
        at = start
        for name, octave, beats in row_notes:
            tone(melody, at, beats * BEAT * 0.95, frequency(name, octave), 0.5, [(1, 1.0), (2, 0.35), (3, 0.12)],
                 2.5)
            at += beats * BEAT
        at = start
        for chord, beats in row_chords:
            tone(band, at, beats * BEAT, CHORDS[chord][0] / 2, 0.45, [(1, 1.0), (2, 0.2)], 1.5)
            for k in range(1, int(round(beats))):  # the chord on the off beats
                for f in CHORDS[chord]:
                    tone(band, at + k * BEAT, BEAT * 0.9, f, 0.12, [(1, 1.0), (2, 0.15)], 3.0)
            at += beats * BEAT
    tone(band, times[-1][1], 1.8, 130.81 / 2, 0.45, [(1, 1.0), (2, 0.2)], 1.2)
    full = [m + b for m, b in zip(melody, band)]
    top = max(abs(v) for v in full)
    full = [v * 0.7 / top for v in full]
    band = [v * 0.7 / top for v in band]
    return full, band


def lyric_script(song):
    lines = ["karaoke := CreateKaraokeObject;", "karaoke.rows := 2;", "karaoke.clear;",
             "karaoke.songname := '%s';" % song["name"], "karaoke.singer := '%s';" % song["singer"],
             "karaoke.TimeOffset := 0;"]
    stamp = lambda s: "%02d:%06.3f" % (int(s) // 60, s - 60 * (int(s) // 60))
    for (row_notes, text, _), (start, end) in zip(song["rows"], row_times(song)):
        # A character per note where they match, else the row's time shared out evenly.
        if len(row_notes) == len(text):
            durations = [int(b * BEAT * 1000) for _, _, b in row_notes]
        else:
            durations = [int((end - start) * 1000 / len(text))] * len(text)
        lines.append("karaoke.add('%s', '%s', '%s', '%s');" % (stamp(start), stamp(end), text,
                                                              ",".join(str(d) for d in durations)))
    return "\r\n".join(lines) + "\r\n"


# Links of the demo catalogue name the files with this address; the files are already in the program's
# song and lyric folders, so nothing is fetched (the address never resolves).
DEMO_SERVER = "http://ktv.korvel.invalid"

CATALOGUE_STYLE = """
body { margin: 0; font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; font-size: 13px;
       color: #333333; background: #EEF2F9; }
header { display: flex; align-items: center; gap: 8px; padding: 8px 14px; color: #FFFFFF;
         background: linear-gradient(#3062C9, #234FAC); }
header h1 { margin: 0; font-size: 15px; }
header span { margin-left: auto; font-size: 12px; opacity: 0.85; }
ul { list-style: none; margin: 8px 10px; padding: 0; }
li { display: flex; align-items: center; margin-bottom: 6px; padding: 6px 10px; background: #FFFFFF;
     border: 1px solid #D6DEEC; border-radius: 6px; }
li:hover { border-color: #A6C2FF; }
.no { width: 22px; height: 22px; margin-right: 10px; border-radius: 11px; background: #E3ECFD; color: #1F4FA8;
      font-size: 12px; line-height: 22px; text-align: center; }
.name { font-size: 14px; font-weight: bold; }
.singer { margin-left: 10px; color: #78829A; font-size: 12px; }
.time { margin-left: auto; margin-right: 14px; color: #78829A; font-size: 12px; }
a.pick { padding: 4px 14px; border-radius: 4px; background: #2E6BD6; color: #FFFFFF; font-size: 12px;
         text-decoration: none; }
a.pick:hover { background: #4280E8; }
"""

MICROPHONE = ('<svg width="18" height="18" viewBox="0 0 18 18" fill="none" stroke="#FFFFFF" stroke-width="1.6">'
              '<rect x="6.5" y="2" width="5" height="9" rx="2.5"/><path d="M4 8.5a5 5 0 0 0 10 0"/>'
              '<path d="M9 13.5v2.5M6.5 16h5"/></svg>')


def write_catalogue(songs):
    """The demo catalogue: one line per sample song with a link in the catalogue's form. The links ask for
    a window of their own, so the browser reports every click (a link within the page it does not)."""
    from html import escape
    items = []
    for i, song in enumerate(songs, 1):
        link = "#6403MTV;%s/Songs/%s.wma;%s/Lyrics/%s.rar;%s;%s;demo" % (
            DEMO_SERVER, song["name"], DEMO_SERVER, song["name"], song["name"], song["singer"])
        seconds = int(round(song["seconds"]))
        items.append('<li><span class="no">%d</span><span class="name">%s</span><span class="singer">%s</span>'
                     '<span class="time">%02d:%02d</span><a class="pick" href="%s" target="_blank">点歌</a></li>'
                     % (i, escape(song["name"]), escape(song["singer"]), seconds // 60, seconds % 60,
                        escape(link)))
    page = ('<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n<title>KTV 点歌台</title>\n'
            '<style>%s</style>\n</head>\n<body>\n<header>%s<h1>KTV 点歌台</h1>'
            '<span>示例曲库 · 歌曲和歌词随程序提供，无需联网</span></header>\n<ul>\n%s\n</ul>\n</body>\n</html>\n'
            % (CATALOGUE_STYLE, MICROPHONE, "\n".join(items)))
    folder = os.path.join(ROOT, "KtvDemo")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "index.html"), "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


def main():
    sounds = os.path.join(ROOT, "Sound")
    for name, make in (("photo.wav", shutter), ("尖叫.wav", woohoo), ("起哄.wav", crowd_hoot),
                       ("掌声.wav", applause)):
        samples = make()
        write_wav(os.path.join(sounds, name), [samples, samples])
        print(name, levels(samples))

    songs = os.path.join(ROOT, "DownLoad", "Songs")
    lyrics = os.path.join(ROOT, "DownLoad", "Lyrics")
    os.makedirs(songs, exist_ok=True)
    os.makedirs(lyrics, exist_ok=True)
    for song in SONGS:
        full, band = render(song)
        print(song["name"], levels(full))
        with tempfile.TemporaryDirectory() as tmp:
            # Track 1 the song, track 2 the accompaniment alone; the melody a little left of the
            # accompaniment, so the balance button is heard.
            write_wav(os.path.join(tmp, "full.wav"), [[0.8 * m + 0.2 * b for m, b in zip(full, band)],
                                                      [0.5 * m + 0.5 * b for m, b in zip(full, band)]])
            write_wav(os.path.join(tmp, "band.wav"), [band, band])
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", os.path.join(tmp, "full.wav"),
                            "-i", os.path.join(tmp, "band.wav"), "-map", "0:a", "-map", "1:a",
                            "-c:a", "wmav2", "-b:a", song["bitrate"], "-map_metadata", "-1", "-fflags", "+bitexact",
                            "-metadata", "title=" + song["name"], os.path.join(songs, song["name"] + ".wma")],
                           check=True)
        with open(os.path.join(lyrics, song["name"] + ".rar"), "w", encoding="utf-8", newline="") as f:
            f.write(lyric_script(song))
        song["seconds"] = len(full) / RATE
    write_catalogue(SONGS)
    return 0


if __name__ == "__main__":
    sys.exit(main())

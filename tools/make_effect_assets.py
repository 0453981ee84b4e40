#!/usr/bin/python3
"""Draws the pictures Korvel ships: the logo, the effect layers, the picture-in-picture masks, the colour
preset icons, the wait-video pictures and Img_Config.xml. Run from the repository root; the output goes
to assets/ and is committed with this script."""
import math
import os
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
W, H = 320, 240


def out(*parts):
    path = os.path.join(ROOT, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def gradient(size, top, bottom):
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(size[1]):
        d.line([(0, y), (size[0], y)], fill=lerp(top, bottom, y / max(1, size[1] - 1)))
    return img


def heart_polygon(cx, cy, s, rot=0.0):
    pts = []
    for i in range(48):
        t = 2 * math.pi * i / 48
        x = 16 * math.sin(t) ** 3
        y = -(13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t))
        xr = x * math.cos(rot) - y * math.sin(rot)
        yr = x * math.sin(rot) + y * math.cos(rot)
        pts.append((cx + xr * s / 16, cy + yr * s / 16))
    return pts


def star_polygon(cx, cy, r_out, r_in, points=5, rot=-math.pi / 2):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rot + math.pi * i / points
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


# ---------------------------------------------------------------------------------------------- logo
def make_logo():
    # Black is transparent when stamped; a near-black rim keeps the light text readable on bright video.
    img = Image.new("RGB", (148, 28), (0, 0, 0))
    d = ImageDraw.Draw(img)
    # Lens badge: an orange-to-magenta disc with a light ring and a dark pupil.
    badge = Image.new("RGB", (26, 26), (0, 0, 0))
    bd = ImageDraw.Draw(badge)
    for r in range(12, 0, -1):
        bd.ellipse([13 - r, 13 - r, 13 + r, 13 + r], fill=lerp((236, 64, 122), (255, 167, 38), r / 12))
    bd.ellipse([7, 7, 19, 19], fill=(250, 240, 230))
    bd.ellipse([9, 9, 17, 17], fill=(40, 30, 60))
    bd.ellipse([10, 10, 13, 13], fill=(200, 220, 250))
    mask = Image.new("L", (26, 26), 0)
    ImageDraw.Draw(mask).ellipse([1, 1, 25, 25], fill=255)
    img.paste(badge, (1, 1), mask)
    font = ImageFont.truetype(BOLD, 19)
    text_mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(text_mask).text((31, 2), "Korvel", font=font, fill=255)
    small = ImageFont.truetype(SANS, 9)
    ImageDraw.Draw(text_mask).text((104, 14), "studio", font=small, fill=255)
    rim = text_mask.filter(ImageFilter.MaxFilter(3))
    img.paste((18, 16, 24), (0, 0), rim.point(lambda v: 255 if v > 40 else 0))
    fill = gradient(img.size, (255, 250, 240), (255, 205, 150))
    img.paste(fill, (0, 0), text_mask.point(lambda v: 255 if v > 90 else 0))
    img.save(out("Logo", "logo.png"))


# ------------------------------------------------------------------------------------ GIF helpers
def to_gif_frame(img, dither=False):
    """Quantises a picture for a GIF while keeping its pure black and pure white exact: the compositor
    treats 0 and 255 specially, so they must survive the palette. Soft glows are dithered against
    banding."""
    rgb = img.convert("RGB")
    q = rgb.quantize(colors=250, method=Image.Quantize.MEDIANCUT,
                     dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE)
    pal = q.getpalette()[: 250 * 3]
    pal += [0, 0, 0, 255, 255, 255] + [0, 0, 0] * 4
    q.putpalette(pal)
    r, g, b = rgb.split()
    white = ImageChops.multiply(ImageChops.multiply(r.point(lambda v: 255 if v == 255 else 0),
                                                    g.point(lambda v: 255 if v == 255 else 0)),
                                b.point(lambda v: 255 if v == 255 else 0))
    black = ImageChops.multiply(ImageChops.multiply(r.point(lambda v: 255 if v == 0 else 0),
                                                    g.point(lambda v: 255 if v == 0 else 0)),
                                b.point(lambda v: 255 if v == 0 else 0))
    q.paste(250, (0, 0), black)
    q.paste(251, (0, 0), white)
    return q


def write_gif(frames, path, delay=90, dither=False):
    pal = [to_gif_frame(f, dither) for f in frames]
    pal[0].save(path, save_all=len(pal) > 1, append_images=pal[1:], duration=delay, loop=0,
                optimize=False, disposal=1)


def cap(img, top=250):
    """Keeps every channel below 255, which the compositor would read as nothing."""
    return img.point(lambda v: min(v, top))


def supersampled(size, draw_fn, factor=4, mode="RGB", bg=(0, 0, 0)):
    big = Image.new(mode, (size[0] * factor, size[1] * factor), bg)
    draw_fn(big, ImageDraw.Draw(big), factor)
    return big.resize(size, Image.LANCZOS)


def bloom(img, radius):
    """The picture with its own blurred light added, kept below 255."""
    return cap(ImageChops.add(img, img.filter(ImageFilter.GaussianBlur(radius))))


def glow(size, cx, cy, radius, colour, strength=1.0):
    """An additive soft light: colour scaled by a round falloff from the centre."""
    d = int(radius * 2)
    falloff = Image.new("L", (d, d), 0)
    fd = ImageDraw.Draw(falloff)
    steps = 160
    for i in range(steps):
        t = 1 - i / steps
        fd.ellipse([radius * (1 - t), radius * (1 - t), radius * (1 + t), radius * (1 + t)],
                   fill=int(min(255, ((1 - t) ** 2.2) * 255 * strength)))
    falloff = falloff.filter(ImageFilter.GaussianBlur(max(1, radius / 12)))
    layer = Image.new("RGB", size, (0, 0, 0))
    solid = Image.new("RGB", (d, d), colour)
    layer.paste(ImageChops.multiply(solid, Image.merge("RGB", (falloff, falloff, falloff))),
                (int(cx - radius), int(cy - radius)))
    return layer


# ----------------------------------------------------------------------------------- animations
def make_hearts():
    rnd = random.Random(7)
    n, size = 16, (W, H)
    hearts = [(rnd.uniform(0, W), rnd.uniform(0, H), rnd.uniform(7, 15), rnd.choice([1, 2]),
               rnd.uniform(0, 2 * math.pi), rnd.choice([(236, 64, 122), (244, 143, 177), (229, 57, 53),
                                                        (255 - 30, 110, 160)]))
              for _ in range(22)]
    frames = []
    for t in range(n):
        def draw(img, d, f):
            for x, y, s, laps, ph, col in hearts:
                yy = (y + laps * H * t / n) % (H + 40) - 20
                xx = x + 8 * math.sin(ph + 2 * math.pi * t / n)
                rot = 0.3 * math.sin(ph + 2 * math.pi * t / n)
                d.polygon([(px * f, py * f) for px, py in heart_polygon(xx, yy, s, rot)], fill=col)
                hx, hy = xx - s * 0.35, yy - s * 0.35
                d.ellipse([(hx - s * 0.18) * f, (hy - s * 0.12) * f, (hx + s * 0.18) * f, (hy + s * 0.12) * f],
                          fill=lerp(col, (250, 240, 245), 0.6))
        frames.append(cap(supersampled(size, draw)))
    write_gif(frames, out("Effect", "cartoon", "hearts.gif"))


def make_snow():
    rnd = random.Random(3)
    n = 16
    flakes = [(rnd.uniform(0, W), rnd.uniform(0, H), rnd.uniform(1.2, 3.6), rnd.choice([1, 1, 2]),
               rnd.uniform(0, 2 * math.pi)) for _ in range(90)]
    frames = []
    for t in range(n):
        def draw(img, d, f):
            for x, y, r, laps, ph in flakes:
                yy = (y + laps * H * t / n) % H
                xx = (x + 6 * math.sin(ph + 2 * math.pi * t / n)) % W
                shade = 200 + int(40 * r / 3.6)
                d.ellipse([(xx - r) * f, (yy - r) * f, (xx + r) * f, (yy + r) * f],
                          fill=(shade - 10, shade - 4, shade))
        img = supersampled((W, H), draw)
        img = ImageChops.add(img, img.filter(ImageFilter.GaussianBlur(2)))
        frames.append(cap(img, 245))
    write_gif(frames, out("Effect", "cartoon", "snow.gif"))


def make_stars():
    rnd = random.Random(11)
    n, size = 12, (160, 120)
    stars = [(rnd.uniform(6, 154), rnd.uniform(6, 114), rnd.uniform(4, 9), rnd.uniform(0, 2 * math.pi),
              rnd.choice([(255, 214, 90), (255, 236, 150), (180, 220, 255), (255, 180, 80)])) for _ in range(22)]
    frames = []
    for t in range(n):
        def draw(img, d, f):
            for x, y, r, ph, col in stars:
                k = 0.55 + 0.45 * math.sin(ph + 2 * math.pi * t / n)
                rr = r * (0.6 + 0.4 * k)
                d.polygon([(px * f, py * f) for px, py in star_polygon(x, y, rr, rr * 0.45, 5,
                                                                       -math.pi / 2 + 0.4 * ph + 0.2 * t)],
                          fill=lerp((0, 0, 0), col, k))
        img = supersampled(size, draw)
        img = ImageChops.add(img, img.filter(ImageFilter.GaussianBlur(2.5)))
        frames.append(cap(img))
    write_gif(frames, out("Effect", "cartoon", "stars.gif"))


def make_bubbles():
    rnd = random.Random(5)
    n, size = 12, (160, 120)
    bubbles = [(rnd.uniform(8, 152), rnd.uniform(0, 120), rnd.uniform(4, 11), rnd.uniform(0, 2 * math.pi),
                rnd.choice([(120, 200, 250), (170, 140, 250), (120, 240, 210)])) for _ in range(14)]
    frames = []
    for t in range(n):
        def draw(img, d, f):
            for x, y, r, ph, col in bubbles:
                yy = (y - 120 * t / n) % 140 - 10
                xx = x + 4 * math.sin(ph + 2 * math.pi * t / n)
                d.ellipse([(xx - r) * f, (yy - r) * f, (xx + r) * f, (yy + r) * f], outline=col, width=int(1.4 * f))
                d.ellipse([(xx - r * 0.55) * f, (yy - r * 0.6) * f, (xx - r * 0.15) * f, (yy - r * 0.25) * f],
                          fill=lerp(col, (240, 250, 250), 0.6))
        frames.append(cap(supersampled(size, draw)))
    write_gif(frames, out("Effect", "cartoon", "bubbles.gif"))


# ---------------------------------------------------------------------------------------- borders
def frame_base():
    return Image.new("RGB", (W, H), (255, 255, 255))


def make_gold_frame():
    def draw(img, d, f):
        # Outer band: a gold gradient, then a fine dark line and a light inner bevel.
        for i in range(18):
            t = i / 17
            col = lerp((120, 82, 20), (236, 196, 92), math.sin(t * math.pi))
            d.rounded_rectangle([i * f, i * f, (W - i) * f - 1, (H - i) * f - 1], radius=(22 - i) * f,
                                outline=col, width=f)
        d.rounded_rectangle([18 * f, 18 * f, (W - 18) * f - 1, (H - 18) * f - 1], radius=8 * f,
                            outline=(90, 60, 16), width=2 * f)
        for cx, cy in [(9, 9), (W - 9, 9), (9, H - 9), (W - 9, H - 9)]:
            d.ellipse([(cx - 6) * f, (cy - 6) * f, (cx + 6) * f, (cy + 6) * f], fill=(250, 226, 140),
                      outline=(110, 74, 18), width=f)
            d.ellipse([(cx - 2) * f, (cy - 2) * f, (cx + 2) * f, (cy + 2) * f], fill=(160, 110, 30))
        for x in range(40, W - 30, 40):
            for y in (4, H - 13):
                d.polygon([((x) * f, (y + 4.5) * f), ((x + 4.5) * f, y * f), ((x + 9) * f, (y + 4.5) * f),
                           ((x + 4.5) * f, (y + 9) * f)], fill=(250, 230, 160))
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(img)], out("Effect", "frame", "gold.gif"))


def snap_white(img, threshold=246):
    """Near-white left by smoothing becomes pure white, so the middle lets the video through."""
    r, g, b = img.split()
    m = ImageChops.multiply(ImageChops.multiply(r.point(lambda v: 255 if v >= threshold else 0),
                                                g.point(lambda v: 255 if v >= threshold else 0)),
                            b.point(lambda v: 255 if v >= threshold else 0))
    out_img = img.copy()
    out_img.paste((255, 255, 255), (0, 0), m)
    return out_img


def make_film_frame():
    def draw(img, d, f):
        for y0 in (0, H - 30):
            d.rectangle([0, y0 * f, W * f, (y0 + 30) * f], fill=(24, 22, 28))
            for x in range(6, W, 22):
                d.rounded_rectangle([x * f, (y0 + 9) * f, (x + 12) * f, (y0 + 21) * f], radius=2 * f,
                                    fill=(255, 255, 255))
        d.rectangle([0, 30 * f, W * f, 33 * f], fill=(60, 56, 64))
        d.rectangle([0, (H - 33) * f, W * f, (H - 30) * f], fill=(60, 56, 64))
        font = ImageFont.truetype(BOLD, 7 * f)
        for i, x in enumerate(range(24, W, 88)):
            d.text((x * f, (H - 30 + 1) * f), "KORVEL %02dA" % (i + 12), font=font, fill=(232, 170, 60))
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(img)], out("Effect", "frame", "film.gif"))


def make_heart_frame():
    def draw(img, d, f):
        d.rounded_rectangle([0, 0, W * f - 1, H * f - 1], radius=4 * f, outline=(240, 150, 190), width=14 * f)
        d.rounded_rectangle([12 * f, 12 * f, (W - 12) * f - 1, (H - 12) * f - 1], radius=10 * f,
                            outline=(214, 60, 120), width=3 * f)
        pts = []
        for x in range(12, W - 4, 24):
            pts += [(x, 7), (x + 12, H - 7)]
        for y in range(26, H - 16, 24):
            pts += [(7, y), (W - 7, y + 12)]
        for i, (x, y) in enumerate(pts):
            col = [(200, 30, 90), (250, 250, 250 - 5), (230, 80, 140)][i % 3]
            d.polygon([(px * f, py * f) for px, py in heart_polygon(x, y + 0.5, 5.5)], fill=col)
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(img)], out("Effect", "frame", "hearts.gif"))


def make_photo_frame():
    def draw(img, d, f):
        # A print with a wide lower margin, a soft shadow line and a handwritten caption.
        paper = (244, 240, 230)
        d.rectangle([0, 0, W * f, H * f], fill=paper)
        d.rectangle([16 * f, 14 * f, (W - 16) * f - 1, (H - 44) * f - 1], fill=(255, 255, 255))
        d.rectangle([16 * f, 14 * f, (W - 16) * f - 1, 16 * f], fill=(196, 190, 178))
        d.rectangle([16 * f, 14 * f, 18 * f, (H - 44) * f - 1], fill=(210, 204, 192))
        font = ImageFont.truetype(CJK, 17 * f)
        d.text((W * f // 2, (H - 23) * f), "美好时光 ♥ Good times", font=font, fill=(70, 84, 120), anchor="mm")
        for i in range(4):
            d.line([(0, (H - 1 - i) * f), (W * f, (H - 1 - i) * f)], fill=lerp(paper, (180, 174, 160), i / 4), width=f)
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([img], out("Effect", "frame", "photo.gif"))


# ---------------------------------------------------------------------------------------- pendants
def make_balloons():
    def draw(img, d, f):
        balloons = [(262, 52, (229, 57, 53)), (292, 74, (30, 136, 229)), (238, 84, (253, 216, 53)),
                (276, 104, (67, 160, 71)), (302, 30, (142, 36, 170))]
        for x, y, col in balloons:
            d.line([(x * f, (y + 26) * f), ((x + 6) * f, 140 * f), ((268) * f, 200 * f)], fill=(90, 90, 90),
                   width=max(1, f // 2))
        for x, y, col in balloons:
            d.ellipse([(x - 18) * f, (y - 24) * f, (x + 18) * f, (y + 24) * f], fill=col)
            d.ellipse([(x - 11) * f, (y - 17) * f, (x - 3) * f, (y - 6) * f], fill=lerp(col, (250, 250, 250), 0.65))
            d.polygon([((x - 4) * f, (y + 24) * f), ((x + 4) * f, (y + 24) * f), (x * f, (y + 29) * f)], fill=col)
        d.polygon([(262 * f, 196 * f), (274 * f, 196 * f), (268 * f, 206 * f)], fill=(200, 60, 90))
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(cap(img, 254))], out("Effect", "other", "balloons.gif"))


def make_crown():
    def draw(img, d, f):
        cx = W // 2
        pts = [(cx - 46, 62), (cx - 46, 22), (cx - 25, 42), (cx, 8), (cx + 25, 42), (cx + 46, 22), (cx + 46, 62)]
        d.polygon([(x * f, y * f) for x, y in pts], fill=(236, 180, 40), outline=(150, 100, 20))
        d.rectangle([(cx - 48) * f, 58 * f, (cx + 48) * f, 72 * f], fill=(204, 150, 30), outline=(140, 90, 20))
        for x, col in [(cx - 30, (211, 47, 47)), (cx, (30, 136, 229)), (cx + 30, (56, 142, 60))]:
            d.ellipse([(x - 5) * f, 60 * f, (x + 5) * f, 70 * f], fill=col, outline=(250, 240, 200))
        for x, y in [(cx - 46, 22), (cx, 8), (cx + 46, 22)]:
            d.ellipse([(x - 5) * f, (y - 5) * f, (x + 5) * f, (y + 5) * f], fill=(250, 236, 160))
        d.polygon([((cx - 30) * f, 46 * f), ((cx - 20) * f, 52 * f), ((cx - 30) * f, 40 * f)], fill=(250, 220, 120))
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(cap(img, 254))], out("Effect", "other", "crown.gif"))


def make_flowers():
    rnd = random.Random(9)
    def draw(img, d, f):
        for x, y, r, col in [(30, 206, 26, (240, 98, 146)), (74, 222, 20, (255, 183, 77)),
                             (16, 160, 18, (186, 104, 200)), (62, 176, 14, (250, 200, 210))]:
            for k in range(8):
                a = k * math.pi / 4 + rnd.uniform(-0.1, 0.1)
                px, py = x + r * 0.62 * math.cos(a), y + r * 0.62 * math.sin(a)
                d.ellipse([(px - r * 0.42) * f, (py - r * 0.42) * f, (px + r * 0.42) * f, (py + r * 0.42) * f],
                          fill=col, outline=lerp(col, (120, 40, 60), 0.4))
            d.ellipse([(x - r * 0.32) * f, (y - r * 0.32) * f, (x + r * 0.32) * f, (y + r * 0.32) * f],
                      fill=(250, 210, 60), outline=(190, 130, 30))
        for x, y, a in [(100, 226, -0.5), (44, 140, -1.3), (96, 196, -0.2)]:
            d.ellipse([(x - 12) * f, (y - 5) * f, (x + 12) * f, (y + 5) * f], fill=(76, 160, 70))
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(cap(img, 254))], out("Effect", "other", "flowers.gif"))


def make_bow():
    def draw(img, d, f):
        red, dark = (214, 40, 60), (140, 20, 40)
        d.polygon([(40 * f, 40 * f), (8 * f, 14 * f), (6 * f, 62 * f)], fill=red, outline=dark)
        d.polygon([(40 * f, 40 * f), (74 * f, 12 * f), (78 * f, 64 * f)], fill=red, outline=dark)
        d.polygon([(36 * f, 44 * f), (22 * f, 96 * f), (32 * f, 92 * f), (40 * f, 100 * f), (44 * f, 46 * f)],
                  fill=(190, 30, 50))
        d.polygon([(44 * f, 44 * f), (62 * f, 94 * f), (54 * f, 92 * f), (50 * f, 100 * f), (38 * f, 46 * f)],
                  fill=(200, 34, 54))
        d.ellipse([31 * f, 31 * f, 50 * f, 50 * f], fill=(236, 70, 90), outline=dark)
        d.line([(14 * f, 22 * f), (34 * f, 38 * f)], fill=(246, 140, 150), width=2 * f)
        d.line([(70 * f, 20 * f), (48 * f, 38 * f)], fill=(246, 140, 150), width=2 * f)
    img = supersampled((W, H), draw, bg=(255, 255, 255))
    write_gif([snap_white(cap(img, 254))], out("Effect", "other", "bow.gif"))


# ------------------------------------------------------------------------------------------ lights
def make_spotlights():
    def draw(img, d, f):
        for x0, x1, col in [(40, 120, (250, 210, 120)), (280, 190, (140, 190, 250)), (160, 160, (250, 150, 210))]:
            d.polygon([((x0 - 6) * f, 0), ((x0 + 6) * f, 0), ((x1 + 60) * f, H * f), ((x1 - 60) * f, H * f)],
                      fill=lerp((0, 0, 0), col, 0.45))
    beams = supersampled((W, H), draw).filter(ImageFilter.GaussianBlur(9))
    fade = Image.linear_gradient("L").resize((W, H)).point(lambda v: 255 - int(v * 0.75))
    beams = ImageChops.multiply(beams, Image.merge("RGB", (fade, fade, fade)))
    for x, col in [(40, (250, 220, 150)), (280, (160, 200, 250)), (160, (250, 170, 220))]:
        beams = ImageChops.add(beams, glow((W, H), x, 0, 36, col))
    write_gif([cap(beams)], out("Effect", "light", "spotlights.gif"), dither=True)


def make_corner_glow():
    img = Image.new("RGB", (W, H))
    for cx, cy, r, col in [(0, 0, 190, (120, 60, 200)), (W, H, 200, (30, 120, 220)), (W, 0, 120, (200, 60, 150)),
                           (0, H, 110, (40, 160, 170))]:
        img = ImageChops.add(img, glow((W, H), cx, cy, r, col, 0.9))
    write_gif([cap(img)], out("Effect", "light", "corners.gif"), dither=True)


def make_bokeh():
    rnd = random.Random(21)
    n = 12
    dots = [(rnd.uniform(0, W), rnd.uniform(0, H), rnd.uniform(8, 22), rnd.uniform(0, 2 * math.pi),
             rnd.choice([(250, 190, 90), (250, 120, 160), (120, 180, 250), (160, 250, 170)])) for _ in range(26)]
    frames = []
    for t in range(n):
        img = Image.new("RGB", (W, H))
        layer = Image.new("RGB", (W, H))
        d = ImageDraw.Draw(layer)
        for x, y, r, ph, col in dots:
            k = 0.35 + 0.3 * (1 + math.sin(ph + 2 * math.pi * t / n)) / 2
            d.ellipse([x - r, y - r, x + r, y + r], fill=lerp((0, 0, 0), col, k))
        img = ImageChops.add(img, layer.filter(ImageFilter.GaussianBlur(2.2)))
        frames.append(cap(img))
    write_gif(frames, out("Effect", "light", "bokeh.gif"), delay=120)


def make_sparkle():
    rnd = random.Random(33)
    n = 12
    sparks = [(rnd.uniform(10, W - 10), rnd.uniform(10, H - 10), rnd.uniform(6, 14), rnd.randrange(n))
              for _ in range(18)]
    frames = []
    for t in range(n):
        img = Image.new("RGB", (W, H))
        d = ImageDraw.Draw(img)
        for x, y, r, born in sparks:
            age = (t - born) % n
            k = max(0.0, 1 - age / 4)
            if k <= 0:
                continue
            col = lerp((0, 0, 0), (250, 244, 200), k)
            rr = r * (0.5 + 0.5 * k)
            d.line([(x - rr, y), (x + rr, y)], fill=col, width=2)
            d.line([(x, y - rr), (x, y + rr)], fill=col, width=2)
            d.line([(x - rr * 0.4, y - rr * 0.4), (x + rr * 0.4, y + rr * 0.4)], fill=col, width=1)
            d.line([(x - rr * 0.4, y + rr * 0.4), (x + rr * 0.4, y - rr * 0.4)], fill=col, width=1)
        frames.append(bloom(img, 3))
    write_gif(frames, out("Effect", "light", "sparkle.gif"), delay=100)


# ---------------------------------------------------------------------------------- special effects
# Category 32 adds its pictures onto the video like the lights: black adds nothing.
def make_fireworks():
    rnd = random.Random(45)
    n = 16
    # Launched one after another, so that every frame shows some.
    bursts = [(rnd.uniform(50, W - 50), rnd.uniform(40, H * 0.55), i * n // 5, rnd.uniform(40, 70),
               rnd.choice([(250, 120, 80), (120, 200, 250), (250, 220, 110), (210, 130, 250), (140, 250, 160)]))
              for i in range(5)]
    frames = []
    for t in range(n):
        layer = Image.new("RGB", (W, H))
        d = ImageDraw.Draw(layer)
        for cx, cy, born, reach, col in bursts:
            age = (t - born) % n
            if age > 9:
                continue
            k = age / 9
            fade = (1 - k) ** 1.3
            for i in range(24):
                a = 2 * math.pi * i / 24
                r = reach * (1 - (1 - k) ** 2)
                x, y = cx + r * math.cos(a), cy + r * math.sin(a) + 12 * k * k
                tail = max(2.0, r * 0.25)
                x0, y0 = cx + (r - tail) * math.cos(a), cy + (r - tail) * math.sin(a) + 12 * k * k
                d.line([(x0, y0), (x, y)], fill=lerp((0, 0, 0), col, 0.5 * fade), width=2)
                d.ellipse([x - 1.6, y - 1.6, x + 1.6, y + 1.6], fill=lerp((0, 0, 0), col, fade))
        frames.append(bloom(layer, 3))
    write_gif(frames, out("Effect", "SpecialEffectIcon", "fireworks.gif"), delay=80)


def make_meteors():
    rnd = random.Random(52)
    n = 12
    meteors = [(rnd.uniform(-80, W), rnd.uniform(-H, H), rnd.uniform(30, 60), rnd.uniform(0.5, 1.0))
               for _ in range(14)]
    frames = []
    for t in range(n):
        layer = Image.new("RGB", (W, H))
        d = ImageDraw.Draw(layer)
        for x, y, length, bright in meteors:
            # Each falls one screen height per loop, down and to the right.
            p = (y + t * (H * 1.6) / n) % (H * 1.6) - H * 0.3
            q = x + (p - y) * 0.5
            for j in range(12):
                f = j / 12
                col = lerp((0, 0, 0), (190, 220, 250), bright * (1 - f) ** 1.5)
                d.line([(q - f * length * 0.5, p - f * length), (q - (f + 1 / 12) * length * 0.5,
                                                                 p - (f + 1 / 12) * length)], fill=col, width=2)
            d.ellipse([q - 2, p - 2, q + 2, p + 2], fill=lerp((0, 0, 0), (240, 246, 250), bright))
        frames.append(bloom(layer, 2))
    write_gif(frames, out("Effect", "SpecialEffectIcon", "meteors.gif"), delay=80)


def make_aurora():
    n = 12
    frames = []
    for t in range(n):
        img = Image.new("RGB", (W, H))
        d = ImageDraw.Draw(img)
        for band, (col, base, amp) in enumerate([((60, 200, 140), 46, 16), ((150, 90, 220), 74, 12),
                                                  ((60, 150, 230), 100, 10)]):
            ph = 2 * math.pi * t / n + band * 1.7
            for x in range(0, W, 2):
                y = base + amp * math.sin(x / 38 + ph) + 6 * math.sin(x / 17 - ph * 2)
                d.line([(x, y - 22), (x, y + 6)], fill=lerp((0, 0, 0), col, 0.55), width=2)
        img = img.filter(ImageFilter.GaussianBlur(7))
        fade = Image.linear_gradient("L").resize((W, H)).point(lambda v: max(0, 255 - int(v * 1.6)))
        img = ImageChops.multiply(img, Image.merge("RGB", (fade, fade, fade)))
        frames.append(cap(img))
    write_gif(frames, out("Effect", "SpecialEffectIcon", "aurora.gif"), delay=100, dither=True)


# ------------------------------------------------------------------------ picture-in-picture masks
def make_masks():
    shapes = {
        "heart.jpg": lambda d, f: d.polygon([(x * f, y * f) for x, y in heart_polygon(160, 122, 106)],
                                            fill=255),
        "circle.jpg": lambda d, f: d.ellipse([50 * f, 10 * f, 270 * f, 230 * f], fill=255),
        "star.jpg": lambda d, f: d.polygon([(x * f, y * f) for x, y in star_polygon(160, 128, 124, 54)],
                                           fill=255),
        "rounded.jpg": lambda d, f: d.rounded_rectangle([16 * f, 16 * f, 304 * f, 224 * f], radius=36 * f,
                                                        fill=255),
    }
    for name, shape in shapes.items():
        img = supersampled((W, H), lambda img, d, f: shape(d, f), mode="L", bg=0)
        img.convert("RGB").save(out("Effect", "DoubleImage", name), quality=95)


# ------------------------------------------------------------------------- colour preset icons
def make_preset_icons():
    for n, col in enumerate([(60, 130, 250), (250, 210, 60), (170, 80, 230), (240, 60, 60)], start=1):
        def draw(img, d, f):
            d.rounded_rectangle([0, 0, 40 * f - 1, 40 * f - 1], radius=8 * f, fill=(38, 40, 48))
            for i in range(10, 0, -1):
                r = 4 + i * 1.4
                d.ellipse([(20 - r) * f, (20 - r) * f, (20 + r) * f, (20 + r) * f],
                          fill=lerp(col, (38, 40, 48), i / 10))
            d.ellipse([12 * f, 12 * f, 28 * f, 28 * f], fill=col)
            d.ellipse([15 * f, 14 * f, 21 * f, 19 * f], fill=lerp(col, (255, 255, 255), 0.7))
        supersampled((40, 40), draw).save(out("Effect", "SetColor", "%d.bmp" % n))


# --------------------------------------------------------------------------- wait-video pictures
def make_wait_pictures():
    # The program's logo is stamped over every frame anyway. A night-blue card with a camera and the waiting text.
    img = gradient((W, H), (22, 34, 74), (8, 10, 24))
    img = ImageChops.add(img, glow((W, H), 160, 96, 120, (60, 80, 170), 0.6))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([118, 60, 202, 118], radius=12, fill=(236, 240, 250))
    d.polygon([(202, 78), (226, 64), (226, 114), (202, 100)], fill=(236, 240, 250))
    d.ellipse([142, 71, 178, 107], fill=(40, 56, 110))
    d.ellipse([150, 79, 170, 99], fill=(120, 160, 240))
    d.ellipse([153, 82, 160, 89], fill=(230, 240, 255))
    d.text((160, 150), "等待视频信号…", font=ImageFont.truetype(CJK, 20), fill=(230, 236, 250), anchor="mm")
    d.text((160, 176), "Waiting for video", font=ImageFont.truetype(SANS, 12), fill=(150, 170, 220), anchor="mm")
    img.save(out("Effect", "waitvideo", "waiting.jpg"), quality=92)

    # Colour bars with the program's name.
    bars = Image.new("RGB", (W, H))
    d = ImageDraw.Draw(bars)
    cols = [(192, 192, 192), (192, 192, 0), (0, 192, 192), (0, 192, 0), (192, 0, 192), (192, 0, 0), (0, 0, 192)]
    for i, c in enumerate(cols):
        d.rectangle([i * W // 7, 0, (i + 1) * W // 7, 160], fill=c)
    for i, c in enumerate(reversed(cols)):
        d.rectangle([i * W // 7, 160, (i + 1) * W // 7, 176], fill=c if i % 2 else (16, 16, 16))
    for x in range(W):
        v = int(235 * x / (W - 1)) + 16
        d.line([(x, 176), (x, H)], fill=(v, v, v))
    d.rounded_rectangle([70, 58, 250, 110], radius=10, fill=(16, 18, 28))
    d.text((160, 77), "Korvel", font=ImageFont.truetype(BOLD, 24), fill=(250, 236, 214), anchor="mm")
    d.text((160, 99), "无信号 · No signal", font=ImageFont.truetype(CJK, 12), fill=(220, 200, 170), anchor="mm")
    bars.save(out("Effect", "waitvideo", "colourbars.jpg"), quality=92)


# --------------------------------------------------------------------------------- the index file
def write_index():
    folders = [("Cartoon", "cartoon"), ("Frame", "frame"), ("Light", "light"), ("Other", "other"),
               ("SpecialEffectIcon", "SpecialEffectIcon"), ("DoubleImage", "DoubleImage")]
    lines = ["<Img_Config>"]
    for element, folder in folders:
        path = os.path.join(ROOT, "Effect", folder)
        names = sorted(os.listdir(path)) if os.path.isdir(path) else []
        if not names:
            lines.append("<%s/>" % element)
            continue
        lines.append("<%s>" % element)
        lines += ['<Img ImgName="%s" BackGround="0"/>' % n for n in names]
        lines.append("</%s>" % element)
    lines.append("</Img_Config>")
    with open(os.path.join(ROOT, "Img_Config.xml"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    make_logo()
    make_hearts()
    make_snow()
    make_stars()
    make_bubbles()
    make_gold_frame()
    make_film_frame()
    make_heart_frame()
    make_photo_frame()
    make_balloons()
    make_crown()
    make_flowers()
    make_bow()
    make_spotlights()
    make_corner_glow()
    make_bokeh()
    make_sparkle()
    make_fireworks()
    make_meteors()
    make_aurora()
    make_masks()
    make_preset_icons()
    make_wait_pictures()
    write_index()

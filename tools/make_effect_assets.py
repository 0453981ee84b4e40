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


def save_gif(frames, path, delay=80):
    pal = [f.convert("P", palette=Image.ADAPTIVE, colors=255, dither=Image.NONE) for f in frames]
    pal[0].save(path, save_all=True, append_images=pal[1:], duration=delay, loop=0, optimize=False,
                disposal=1)


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


if __name__ == "__main__":
    make_logo()

#!/usr/bin/python3
"""Draws Probewell's icon (a probe over a sound wave) into probewell.ico; run by hand, output committed."""
import math
import os

from PIL import Image, ImageDraw

SIZE = 64


def draw():
    img = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((2, 2, SIZE - 3, SIZE - 3), radius=10, fill=(22, 60, 120, 255))
    points = [(x, SIZE / 2 + 14 * math.sin(x / 5.0) * math.exp(-((x - 32) / 22.0) ** 2)) for x in range(8, SIZE - 7)]
    d.line(points, fill=(120, 220, 255, 255), width=4)
    d.ellipse((30, 8, 54, 32), outline=(255, 210, 60, 255), width=5)
    d.line((33, 29, 14, 50), fill=(255, 210, 60, 255), width=7)
    return img


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "probewell.ico")
    draw().save(out, sizes=[(16, 16), (32, 32), (48, 48)])

#!/usr/bin/python3
"""Draws the Korvel skin: every window's background, the state pictures of its buttons and the
indicator pictures, and writes the skin file Skins/Korvel/the.ui that describes every window by its
resource number and every control by its identifier.

Run from the repository root:  tools/make_skin.py   (writes assets/Skins/Korvel/)
"""
import os
import sys
from xml.sax.saxutils import quoteattr

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "Skins", "Korvel")
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
KEY = (255, 0, 255)  # colour key of rounded dialog corners

# Palette
ACCENT = (46, 107, 214)
ACCENT_DARK = (31, 79, 168)
ACCENT_LIGHT = (166, 194, 255)
TITLE_TOP = (48, 98, 201)
TITLE_BOTTOM = (35, 79, 172)
STRIP_TOP = (35, 79, 172)
STRIP_BOTTOM = (29, 66, 148)
BODY = (238, 242, 249)
CARD = (255, 255, 255)
BORDER = (214, 222, 236)
TEXT = (51, 51, 51)
MUTED = (120, 130, 150)
SCREEN = (27, 35, 51)

S = 1  # pictures are drawn at 3x and reduced, for smooth edges
SS = 3

os.makedirs(OUT, exist_ok=True)
written = set()


def font(size):
    return ImageFont.truetype(FONT, size)


def save(img, name):
    img.save(os.path.join(OUT, name))
    written.add(name)
    return name


def hexc(c):
    return "#%02X%02X%02X" % c[:3]


def gradient(w, h, top, bottom):
    img = Image.new("RGB", (w, h), top)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        d.line([(0, y), (w, y)], fill=tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)))
    return img


def rounded_mask(w, h, r):
    m = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, w * SS - 1, h * SS - 1], r * SS, fill=255)
    return m.resize((w, h), Image.LANCZOS)


def rrect(img, box, r, fill=None, outline=None, width=1):
    """Anti-aliased rounded rectangle drawn onto an RGBA or RGB picture."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    d.rounded_rectangle([0, 0, w * SS - 1, h * SS - 1], r * SS, fill=fill,
                        outline=outline, width=width * SS if outline else 0)
    layer = layer.resize((w, h), Image.LANCZOS)
    img.paste(layer, (x0, y0), layer)


def shadowed_card(img, box, r=8, fill=CARD, border=BORDER):
    x0, y0, x1, y1 = box
    sh = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(sh).rounded_rectangle([x0, y0 + 2, x1, y1 + 2], r, fill=(20, 40, 90, 40))
    sh = sh.filter(ImageFilter.GaussianBlur(3))
    img.paste(sh, (0, 0), sh)
    rrect(img, box, r, fill=fill + (255,), outline=border + (255,))


def text(img, xy, s, size, fill, anchor="la", bold=False):
    d = ImageDraw.Draw(img)
    f = font(size)
    if bold:
        for dx in (0, 0.6):
            d.text((xy[0] + dx, xy[1]), s, font=f, fill=fill, anchor=anchor)
    else:
        d.text(xy, s, font=f, fill=fill, anchor=anchor)


# ---------------------------------------------------------------- glyphs
def logo(size):
    """The program's mark: a rounded blue square with a camera lens and a spark."""
    img = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = size * SS
    grad = gradient(s, s, (84, 148, 255), (34, 84, 196)).convert("RGBA")
    m = Image.new("L", (s, s), 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, s - 1, s - 1], int(s * 0.24), fill=255)
    img.paste(grad, (0, 0), m)
    c = s / 2
    d.ellipse([c - s * 0.30, c - s * 0.30, c + s * 0.30, c + s * 0.30], fill=(255, 255, 255, 255))
    d.ellipse([c - s * 0.19, c - s * 0.19, c + s * 0.19, c + s * 0.19], fill=(34, 84, 196, 255))
    d.ellipse([c - s * 0.08, c - s * 0.14, c + s * 0.02, c - s * 0.04], fill=(255, 255, 255, 230))
    # spark
    x, y, r = s * 0.80, s * 0.20, s * 0.12
    d.polygon([(x, y - r), (x + r * 0.3, y - r * 0.3), (x + r, y), (x + r * 0.3, y + r * 0.3),
               (x, y + r), (x - r * 0.3, y + r * 0.3), (x - r, y), (x - r * 0.3, y - r * 0.3)],
              fill=(255, 214, 92, 255))
    return img.resize((size, size), Image.LANCZOS)


def glyph(kind, size, colour):
    """Small line icons for the title bar and tabs, drawn at 3x."""
    s = size * SS
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    w = max(2, int(s * 0.09))
    col = colour + (255,)
    if kind == "close":
        m = s * 0.3
        d.line([(m, m), (s - m, s - m)], fill=col, width=w)
        d.line([(s - m, m), (m, s - m)], fill=col, width=w)
    elif kind == "min":
        m = s * 0.3
        d.line([(m, s * 0.55), (s - m, s * 0.55)], fill=col, width=w)
    elif kind == "gear":
        c = s / 2
        import math
        for i in range(8):
            a = i * math.pi / 4
            d.line([(c + math.cos(a) * s * 0.18, c + math.sin(a) * s * 0.18),
                    (c + math.cos(a) * s * 0.34, c + math.sin(a) * s * 0.34)], fill=col, width=int(w * 1.6))
        d.ellipse([c - s * 0.25, c - s * 0.25, c + s * 0.25, c + s * 0.25], outline=col, width=w)
        d.ellipse([c - s * 0.09, c - s * 0.09, c + s * 0.09, c + s * 0.09], outline=col, width=w)
    elif kind == "effects":  # magic wand with stars
        d.line([(s * 0.2, s * 0.8), (s * 0.62, s * 0.38)], fill=col, width=int(w * 1.2))
        for (x, y, r) in ((0.72, 0.28, 0.14), (0.35, 0.25, 0.08), (0.8, 0.62, 0.07)):
            x, y, r = x * s, y * s, r * s
            d.polygon([(x, y - r), (x + r * 0.3, y - r * 0.3), (x + r, y), (x + r * 0.3, y + r * 0.3),
                       (x, y + r), (x - r * 0.3, y + r * 0.3), (x - r, y), (x - r * 0.3, y - r * 0.3)], fill=col)
    elif kind == "source":  # video camera
        d.rounded_rectangle([s * 0.12, s * 0.3, s * 0.64, s * 0.72], s * 0.08, outline=col, width=w)
        d.polygon([(s * 0.66, s * 0.46), (s * 0.88, s * 0.32), (s * 0.88, s * 0.70), (s * 0.66, s * 0.56)],
                  fill=col)
    elif kind == "ktv":  # microphone
        d.rounded_rectangle([s * 0.38, s * 0.12, s * 0.62, s * 0.56], s * 0.12, outline=col, width=w)
        d.arc([s * 0.26, s * 0.3, s * 0.74, s * 0.68], 0, 180, fill=col, width=w)
        d.line([(s * 0.5, s * 0.68), (s * 0.5, s * 0.86)], fill=col, width=w)
        d.line([(s * 0.36, s * 0.86), (s * 0.64, s * 0.86)], fill=col, width=w)
    elif kind == "works":  # film
        d.rounded_rectangle([s * 0.14, s * 0.2, s * 0.86, s * 0.8], s * 0.06, outline=col, width=w)
        d.polygon([(s * 0.42, s * 0.36), (s * 0.64, s * 0.5), (s * 0.42, s * 0.64)], fill=col)
    elif kind == "photo":
        d.rounded_rectangle([s * 0.12, s * 0.3, s * 0.88, s * 0.8], s * 0.08, outline=col, width=w)
        d.rectangle([s * 0.36, s * 0.2, s * 0.6, s * 0.3], fill=col)
        d.ellipse([s * 0.36, s * 0.4, s * 0.64, s * 0.68], outline=col, width=w)
    elif kind == "record":
        d.ellipse([s * 0.22, s * 0.22, s * 0.78, s * 0.78], fill=(232, 72, 72, 255))
    elif kind == "play":
        d.polygon([(s * 0.34, s * 0.22), (s * 0.8, s * 0.5), (s * 0.34, s * 0.78)], fill=col)
    elif kind == "pause":
        d.rounded_rectangle([s * 0.28, s * 0.24, s * 0.43, s * 0.76], s * 0.04, fill=col)
        d.rounded_rectangle([s * 0.57, s * 0.24, s * 0.72, s * 0.76], s * 0.04, fill=col)
    elif kind == "stop":
        d.rounded_rectangle([s * 0.28, s * 0.28, s * 0.72, s * 0.72], s * 0.05, fill=col)
    elif kind == "screen":
        d.rounded_rectangle([s * 0.12, s * 0.18, s * 0.88, s * 0.66], s * 0.05, outline=col, width=w)
        d.line([(s * 0.5, s * 0.66), (s * 0.5, s * 0.8)], fill=col, width=w)
        d.line([(s * 0.32, s * 0.82), (s * 0.68, s * 0.82)], fill=col, width=w)
    elif kind == "volume":
        d.polygon([(s * 0.14, s * 0.38), (s * 0.32, s * 0.38), (s * 0.52, s * 0.2), (s * 0.52, s * 0.8),
                   (s * 0.32, s * 0.62), (s * 0.14, s * 0.62)], fill=col)
        d.arc([s * 0.42, s * 0.3, s * 0.74, s * 0.7], -60, 60, fill=col, width=w)
    elif kind == "muted":
        d.polygon([(s * 0.14, s * 0.38), (s * 0.32, s * 0.38), (s * 0.52, s * 0.2), (s * 0.52, s * 0.8),
                   (s * 0.32, s * 0.62), (s * 0.14, s * 0.62)], fill=col)
        d.line([(s * 0.62, s * 0.38), (s * 0.86, s * 0.62)], fill=col, width=w)
        d.line([(s * 0.86, s * 0.38), (s * 0.62, s * 0.62)], fill=col, width=w)
    elif kind == "folder":
        d.polygon([(s * 0.1, s * 0.25), (s * 0.4, s * 0.25), (s * 0.48, s * 0.34), (s * 0.9, s * 0.34),
                   (s * 0.9, s * 0.8), (s * 0.1, s * 0.8)], outline=col, width=w)
    elif kind == "info":
        c = s / 2
        d.ellipse([s * 0.1, s * 0.1, s * 0.9, s * 0.9], fill=col)
        d.rectangle([c - s * 0.05, s * 0.42, c + s * 0.05, s * 0.72], fill=(255, 255, 255, 255))
        d.ellipse([c - s * 0.06, s * 0.24, c + s * 0.06, s * 0.36], fill=(255, 255, 255, 255))
    elif kind == "target":  # the window finder's mark
        c = s / 2
        d.ellipse([s * 0.2, s * 0.2, s * 0.8, s * 0.8], outline=col, width=w)
        d.ellipse([c - s * 0.06, c - s * 0.06, c + s * 0.06, c + s * 0.06], fill=col)
        for a, b in ((0.04, 0.3), (0.7, 0.96)):
            d.line([(s * a, c), (s * b, c)], fill=col, width=w)
            d.line([(c, s * a), (c, s * b)], fill=col, width=w)
    elif kind == "question":
        c = s / 2
        d.ellipse([s * 0.1, s * 0.1, s * 0.9, s * 0.9], fill=col)
        d.arc([c - s * 0.16, s * 0.22, c + s * 0.16, s * 0.52], 180, 90, fill=(255, 255, 255, 255), width=w)
        d.line([(c, s * 0.5), (c, s * 0.6)], fill=(255, 255, 255, 255), width=w)
        d.ellipse([c - s * 0.05, s * 0.66, c + s * 0.05, s * 0.76], fill=(255, 255, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


# ---------------------------------------------------------------- button pictures
STATES = ("normal", "hover", "pressed", "checked", "disabled")
made_buttons = {}


def button(style, w, h, glyph_kind=None):
    """Writes the state pictures of one button look at one size; returns the base name."""
    name = "btn_%s_%dx%d" % (style, w, h) + ("_" + glyph_kind if glyph_kind else "")
    if name in made_buttons:
        return name
    made_buttons[name] = True
    for state in STATES:
        img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        if style == "primary":
            fills = {"normal": ACCENT, "hover": (66, 128, 232), "pressed": ACCENT_DARK,
                     "checked": ACCENT_DARK, "disabled": (170, 186, 214)}
            top = fills[state]
            bottom = tuple(max(0, v - 14) for v in top)
            grad = gradient(w, h, top, bottom).convert("RGBA")
            img.paste(grad, (0, 0), rounded_mask(w, h, 5))
        elif style == "secondary":
            fill = {"normal": (255, 255, 255), "hover": (240, 245, 255), "pressed": (224, 233, 250),
                    "checked": (224, 233, 250), "disabled": (244, 246, 250)}[state]
            border = {"normal": (196, 207, 226), "hover": ACCENT_LIGHT, "pressed": ACCENT,
                      "checked": ACCENT, "disabled": (224, 228, 236)}[state]
            rrect(img, (0, 0, w, h), 5, fill=fill + (255,), outline=border + (255,))
        elif style == "title":  # title-bar buttons: transparent until hovered
            bg = {"normal": None, "hover": (255, 255, 255, 46), "pressed": (0, 0, 0, 40),
                  "checked": (0, 0, 0, 40), "disabled": None}[state]
            if glyph_kind == "close" and state in ("hover", "pressed"):
                bg = (232, 72, 72, 255) if state == "hover" else (200, 50, 50, 255)
            if bg:
                rrect(img, (0, 0, w, h), 4, fill=bg)
        elif style == "tab":
            if state in ("checked", "pressed"):
                layer = Image.new("RGBA", (w, h + 8), (0, 0, 0, 0))
                rrect(layer, (0, 0, w, h + 8), 8, fill=BODY + (255,))
                img.paste(layer.crop((0, 0, w, h)), (0, 0))
                ImageDraw.Draw(img).rectangle([w // 2 - 16, 2, w // 2 + 16, 4], fill=ACCENT + (255,))
            elif state == "hover":
                layer = Image.new("RGBA", (w, h + 8), (0, 0, 0, 0))
                rrect(layer, (0, 0, w, h + 8), 8, fill=(255, 255, 255, 38))
                img.paste(layer.crop((0, 0, w, h)), (0, 0))
        elif style == "link":
            if state in ("hover", "pressed"):
                rrect(img, (0, 0, w, h), 4, fill=(255, 255, 255, 40 if state == "hover" else 70))
        elif style == "flat":  # icon buttons of panels
            bg = {"normal": (245, 247, 252), "hover": (232, 239, 253), "pressed": (214, 226, 250),
                  "checked": (214, 226, 250), "disabled": (245, 247, 252)}[state]
            border = {"normal": (220, 227, 240), "hover": ACCENT_LIGHT, "pressed": ACCENT,
                      "checked": ACCENT, "disabled": (232, 236, 242)}[state]
            rrect(img, (0, 0, w, h), 6, fill=bg + (255,), outline=border + (255,))
        if glyph_kind:
            colour = (255, 255, 255)
            if style in ("flat", "secondary"):
                colour = ACCENT if state != "disabled" else (180, 190, 208)
            g = glyph(glyph_kind, min(w, h) - (12 if style == "title" else 10), colour)
            if style == "title" and state == "disabled":
                g.putalpha(g.getchannel("A").point(lambda a: a // 2))
            img.paste(g, ((w - g.width) // 2, (h - g.height) // 2), g)
        save(img, "%s_%s.png" % (name, state))
    return name


def indicators():
    """Check box and radio button pictures, 16x16."""
    for kind in ("check", "radio"):
        for state in STATES:
            img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
            on = state in ("checked", "pressed")
            border = {"normal": (176, 188, 210), "hover": ACCENT, "disabled": (214, 220, 230)}.get(state, ACCENT)
            fill = ACCENT if on else ((255, 255, 255) if state != "disabled" else (240, 242, 246))
            if kind == "check":
                rrect(img, (0, 0, 16, 16), 3, fill=fill + (255,), outline=(ACCENT if on else border) + (255,))
                if on:
                    big = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
                    ImageDraw.Draw(big).line([(11, 25), (20, 34), (37, 14)], fill=(255, 255, 255, 255), width=6)
                    big = big.resize((16, 16), Image.LANCZOS)
                    img.paste(big, (0, 0), big)
            else:
                big = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
                d = ImageDraw.Draw(big)
                d.ellipse([1, 1, 46, 46], fill=(255, 255, 255, 255), outline=(ACCENT if on else border) + (255,),
                          width=4)
                if on:
                    d.ellipse([13, 13, 34, 34], fill=ACCENT + (255,))
                img.paste(big.resize((16, 16), Image.LANCZOS), (0, 0))
            save(img, "%s_%s.png" % (kind, state))
    return "check", "radio"


def style_pictures():
    """Pictures the style sheet refers to: combo arrow, slider handle, tree branches."""
    big = Image.new("RGBA", (36, 36), (0, 0, 0, 0))
    ImageDraw.Draw(big).line([(9, 14), (18, 23), (27, 14)], fill=MUTED + (255,), width=4)
    save(big.resize((12, 12), Image.LANCZOS), "combo_arrow.png")
    for name, pts in (("spin_up.png", [(6, 19), (12, 11), (18, 19)]), ("spin_down.png", [(6, 11), (12, 19), (18, 11)])):
        big = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
        ImageDraw.Draw(big).line(pts, fill=MUTED + (255,), width=3)
        save(big.resize((8, 8), Image.LANCZOS), name)
    for name, colour in (("slider_handle.png", ACCENT), ("slider_handle_hover.png", (66, 128, 232))):
        big = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
        d = ImageDraw.Draw(big)
        d.ellipse([2, 2, 45, 45], fill=(255, 255, 255, 255), outline=colour + (255,), width=6)
        d.ellipse([16, 16, 31, 31], fill=colour + (255,))
        save(big.resize((16, 16), Image.LANCZOS), name)
    for name, pts in (("branch_closed.png", [(15, 9), (27, 18), (15, 27)]),
                      ("branch_open.png", [(9, 14), (18, 25), (27, 14)])):
        big = Image.new("RGBA", (36, 36), (0, 0, 0, 0))
        ImageDraw.Draw(big).line(pts, fill=MUTED + (255,), width=4)
        save(big.resize((12, 12), Image.LANCZOS), name)
    # The effect panel's category tree asks for these three by name.
    for name, sign in (("EXPAND.bmp", "+"), ("COLLAPSE.bmp", "-")):
        img = Image.new("RGB", (11, 11), (255, 255, 255))
        d = ImageDraw.Draw(img)
        d.rectangle([0, 0, 10, 10], outline=(150, 164, 190))
        d.line([(3, 5), (7, 5)], fill=ACCENT)
        if sign == "+":
            d.line([(5, 3), (5, 7)], fill=ACCENT)
        save(img, name)
    save(gradient(160, 24, (250, 252, 255), (236, 242, 252)), "LIST_PATENT_ITEM_BK.bmp")


# ---------------------------------------------------------------- windows
windows = []  # (attrs, controls)


class Window:
    def __init__(self, wid, w, h, title="", background=None, colorkey=False, color=None):
        self.attrs = {"id": wid, "width": w, "height": h}
        if title:
            self.attrs["title"] = title
        if background:
            self.attrs["background"] = background
        if colorkey:
            self.attrs["colorkey"] = hexc(KEY)
        if color:
            self.attrs["color"] = hexc(color)
        self.controls = []
        windows.append(self)

    def add(self, cid, kind, rect, **kw):
        c = {"id": cid, "kind": kind, "rect": "%d,%d,%d,%d" % rect}
        for k, v in kw.items():
            if isinstance(v, tuple):
                v = hexc(v)
            elif isinstance(v, bool):
                v = "1" if v else "0"
            c[k] = v
        self.controls.append(c)
        return c


def dialog_background(w, h, title, name, icon=None):
    """A rounded dialog: blue title band, light body, colour-keyed corners."""
    img = Image.new("RGB", (w, h), KEY)
    body = Image.new("RGB", (w, h), (250, 251, 254))
    body.paste(gradient(w, 40, TITLE_TOP, TITLE_BOTTOM), (0, 0))
    # The colour key needs hard edges: the corner mask is thresholded, not blended.
    mask = rounded_mask(w, h, 8).point(lambda a: 255 if a >= 128 else 0)
    img.paste(body, (0, 0), mask)
    d = ImageDraw.Draw(img)
    lg = logo(20)
    img.paste(lg, (12, 10), lg)
    if title:  # else the window shows its caption as a static text
        text(img, (40, 20), title, 14, (255, 255, 255), anchor="lm", bold=True)
    if icon:
        g = glyph(icon, 40, ACCENT)
        img.paste(g, (28, 66), g)
    # hairline border on the body, inside the shape
    d.line([(0, 40), (w, 40)], fill=(29, 66, 148))
    return save(img, name)


def title_buttons(win, w, close_id=1002, minimise_id=None, settings_id=None):
    win.add(close_id, "button", (w - 40, 6, 32, 28), image=button("title", 32, 28, "close"), tip="关闭")
    x = w - 74
    if minimise_id:
        win.add(minimise_id, "button", (x, 6, 32, 28), image=button("title", 32, 28, "min"), tip="最小化")
        x -= 34
    if settings_id:
        win.add(settings_id, "button", (x, 6, 32, 28), image=button("title", 32, 28, "gear"), tip="系统设置")


def push(win, cid, rect, label, primary=False, **kw):
    return win.add(cid, "button", rect, text=label, image=button("primary" if primary else "secondary", rect[2], rect[3]),
                   color=(255, 255, 255) if primary else TEXT, size=13, **kw)


def icon_button(win, cid, rect, kind, tip, label=None):
    kw = {"image": button("flat", rect[2], rect[3], None if label else kind), "tip": tip}
    if label:
        g = glyph(kind, 16, ACCENT)
        kw["icon"] = save(g, "icon_%s.png" % kind)
        kw["text"] = label
        kw["color"] = TEXT
        kw["size"] = 12
    return win.add(cid, "button", rect, **kw)


def card_background(w, h, name, title=None, header=0):
    """A white panel with a soft border and an optional header band."""
    img = Image.new("RGB", (w, h), BODY)
    rrect(img, (0, 0, w, h), 8, fill=CARD + (255,), outline=BORDER + (255,))
    if header:
        d = ImageDraw.Draw(img)
        d.line([(12, header), (w - 12, header)], fill=(232, 237, 246))
        d.rectangle([14, 12, 17, header - 12], fill=ACCENT)
        if title:
            text(img, (24, header // 2), title, 14, TEXT, anchor="lm", bold=True)
    return save(img, name)


# 1000: main window ------------------------------------------------------------
MAIN_W, MAIN_H = 900, 620
TITLE_H, STRIP_H = 44, 50
LEFT = (12, 106, 340, 502)
RIGHT = (364, 106, 524, 436)
BANNER = (364, 554, 524, 54)
WORKS = (12, 106, 876, 502)


def main_background():
    img = Image.new("RGB", (MAIN_W, MAIN_H), BODY)
    img.paste(gradient(MAIN_W, TITLE_H, TITLE_TOP, TITLE_BOTTOM), (0, 0))
    img.paste(gradient(MAIN_W, STRIP_H, STRIP_TOP, STRIP_BOTTOM), (0, TITLE_H))
    d = ImageDraw.Draw(img)
    d.line([(0, TITLE_H), (MAIN_W, TITLE_H)], fill=(60, 110, 210))
    lg = logo(26)
    img.paste(lg, (14, 9), lg)
    text(img, (48, 22), "Korvel虚拟视频", 16, (255, 255, 255), anchor="lm", bold=True)
    text(img, (176, 23), "让视频聊天更精彩", 12, (196, 214, 250), anchor="lm")
    # banner card (covered by the web view when a banner address is set)
    x, y, w, h = BANNER
    banner = Image.new("RGB", (w, h), BODY)
    banner.paste(gradient(w, h, (236, 243, 255), (222, 233, 255)), (0, 0))
    m = rounded_mask(w, h, 8)
    img.paste(banner, (x, y), m)
    rrect(img, (x, y, x + w, y + h), 8, outline=BORDER + (255,))
    g = glyph("effects", 26, ACCENT)
    img.paste(g, (x + 16, y + (h - 26) // 2), g)
    text(img, (x + 52, y + 18), "动画、边框、挂件、灯光，一键加到视频里", 13, TEXT, anchor="lm", bold=True)
    text(img, (x + 52, y + 37), "画面经特效处理后输出到虚拟摄像头 ZENDRA Capture", 11, MUTED, anchor="lm")
    # thin bottom line
    d.line([(0, MAIN_H - 1), (MAIN_W, MAIN_H - 1)], fill=(200, 210, 228))
    return save(img, "main_bg.png")


main = Window(1000, MAIN_W, MAIN_H, "Korvel虚拟视频", main_background())
title_buttons(main, MAIN_W, 1002, 1001, 1010)
tabs = [(1006, "视频特效", "effects"), (1007, "视频来源", "source"), (1009, "KTV", "ktv"), (1008, "我的作品", "works")]
for i, (cid, label, kind) in enumerate(tabs):
    rect = (14 + i * 124, TITLE_H + 10, 120, 40)
    save(glyph(kind, 18, (232, 240, 255)), "tab_%s.png" % kind)
    save(glyph(kind, 18, ACCENT), "tab_%s_checked.png" % kind)
    main.add(cid, "tab", rect, text=label, image=button("tab", 120, 40), group="tabs", size=14, bold=True,
             color=(232, 240, 255), checkedcolor=ACCENT, icon="tab_%s.png" % kind,
             checkedicon="tab_%s_checked.png" % kind)
links = [(1011, "论坛"), (1012, "帮助"), (1014, "邀请好友赚钱"), (1015, "赚钱方法")]
x = MAIN_W - 14
for cid, label in reversed(links):
    w = 24 + 13 * len(label)
    x -= w
    main.add(cid, "button", (x, TITLE_H + 14, w, 28), text=label, image=button("link", w, 28), size=12,
             color=(214, 228, 255))
    x -= 4
main.add(1003, "placeholder", RIGHT)
main.add(1004, "placeholder", LEFT)
main.add(1005, "placeholder", WORKS)
main.add(1013, "web", BANNER)

# 1115: loading window ---------------------------------------------------------


def welcome_background():
    w, h = 380, 200
    img = Image.new("RGB", (w, h), KEY)
    body = gradient(w, h, (48, 102, 210), (26, 58, 138))
    d = ImageDraw.Draw(body)
    for i in range(6):  # soft rings
        r = 60 + i * 34
        d.ellipse([w - 80 - r, -40 - r, w - 80 + r, -40 + r], outline=(70, 124, 226))
    img.paste(body, (0, 0), rounded_mask(w, h, 12).point(lambda a: 255 if a >= 128 else 0))
    lg = logo(64)
    img.paste(lg, (36, 52), lg)
    text(img, (118, 76), "Korvel虚拟视频", 24, (255, 255, 255), anchor="lm", bold=True)
    text(img, (119, 106), "虚拟摄像头 · 视频特效 · KTV · 录像", 12, (196, 214, 250), anchor="lm")
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([36, 150, w - 36, 154], 2, fill=(38, 80, 170))
    d.rounded_rectangle([36, 150, 36 + (w - 72) * 2 // 3, 154], 2, fill=(255, 214, 92))
    return save(img, "welcome_bg.png")


welcome = Window(1115, 380, 200, "Korvel虚拟视频", welcome_background(), colorkey=True)
welcome.add(1116, "static", (36, 162, 308, 24), text="正在加载", color=(230, 238, 255), size=12)

# 1140: message box ------------------------------------------------------------
msg = Window(1140, 380, 200, "提示", dialog_background(380, 200, "", "msgbox_bg.png"), colorkey=True)
title_buttons(msg, 380)
msg.add(1145, "static", (40, 8, 280, 24), text="提示", color=(255, 255, 255), size=14, bold=True)
msg.add(1146, "static", (28, 66, 40, 40), image=save(glyph("info", 40, ACCENT), "icon_info_40.png"))
msg.add(1147, "static", (28, 66, 40, 40), image=save(glyph("question", 40, ACCENT), "icon_question_40.png"),
        visible=False)
msg.add(1144, "static", (84, 54, 272, 84), text="", color=TEXT, size=14, align="left|wrap")
push(msg, 1141, (164, 152, 96, 32), "确定", primary=True)
push(msg, 1142, (270, 152, 96, 32), "取消")
push(msg, 1143, (270, 152, 96, 32), "确定", primary=True, visible=False)

# 1145: about box --------------------------------------------------------------


def about_background():
    w, h = 420, 300
    name = dialog_background(w, h, "关于Korvel虚拟视频", "about_bg.png")
    img = Image.open(os.path.join(OUT, name)).convert("RGB")
    lg = logo(72)
    img.paste(lg, ((w - 72) // 2, 58), lg)
    text(img, (w // 2, 150), "Korvel虚拟视频", 20, TEXT, anchor="mm", bold=True)
    text(img, (w // 2, 176), "版本 1.0", 12, MUTED, anchor="mm")
    text(img, (w // 2, 204), "摄像头、媒体文件、图片或屏幕画面加上特效后", 12, TEXT, anchor="mm")
    text(img, (w // 2, 222), "输出到虚拟摄像头，视频聊天软件即可直接使用。", 12, TEXT, anchor="mm")
    return save(img, name)


about = Window(1145, 420, 300, "关于Korvel虚拟视频", about_background(), colorkey=True)
title_buttons(about, 420, close_id=1148)
push(about, 1147, (162, 252, 96, 32), "确定", primary=True)

# 1151: settings dialog --------------------------------------------------------


def settings_background():
    w, h = 540, 520
    name = dialog_background(w, h, "系统设置", "settings_bg.png")
    img = Image.open(os.path.join(OUT, name)).convert("RGB")
    for (y, hh, label) in ((52, 176, "保存路径"), (240, 150, "常规选项"), (402, 62, "关闭主面板时")):
        rrect(img, (16, y, w - 16, y + hh), 6, fill=(255, 255, 255, 255), outline=BORDER + (255,))
        d = ImageDraw.Draw(img)
        d.rectangle([28, y + 12, 31, y + 26], fill=ACCENT)
        text(img, (38, y + 19), label, 13, TEXT, anchor="lm", bold=True)
    return save(img, name)


setting = Window(1151, 540, 520, "系统设置", settings_background(), colorkey=True)
title_buttons(setting, 540)
paths = [(1171, 1161, "照片保存路径："), (1172, 1162, "录像保存路径："), (1173, 1163, "歌曲保存路径："),
         (1174, 1164, "歌词保存路径：")]
for i, (edit_id, browse_id, label) in enumerate(paths):
    y = 86 + i * 34
    setting.add(2000 + i, "static", (30, y, 100, 28), text=label, color=TEXT, size=12)
    setting.add(edit_id, "edit", (130, y, 294, 28), size=12)
    push(setting, browse_id, (432, y, 80, 28), "浏览...")
options = [(1165, "开机时自动运行本程序"), (1152, "启动后最小化到托盘"), (1153, "主面板总在最前面"),
           (1154, "显示托盘图标提示"), (1155, "拍照时播放快门声音"), (1156, "拍照后显示照片信息"),
           (1157, "录像完成后显示提示"), (1158, "启动时自动连接摄像头"), (1159, "歌曲下载完成后提示"),
           (1160, "播放歌曲时显示歌词")]
for i, (cid, label) in enumerate(options):
    col, row = i % 2, i // 2
    setting.add(cid, "check", (34 + col * 246, 274 + row * 22, 236, 18), text=label, image="check",
                color=TEXT, size=12)
setting.add(1167, "radio", (34, 434, 236, 20), text="最小化到系统托盘，不退出程序", image="radio", group="exit",
            color=TEXT, size=12)
setting.add(1166, "radio", (280, 434, 236, 20), text="退出程序", image="radio", group="exit", color=TEXT, size=12)
push(setting, 1169, (322, 476, 96, 32), "确定", primary=True)
push(setting, 1170, (428, 476, 96, 32), "取消")

# 1175: folder chooser ---------------------------------------------------------
choose = Window(1175, 400, 440, "选择文件夹", dialog_background(400, 440, "选择文件夹", "choosepath_bg.png"), colorkey=True)
title_buttons(choose, 400)
choose.add(2001, "static", (18, 50, 364, 20), text="请选择一个文件夹：", color=TEXT, size=12)
choose.add(1176, "placeholder", (18, 74, 364, 278))
choose.add(1178, "static", (18, 358, 364, 24), text="", color=MUTED, size=12)
push(choose, 1177, (182, 394, 96, 32), "确定", primary=True)
push(choose, 1142, (288, 394, 96, 32), "取消")

# 1188: recording name ---------------------------------------------------------
name_dlg = Window(1188, 380, 190, "保存录像", dialog_background(380, 190, "保存录像", "name_bg.png"), colorkey=True)
title_buttons(name_dlg, 380)
name_dlg.add(2001, "static", (24, 56, 332, 22), text="请输入录像文件的名字：", color=TEXT, size=13)
name_dlg.add(1189, "edit", (24, 84, 332, 30), size=13, name="录像文件名")
push(name_dlg, 1190, (260, 140, 96, 32), "确定", primary=True)

# 1191: recording / photo report -----------------------------------------------
finish = Window(1191, 420, 210, "完成", dialog_background(420, 210, "完成", "finish_bg.png", "info"), colorkey=True)
title_buttons(finish, 420, close_id=1195)
finish.add(1196, "static", (84, 56, 316, 84), text="", color=TEXT, size=13, align="left|top|wrap")
push(finish, 1192, (96, 160, 96, 32), "打开文件", primary=True)
push(finish, 1193, (202, 160, 96, 32), "打开文件夹")
push(finish, 1194, (308, 160, 96, 32), "关闭")

# Panels of the main window ----------------------------------------------------
# 1200 effects panel, 1201 video-source panel, 1202 KTV panel in the right-hand area (placeholder 1003);
# 1203 left panel (placeholder 1004); 1138 works panel (placeholder 1005). Their sub-panels follow.
RW, RH = RIGHT[2], RIGHT[3]
SUB = (150, 0, RW - 150, RH)  # right part of the panels with a tree on their left

effects = Window(1200, RW, RH, "视频特效", card_background(RW, RH, "panel_right_bg.png"))
TREE_LOOK = {"itemheight": 24, "expand": "EXPAND.bmp", "collapse": "COLLAPSE.bmp", "image": "LIST_PATENT_ITEM_BK.bmp"}
effects.add(4101, "tree", (8, 8, 136, RH - 16), size=13, name="特效分类", **TREE_LOOK)
effects.add(4103, "placeholder", SUB)

source = Window(1201, RW, RH, "视频来源", "panel_right_bg.png")
source.add(4201, "tree", (8, 8, 136, RH - 16), size=13, name="视频来源", **TREE_LOOK)
source.add(4203, "placeholder", SUB)  # the sub-panel of the chosen source
MEDIA_VIEW_H = 48
source.add(4204, "placeholder", (SUB[0], 0, SUB[2], SUB[3] - MEDIA_VIEW_H - 4))  # media list
source.add(4205, "placeholder", (SUB[0], SUB[3] - MEDIA_VIEW_H, SUB[2], MEDIA_VIEW_H))  # media view

ktv = Window(1202, RW, RH, "KTV", "panel_right_bg.png")
ktv.add(4301, "placeholder", (8, 8, RW - 16, 250))   # catalogue page CWndSubSongScr
ktv.add(4302, "placeholder", (8, 262, RW - 16, RH - 270))  # song list CWndSubSelSong

LW, LH = LEFT[2], LEFT[3]


def left_background():
    img = Image.open(os.path.join(OUT, card_background(LW, LH, "panel_left_bg.png"))).convert("RGB")
    screen = Image.new("RGB", (320, 240), SCREEN)
    d = ImageDraw.Draw(screen)
    for i in range(0, 320, 16):
        d.line([(i, 0), (i, 240)], fill=(31, 40, 58))
    g = glyph("source", 48, (80, 98, 134))
    screen.paste(g, (136, 84), g)
    text(screen, (160, 156), "ZENDRA Capture", 12, (110, 128, 164), anchor="mm")
    img.paste(screen, (10, 10), rounded_mask(320, 240, 6))
    d = ImageDraw.Draw(img)
    d.line([(12, 334), (LW - 12, 334)], fill=(232, 237, 246))
    return save(img, "panel_left_bg.png")


left = Window(1203, LW, LH, "", left_background())
left.add(1117, "placeholder", (10, 10, 320, 240))  # output preview CVideoPlayer
# The play button stays pressed while something plays, showing the pause sign.
left.add(1118, "tab", (10, 258, 36, 32), image=button("primary", 36, 32), tip="播放/暂停",
         icon=save(glyph("play", 22, (255, 255, 255)), "icon_play_white.png"),
         checkedicon=save(glyph("pause", 22, (255, 255, 255)), "icon_pause_white.png"))
left.add(1119, "button", (50, 258, 36, 32), image=button("flat", 36, 32, "stop"), tip="停止")
left.add(1120, "slider", (94, 262, 236, 24), min=0, max=100, name="播放进度")
left.add(1122, "static", (12, 294, 150, 20), text="播放停止", color=MUTED, size=12)
left.add(1123, "static", (170, 294, 160, 20), text="00:00 / 00:00", color=MUTED, size=12, align="right")
# The speakers' mute: the loudspeaker, crossed out while muted.
left.add(1134, "tab", (10, 310, 24, 24), tip="静音", icon=save(glyph("volume", 18, MUTED), "icon_volume.png"),
         checkedicon=save(glyph("muted", 18, (232, 72, 72)), "icon_muted.png"))
left.add(1121, "slider", (36, 312, 130, 20), min=0, max=100, value=50, name="音量")
left.add(1129, "button", (176, 310, 74, 24), text="切换音轨", image=button("secondary", 74, 24), size=11, color=TEXT)
left.add(1130, "button", (256, 310, 74, 24), text="左右声道", image=button("secondary", 74, 24), size=11, color=TEXT)
for i, (cid, label) in enumerate(((1124, "尖叫"), (1125, "起哄"), (1126, "掌声"))):
    left.add(cid, "button", (12 + i * 108, 344, 100, 28), text=label, image=button("secondary", 100, 28), size=12,
             color=TEXT)
icon_button(left, 1128, (12, 380, 100, 34), "photo", "拍照", "拍照")
icon_button(left, 1127, (120, 380, 100, 34), "record", "录像", "录像")
icon_button(left, 1131, (228, 380, 100, 34), "screen", "屏幕捕捉", "屏幕")
left.add(1136, "tab", (12, 420, 316, 30), text="视频来源设置", image=button("secondary", 316, 30), size=12,
         color=TEXT, checkedcolor=ACCENT)
left.add(1132, "web", (12, 456, 316, 38))


def works_background():
    w, h = WORKS[2], WORKS[3]
    img = Image.open(os.path.join(OUT, card_background(w, h, "works_bg.png"))).convert("RGB")
    g = glyph("works", 72, (190, 204, 230))
    img.paste(g, ((w - 72) // 2, h // 2 - 80), g)
    text(img, (w // 2, h // 2 + 10), "我的作品", 18, TEXT, anchor="mm", bold=True)
    text(img, (w // 2, h // 2 + 38), "录制的视频保存在录像文件夹，拍摄的照片保存在照片文件夹", 12, MUTED, anchor="mm")
    return save(img, "works_bg.png")


works = Window(1138, WORKS[2], WORKS[3], "我的作品", works_background())
works.add(1139, "web", (1, 1, WORKS[2] - 2, WORKS[3] - 2))

# Sub-panels (placed by their parents in 4103 / 4203 / 4301 / 4302).
SW, SH = SUB[2], SUB[3]
sub_bg = card_background(SW, SH, "subpanel_bg.png")


def sub_window(wid, title):
    return Window(wid, SW, SH, title, card_background(SW, SH, "sub_%d_bg.png" % wid, title, 40))


# 1210: picture effects of one category (CWndSubVideoSpeEffect); its lower part is covered by 1211.
PICTURES_H = 328


def pictures_background():
    img = Image.new("RGB", (SW, SH), BODY)
    rrect(img, (0, 0, SW, PICTURES_H), 8, fill=CARD + (255,), outline=BORDER + (255,))
    d = ImageDraw.Draw(img)
    d.line([(12, 40), (SW - 12, 40)], fill=(232, 237, 246))
    d.rectangle([14, 12, 17, 28], fill=ACCENT)
    return save(img, "sub_1210_bg.png")


def value_label(win, cid, x, y):
    """The number a slider stands at, right of it."""
    win.add(cid, "static", (x, y, 34, 24), text="0", color=MUTED, size=12, align="right")


pic = Window(1210, SW, SH, "", pictures_background())
pic.add(1034, "static", (24, 8, 120, 24), text="动画效果", color=TEXT, size=14, bold=True)
pic.add(1024, "radio", (SW - 150, 12, 70, 18), text="融合", image="radio", group="mode", color=TEXT, size=12,
        tip="图片与视频融合")
pic.add(1025, "radio", (SW - 76, 12, 70, 18), text="叠加", image="radio", group="mode", color=TEXT, size=12,
        tip="图片叠加在视频上")
pic.add(4102, "thumbs", (10, 48, SW - 20, 232), name="特效图片")
icon_button(pic, 1023, (10, 288, 82, 28), "folder", "刷新", "刷新")
push(pic, 1026, (100, 288, 82, 28), "添加")
push(pic, 1027, (190, 288, 82, 28), "删除")
# 1211: effects in use (CWndSelectedEffect), below the pictures
SEL_H = SH - PICTURES_H - 8
save(glyph("effects", 16, ACCENT), "icon_effect.png")
sel = Window(1211, SW, SEL_H, "已选特效", card_background(SW, SEL_H, "selected_bg.png"))
sel.add(2001, "static", (12, 6, 120, 20), text="已选特效", color=MUTED, size=12)
sel.add(4104, "list", (10, 28, SW - 112, SEL_H - 38), name="已选特效", size=12)
push(sel, 1032, (SW - 94, 28, 84, 28), "移除")
push(sel, 1033, (SW - 94, 62, 84, 28), "清空")
# 1212: colour adjustment (CWndColorAdjust)
col = sub_window(1212, "色彩调节")
col.add(1040, "check", (SW - 130, 12, 120, 18), text="关闭色彩调节", image="check", color=TEXT, size=12)
for i, (cid, label, hi) in enumerate(((1041, "亮度", 200), (1042, "对比度", 200), (1043, "饱和度", 200),
                                      (1044, "红色", 255), (1045, "绿色", 255), (1046, "蓝色", 255))):
    y = 52 + i * 32
    col.add(2100 + i, "static", (14, y, 60, 24), text=label, color=TEXT, size=12)
    col.add(cid, "slider", (74, y, SW - 124, 24), min=0, max=hi)
    value_label(col, 2110 + i, SW - 46, y)
col.add(2120, "static", (14, 248, 120, 20), text="色彩预设", color=MUTED, size=12)
col.add(1047, "list", (14, 270, SW - 28, 108), name="色彩预设", size=12)
push(col, 1048, (SW - 100, 392, 86, 28), "恢复默认")
# 1213: picture in picture (CWndInnerImg)
pip = sub_window(1213, "画中画")
pip.add(1058, "check", (SW - 130, 12, 120, 18), text="关闭画中画", image="check", color=TEXT, size=12)
pip.add(2100, "static", (14, 52, 70, 24), text="运动方式", color=TEXT, size=12)
pip.add(1051, "combo", (84, 52, 160, 26), size=12)
for i, (cid, label) in enumerate(((1052, "水平位置"), (1053, "垂直位置"), (1054, "缩放大小"), (1055, "不透明度"))):
    y = 88 + i * 30
    pip.add(2101 + i, "static", (14, y, 70, 24), text=label, color=TEXT, size=12)
    pip.add(cid, "slider", (84, y, SW - 134, 24), min=0, max=99)
    value_label(pip, 2110 + i, SW - 46, y)
pip.add(2105, "static", (14, 208, 120, 20), text="遮罩图片", color=MUTED, size=12)
pip.add(4112, "thumbs", (10, 230, SW - 20, 152), name="画中画遮罩")
push(pip, 1057, (SW - 196, 392, 86, 28), "背景图片")
push(pip, 1056, (SW - 100, 392, 86, 28), "恢复默认")
# 1214: text line (CWndAddFont)
fnt = sub_window(1214, "添加文字")
fnt.add(1068, "check", (SW - 130, 12, 120, 18), text="关闭文字", image="check", color=TEXT, size=12)
fnt.add(2100, "static", (14, 52, 60, 24), text="文字内容", color=TEXT, size=12)
fnt.add(1066, "edit", (80, 52, SW - 94, 26), size=12)
fnt.add(2101, "static", (14, 88, 60, 24), text="字体", color=TEXT, size=12)
fnt.add(1061, "combo", (80, 88, 150, 26), size=12)
fnt.add(2102, "static", (240, 88, 36, 24), text="字号", color=TEXT, size=12)
fnt.add(1062, "combo", (276, 88, SW - 290, 26), size=12)
fnt.add(2103, "static", (14, 124, 60, 24), text="运动方式", color=TEXT, size=12)
fnt.add(1065, "combo", (80, 124, 150, 26), size=12, items="静止|向左滚动|向右滚动")
fnt.add(2104, "static", (240, 124, 36, 24), text="位置", color=TEXT, size=12)
fnt.add(1063, "spin", (276, 124, SW - 290, 26), size=12, min=0, max=222, value=10)
fnt.add(2105, "static", (14, 160, 60, 24), text="速度", color=TEXT, size=12)
fnt.add(1067, "slider", (80, 160, SW - 128, 24), min=0, max=99)
value_label(fnt, 2110, SW - 46, 160)
fnt.add(2106, "static", (14, 196, 60, 24), text="文字颜色", color=TEXT, size=12)
fnt.add(1000, "color", (80, 196, 60, 24))
fnt.add(2107, "static", (160, 196, 60, 24), text="背景颜色", color=TEXT, size=12)
fnt.add(2000, "color", (226, 196, 60, 24))
fnt.add(2111, "static", (14, 240, SW - 28, 60), text="文字显示在视频画面上，背景颜色以半透明的横条衬在文字下方；"
        "位置是横条距画面底部的像素数。", color=MUTED, size=12, align="left|top|wrap")
# 1220: camera settings (CWndSubVideoSetting)
cam = sub_window(1220, "摄像头")
for i, (cid, label) in enumerate(((1076, "视频设备"), (1080, "视频格式"), (1081, "分辨率"), (1082, "帧间隔"),
                                  (1083, "等待画面"))):
    y = 54 + i * 38
    cam.add(2100 + i, "static", (14, y, 70, 26), text=label, color=TEXT, size=12)
    cam.add(cid, "combo", (88, y, SW - 102, 26), size=12)
push(cam, 1077, (14, 250, 86, 30), "刷新")
push(cam, 1078, (108, 250, 96, 30), "色彩调节")
push(cam, 1079, (SW - 100, 250, 86, 30), "应用", primary=True)
for i, line in enumerate(("选择等待画面后，虚拟摄像头立即显示这张图片；", "点击“应用”回到摄像头的画面。")):
    cam.add(2105 + i, "static", (14, 298 + i * 20, SW - 28, 20), text=line, color=MUTED, size=12)
# 1221: media list (CWndMedList) above 1222: its view (CWndMedView)
MEDIA_H = SH - MEDIA_VIEW_H - 4
med = Window(1221, SW, MEDIA_H, "媒体文件", card_background(SW, MEDIA_H, "sub_1221_bg.png", "媒体文件", 40))
med.add(4210, "list", (10, 48, SW - 20, MEDIA_H - 104), name="媒体文件")
for i, (cid, label) in enumerate(((1187, "添加"), (1183, "删除"), (1184, "清空"), (1185, "上移"), (1186, "下移"),
                                  (1182, "播放模式"))):
    w = 72 if cid == 1182 else 50
    x = 10 + i * 56
    push(med, cid, (x, MEDIA_H - 44, w, 28), label)


def media_view_background():
    img = Image.open(os.path.join(OUT, card_background(SW, MEDIA_VIEW_H, "media_view_bg.png"))).convert("RGB")
    g = glyph("works", 22, (150, 168, 200))
    img.paste(g, (16, (MEDIA_VIEW_H - 22) // 2), g)
    return save(img, "media_view_bg.png")


view = Window(1222, SW, MEDIA_VIEW_H, "", media_view_background())
view.add(2100, "static", (48, 12, SW - 60, 24), text="双击列表中的文件开始播放，播放控制在左侧预览下方", color=MUTED,
         size=12)
# 1223: picture browser (CWndSubImgView)
img_view = sub_window(1223, "图片")
img_view.add(1200, "combo", (10, 48, SW - 20, 26), size=12, name="最近的文件夹")
img_view.add(4220, "foldertree", (10, 80, SW - 20, 130), name="文件夹")
img_view.add(4221, "thumbs", (10, 216, SW - 20, 204), name="图片")
# 1224: screen capture (CWndSubCapture)
cap = sub_window(1224, "屏幕捕捉")
cap.add(2100, "static", (14, 50, 120, 22), text="捕捉方式", color=TEXT, size=12, bold=True)
cap.add(1088, "radio", (14, 78, 110, 20), text="固定大小", image="radio", group="mode", color=TEXT, size=12)
cap.add(1089, "radio", (124, 78, 110, 20), text="选择窗口", image="radio", group="mode", color=TEXT, size=12,
        checked=True)
cap.add(1090, "radio", (234, 78, 110, 20), text="自由选择", image="radio", group="mode", color=TEXT, size=12)
cap.add(1099, "combo", (14, 108, 140, 26), size=12, items="176*144|320*240|640*480", name="捕捉大小")
cap.add(1091, "check", (14, 146, 160, 20), text="显示捕捉边框", image="check", color=TEXT, size=12, checked=True)
cap.add(1092, "check", (180, 146, 160, 20), text="跟随鼠标移动", image="check", color=TEXT, size=12)


def finder_pictures():
    """The window finder: its icon with the mark, the icon emptied while the mark is dragged, and the
    pointer that carries the mark."""
    def frame():
        img = Image.new("RGBA", (48 * SS, 48 * SS), (0, 0, 0, 0))
        ImageDraw.Draw(img).rounded_rectangle([SS, SS, 47 * SS, 47 * SS], 6 * SS, fill=(244, 247, 253, 255),
                                              outline=BORDER + (255,), width=2 * SS)
        return img.resize((48, 48), Image.LANCZOS)
    empty = frame()
    full = frame()
    mark = glyph("target", 32, ACCENT)
    full.paste(mark, (8, 8), mark)
    for img, name in ((full, "normal_state.ico"), (empty, "empty_state.ico")):
        img.save(os.path.join(OUT, name), sizes=[(48, 48)])  # one picture: readers take the first
        written.add(name)
    save(glyph("target", 32, ACCENT_DARK), "finder_cursor.png")


finder_pictures()
cap.add(1097, "placeholder", (14, 180, 48, 48))  # the window finder, a control of the panel's own
cap.add(2101, "static", (68, 184, SW - 82, 40), text="按住左侧图标拖到要捕捉的窗口上松开", color=MUTED, size=12,
        align="left|wrap")
push(cap, 1093, (14, 250, 80, 30), "开始捕捉", primary=True)
push(cap, 1094, (100, 250, 80, 30), "开始录像")
push(cap, 1095, (186, 250, 80, 30), "暂停", enabled=False)
push(cap, 1096, (272, 250, 80, 30), "停止", enabled=False)
# 1230: song catalogue (CWndSubSongScr), 1231: chosen songs (CWndSubSelSong)
Window(1230, RW - 16, 250, "歌曲列表", "subpanel_bg.png").add(200, "web", (1, 1, RW - 18, 248))
songs = Window(1231, RW - 16, RH - 270, "已点歌曲", card_background(RW - 16, RH - 270, "songs_bg.png"))
songs.add(4310, "treelist", (8, 8, RW - 120, RH - 286), items="歌曲|状态", name="已点歌曲")
for i, (cid, label) in enumerate(((1201, "本地添加"), (1202, "删除"), (1203, "清空"), (1204, "上移"),
                                  (1205, "下移"), (1206, "播放模式"))):
    push(songs, cid, (RW - 106, 8 + i * 26, 84, 24), label)

# ---------------------------------------------------------------- style sheet
STYLE = """
* { font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", "DejaVu Sans"; font-size: 12px; color: #333333; }
QToolTip { background: #FFFFFF; color: #333333; border: 1px solid #C4CFE2; padding: 4px; }
QLineEdit { background: #FFFFFF; border: 1px solid #C4CFE2; border-radius: 4px; padding: 0 6px;
            selection-background-color: #2E6BD6; }
QLineEdit:focus { border-color: #2E6BD6; }
QLineEdit:disabled { background: #F2F4F8; color: #9AA4B6; }
QComboBox { background: #FFFFFF; border: 1px solid #C4CFE2; border-radius: 4px; padding: 0 8px; }
QComboBox:hover { border-color: #A6C2FF; }
QComboBox:disabled { background: #F2F4F8; color: #9AA4B6; }
QComboBox::drop-down { width: 22px; border: none; }
QComboBox::down-arrow { image: url(${skin}/combo_arrow.png); }
QComboBox QAbstractItemView { background: #FFFFFF; border: 1px solid #C4CFE2;
                              selection-background-color: #E3ECFD; selection-color: #1F4FA8; outline: 0; }
QSpinBox { background: #FFFFFF; border: 1px solid #C4CFE2; border-radius: 4px; padding: 0 2px 0 6px;
           selection-background-color: #2E6BD6; }
QSpinBox:focus { border-color: #2E6BD6; }
QSpinBox:disabled { background: #F2F4F8; color: #9AA4B6; }
QSpinBox::up-button, QSpinBox::down-button { width: 16px; border: none; background: transparent; }
QSpinBox::up-button { subcontrol-origin: border; subcontrol-position: top right; margin-top: 1px; }
QSpinBox::down-button { subcontrol-origin: border; subcontrol-position: bottom right; margin-bottom: 1px; }
QSpinBox::up-button:hover, QSpinBox::down-button:hover { background: #E3ECFD; border-radius: 3px; }
QSpinBox::up-arrow { image: url(${skin}/spin_up.png); width: 8px; height: 8px; }
QSpinBox::down-arrow { image: url(${skin}/spin_down.png); width: 8px; height: 8px; }
QSlider::groove:horizontal { height: 4px; background: #DCE3EF; border-radius: 2px; }
QSlider::sub-page:horizontal { background: #2E6BD6; border-radius: 2px; }
QSlider::handle:horizontal { image: url(${skin}/slider_handle.png); width: 16px; height: 16px; margin: -6px 0; }
QSlider::handle:horizontal:hover { image: url(${skin}/slider_handle_hover.png); }
QSlider::sub-page:horizontal:disabled { background: #B8C3D6; }
QProgressBar { background: #DCE3EF; border: none; border-radius: 3px; }
QProgressBar::chunk { background: #2E6BD6; border-radius: 3px; }
QListWidget, QTreeWidget, QTreeView { background: #FFFFFF; border: 1px solid #D6DEEC; border-radius: 4px;
                                      outline: 0; }
QListWidget::item, QTreeWidget::item, QTreeView::item { padding: 3px 2px; }
QListWidget::item:hover, QTreeWidget::item:hover, QTreeView::item:hover { background: #F0F5FF; }
QListWidget::item:selected, QTreeWidget::item:selected, QTreeView::item:selected
    { background: #E3ECFD; color: #1F4FA8; }
QTreeView::branch:has-children:closed { image: url(${skin}/branch_closed.png); }
QTreeView::branch:has-children:open { image: url(${skin}/branch_open.png); }
QHeaderView::section { background: #F4F7FC; border: none; border-bottom: 1px solid #D6DEEC; padding: 4px 6px; }
QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }
QScrollBar::handle:vertical { background: #C9D3E4; border-radius: 3px; min-height: 24px; }
QScrollBar::handle:vertical:hover { background: #A6B6D2; }
QScrollBar:horizontal { background: transparent; height: 10px; margin: 2px; }
QScrollBar::handle:horizontal { background: #C9D3E4; border-radius: 3px; min-width: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }
"""


def write_skin():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Korvel skin, drawn by tools/make_skin.py: windows by resource number, controls by identifier. -->",
             '<skin name="Korvel">', "<style><![CDATA[" + STYLE + "]]></style>"]
    for win in windows:
        attrs = " ".join("%s=%s" % (k, quoteattr(str(v))) for k, v in win.attrs.items())
        lines.append("<window %s>" % attrs)
        for c in win.controls:
            lines.append("  <control %s/>" % " ".join("%s=%s" % (k, quoteattr(str(v))) for k, v in c.items()))
        lines.append("</window>")
    lines.append("</skin>")
    with open(os.path.join(OUT, "the.ui"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


indicators()
style_pictures()
save(logo(64), "korvel.png")
save(logo(16), "korvel16.png")
write_skin()
# Remove pictures of earlier runs that no window uses any more.
for name in os.listdir(OUT):
    if name != "the.ui" and name not in written:
        os.remove(os.path.join(OUT, name))
print("%d windows, %d pictures in %s" % (len(windows), len(written), os.path.normpath(OUT)))

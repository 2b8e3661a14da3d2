#!/usr/bin/env python3
"""Draws the pictures of the data tree and writes them as PNG files.

application/png/: the file-button icons (load, save, save_as), the table and found-list menu
icons (copy, paste, open, close, find, del), the program logo; application/png/Flags/: the
language flags that GUI.xlx names; HELP/img/: the front panel drawn in the manuals.
With --resources DIR it writes the icons that the programs embed as resources into DIR instead
(DIR/Ico: the main window's form icons, DIR/Img: search, question mark, exit and the flags).

Every picture is drawn at four times its size and scaled down, which smooths its edges.
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCALE = 4


def rgb(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Canvas:
    """An RGBA picture; coordinates are in output pixels and may be fractional."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.w, self.h = width * SCALE, height * SCALE
        self.pixels = [list(background) for _ in range(self.w * self.h)]

    def _blend(self, x, y, color):
        if 0 <= x < self.w and 0 <= y < self.h:
            p = self.pixels[y * self.w + x]
            a = color[3] / 255.0
            for i in range(3):
                p[i] = int(color[i] * a + p[i] * (1 - a))
            p[3] = max(p[3], color[3])

    def fill(self, inside, color, box=None):
        """Paints every sample point for which inside(x, y) holds (x, y in output pixels)."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for sy in range(max(0, int(y0 * SCALE)), min(self.h, int(math.ceil(y1 * SCALE)))):
            y = (sy + 0.5) / SCALE
            for sx in range(max(0, int(x0 * SCALE)), min(self.w, int(math.ceil(x1 * SCALE)))):
                if inside((sx + 0.5) / SCALE, y):
                    self._blend(sx, sy, color)

    def rect(self, x, y, w, h, color, radius=0.0):
        def inside(px, py):
            if not (x <= px <= x + w and y <= py <= y + h):
                return False
            if radius <= 0:
                return True
            cx = min(max(px, x + radius), x + w - radius)
            cy = min(max(py, y + radius), y + h - radius)
            return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2
        self.fill(inside, color, (x, y, x + w, y + h))

    def frame(self, x, y, w, h, color, width=1.0):
        self.rect(x, y, w, width, color)
        self.rect(x, y + h - width, w, width, color)
        self.rect(x, y, width, h, color)
        self.rect(x + w - width, y, width, h, color)

    def circle(self, cx, cy, r, color):
        self.fill(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, color, (cx - r, cy - r, cx + r, cy + r))

    def ring(self, cx, cy, r, width, color):
        self.fill(lambda px, py: (r - width) ** 2 <= (px - cx) ** 2 + (py - cy) ** 2 <= r * r, color,
                  (cx - r, cy - r, cx + r, cy + r))

    def line(self, x0, y0, x1, y1, color, width=1.0):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(px, py):
            t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
            qx, qy = x0 + t * dx, y0 + t * dy
            return (px - qx) ** 2 + (py - qy) ** 2 <= (width / 2.0) ** 2
        pad = width
        self.fill(inside, color, (min(x0, x1) - pad, min(y0, y1) - pad, max(x0, x1) + pad, max(y0, y1) + pad))

    def polygon(self, points, color):
        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(inside, color, (min(xs), min(ys), max(xs), max(ys)))

    def png(self):
        rows = []
        n = SCALE * SCALE
        for y in range(self.height):
            row = bytearray([0])
            for x in range(self.width):
                acc = [0, 0, 0, 0]
                for sy in range(SCALE):
                    base = (y * SCALE + sy) * self.w + x * SCALE
                    for sx in range(SCALE):
                        p = self.pixels[base + sx]
                        a = p[3]
                        acc[0] += p[0] * a
                        acc[1] += p[1] * a
                        acc[2] += p[2] * a
                        acc[3] += a
                if acc[3]:
                    row += bytes([acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], acc[3] // n])
                else:
                    row += b"\0\0\0\0"
            rows.append(bytes(row))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------------

FOLDER = rgb("e8b64a")
FOLDER_DARK = rgb("b3832a")
PAPER = rgb("fbfbf6")
PAPER_EDGE = rgb("6f7680")
BLUE = rgb("2f5f9f")
GREEN = rgb("2f9f3f")
RED = rgb("cf2f2f")


def folder(c, s):
    c.rect(1 * s, 4 * s, 7 * s, 3 * s, FOLDER_DARK, radius=0.8 * s)
    c.rect(1 * s, 5.5 * s, 18 * s, 12.5 * s, FOLDER_DARK, radius=1.2 * s)
    c.rect(1.8 * s, 6.3 * s, 16.4 * s, 10.9 * s, FOLDER, radius=1 * s)


def arrow_up(c, x, y, s, color):
    c.polygon([(x, y), (x + 4 * s, y + 4.5 * s), (x + 1.8 * s, y + 4.5 * s), (x + 1.8 * s, y + 8 * s),
               (x - 1.8 * s, y + 8 * s), (x - 1.8 * s, y + 4.5 * s), (x - 4 * s, y + 4.5 * s)], color)


def arrow_down(c, x, y, s, color):
    c.polygon([(x, y + 8 * s), (x + 4 * s, y + 3.5 * s), (x + 1.8 * s, y + 3.5 * s), (x + 1.8 * s, y),
               (x - 1.8 * s, y), (x - 1.8 * s, y + 3.5 * s), (x - 4 * s, y + 3.5 * s)], color)


def floppy(c, s):
    c.rect(1.5 * s, 1.5 * s, 17 * s, 17 * s, BLUE, radius=1.5 * s)
    c.rect(5 * s, 1.5 * s, 10 * s, 6 * s, rgb("d9dee6"))
    c.rect(11.5 * s, 2.5 * s, 2 * s, 4 * s, BLUE)
    c.rect(4 * s, 10.5 * s, 12 * s, 8 * s, PAPER)
    for i in range(3):
        c.rect(5.5 * s, (12.3 + 2 * i) * s, 9 * s, 0.8 * s, rgb("9fa6b0"))


def sheet(c, x, y, w, h, s):
    c.rect(x, y, w, h, PAPER_EDGE, radius=0.8 * s)
    c.rect(x + 0.9 * s, y + 0.9 * s, w - 1.8 * s, h - 1.8 * s, PAPER, radius=0.5 * s)
    for i in range(int((h - 4 * s) / (2.2 * s))):
        c.rect(x + 2.2 * s, y + (2.6 + 2.2 * i) * s, w - 4.4 * s, 0.7 * s, rgb("a9b3c0"))


def magnifier(c, x, y, s):
    c.line(x + 6.5 * s, y + 6.5 * s, x + 12 * s, y + 12 * s, rgb("5a4030"), 3 * s)
    c.circle(x + 4.5 * s, y + 4.5 * s, 4.8 * s, rgb("3a4a5a"))
    c.circle(x + 4.5 * s, y + 4.5 * s, 3.5 * s, rgb("cfe8ff"))
    c.circle(x + 3.3 * s, y + 3.3 * s, 1.1 * s, rgb("ffffff", 200))


def icon_load():
    c = Canvas(20, 20)
    folder(c, 1.0)
    arrow_up(c, 10, 6.5, 0.95, GREEN)
    return c


def icon_save():
    c = Canvas(20, 20)
    floppy(c, 1.0)
    return c


def icon_save_as():
    c = Canvas(20, 20)
    floppy(c, 0.85)
    c.line(10.5, 17.5, 18, 10, rgb("e0a020"), 3)
    c.line(17, 11, 18.8, 9.2, rgb("cf5f5f"), 3)
    c.polygon([(9.2, 18.8), (9.8, 16.2), (11.8, 18.2)], rgb("3a3a3a"))
    return c


def icon_copy():
    c = Canvas(16, 16)
    sheet(c, 1, 1, 9, 11, 0.8)
    sheet(c, 6, 4, 9, 11, 0.8)
    return c


def icon_paste():
    c = Canvas(16, 16)
    c.rect(1.5, 2, 11, 13, rgb("9a6a3a"), radius=1.2)
    c.rect(4.5, 0.8, 5, 3, rgb("6f7680"), radius=0.8)
    sheet(c, 6, 5, 9, 10.5, 0.8)
    return c


def icon_open():
    c = Canvas(16, 16)
    folder(c, 0.8)
    arrow_up(c, 8, 4.5, 0.8, BLUE)
    return c


def icon_close():
    c = Canvas(16, 16)
    sheet(c, 1.5, 0.5, 10, 12.5, 0.8)
    arrow_down(c, 11, 7.5, 0.85, GREEN)
    return c


def icon_find():
    c = Canvas(16, 16)
    magnifier(c, 1, 1, 1.05)
    return c


def icon_del():
    c = Canvas(16, 16)
    c.line(3, 3, 13, 13, RED, 3.2)
    c.line(13, 3, 3, 13, RED, 3.2)
    return c


def panel(c, x, y, w, h):
    """The front of a door-entry panel: display, speaker, keypad and key fob reader."""
    c.rect(x, y, w, h, rgb("5c636b"), radius=w * 0.12)
    c.rect(x + w * 0.05, y + h * 0.035, w * 0.9, h * 0.93, rgb("c9ced4"), radius=w * 0.09)
    # loudspeaker grille
    for row in range(3):
        for col in range(5):
            c.circle(x + w * (0.3 + 0.1 * col), y + h * (0.08 + 0.045 * row), w * 0.025, rgb("3a3f45"))
    # display
    c.rect(x + w * 0.16, y + h * 0.23, w * 0.68, h * 0.13, rgb("1f3f2f"), radius=w * 0.03)
    c.rect(x + w * 0.2, y + h * 0.26, w * 0.45, h * 0.025, rgb("7fdf9f"))
    c.rect(x + w * 0.2, y + h * 0.305, w * 0.3, h * 0.025, rgb("7fdf9f"))
    # keypad 3 x 4
    for row in range(4):
        for col in range(3):
            c.rect(x + w * (0.2 + 0.22 * col), y + h * (0.41 + 0.095 * row), w * 0.16, h * 0.07,
                   rgb("eef0f2"), radius=w * 0.03)
    # key fob reader
    c.circle(x + w * 0.5, y + h * 0.86, w * 0.13, rgb("2f5f9f"))
    c.ring(x + w * 0.5, y + h * 0.86, w * 0.09, w * 0.025, rgb("9fc3ef"))
    return c


def logo():
    c = Canvas(64, 64)
    c.rect(2, 2, 60, 60, rgb("2f5f9f"), radius=12)
    panel(c, 18, 6, 28, 52)
    return c


def front_panel():
    c = Canvas(160, 260, rgb("ffffff"))
    panel(c, 20, 10, 120, 240)
    return c


def flag_poland():
    c = Canvas(48, 32)
    c.rect(0, 0, 48, 16, rgb("ffffff"))
    c.rect(0, 16, 48, 16, rgb("dc143c"))
    c.frame(0, 0, 48, 32, rgb("9a9a9a"), 0.5)
    return c


def flag_france():
    c = Canvas(48, 32)
    c.rect(0, 0, 16, 32, rgb("0055a4"))
    c.rect(16, 0, 16, 32, rgb("ffffff"))
    c.rect(32, 0, 16, 32, rgb("ef4135"))
    c.frame(0, 0, 48, 32, rgb("9a9a9a"), 0.5)
    return c


def flag_uk():
    c = Canvas(48, 32)
    white, red = rgb("ffffff"), rgb("c8102e")
    c.rect(0, 0, 48, 32, rgb("012169"))
    c.line(0, 0, 48, 32, white, 6.4)
    c.line(48, 0, 0, 32, white, 6.4)
    # the red diagonals lie off-centre, clockwise
    c.line(0, 0, 24, 16, red, 2.1)
    c.line(24, 16, 48, 32, red, 2.1)
    c.line(48, 0, 24, 16, red, 2.1)
    c.line(24, 16, 0, 32, red, 2.1)
    c.rect(19, 0, 10, 32, white)
    c.rect(0, 11, 48, 10, white)
    c.rect(21, 0, 6, 32, red)
    c.rect(0, 13, 48, 6, red)
    return c


def icon_chip():
    c = Canvas(32, 32)
    for i in range(4):
        c.rect(4, 7 + 5.5 * i, 24, 2.2, rgb("b0b6bf"))
    c.rect(8, 4, 16, 24, rgb("2b2f36"), radius=1.5)
    c.circle(11.5, 7.5, 1.3, rgb("6f7680"))
    return c


def icon_kwm():
    c = Canvas(32, 32)
    c.rect(3, 5, 26, 22, rgb("2f7f4f"), radius=2)
    c.rect(6, 9, 9, 14, rgb("2b2f36"), radius=1)
    for i in range(3):
        c.rect(18, 10 + 4.5 * i, 8, 2.4, rgb("e0c060"))
    c.polygon([(17, 4), (20, 4), (24, 1), (21, 1)], rgb("cfd4da"))
    return c


def icon_dip():
    c = Canvas(32, 32)
    c.rect(2, 8, 28, 16, rgb("cf2f2f"), radius=1.5)
    for i in range(8):
        c.rect(4 + 3.2 * i, 10, 2.2, 12, rgb("f4f4f4"))
        c.rect(4 + 3.2 * i, 10 if i % 3 else 16, 2.2, 6, rgb("3a3f45"))
    return c


def icon_red_up():
    c = Canvas(16, 16)
    arrow_up(c, 8, 2, 1.45, RED)
    return c


def icon_green_down():
    c = Canvas(16, 16)
    arrow_down(c, 8, 2, 1.45, GREEN)
    return c


def icon_connect():
    c = Canvas(20, 20)
    c.line(2, 18, 7, 13, rgb("3a3f45"), 2.2)
    c.rect(6, 6, 8, 8, rgb("6f7680"), radius=1.5)
    c.line(11, 6, 15, 2, rgb("b0b6bf"), 1.6)
    c.line(14, 9, 18, 5, rgb("b0b6bf"), 1.6)
    return c


def icon_search():
    c = Canvas(16, 16)
    magnifier(c, 1, 1, 1.05)
    return c


def icon_question():
    c = Canvas(48, 48)
    c.circle(24, 24, 22, BLUE)
    c.ring(24, 20, 9, 4, rgb("ffffff"))
    c.rect(10, 20, 14, 10, BLUE)
    c.rect(22, 26, 4, 7, rgb("ffffff"))
    c.circle(24, 38, 2.6, rgb("ffffff"))
    return c


def icon_exit():
    c = Canvas(64, 64)
    c.rect(14, 6, 30, 52, rgb("7a5232"), radius=2)
    c.polygon([(14, 6), (34, 12), (34, 62), (14, 58)], rgb("a87444"))
    c.circle(30, 36, 1.8, rgb("e0c060"))
    c.polygon([(40, 28), (50, 28), (50, 21), (62, 32), (50, 43), (50, 36), (40, 36)], GREEN)
    return c


# The icons the programs embed as resources: under Ico/ the main window's form icons, under Img/
# the search button, the language dialog's pictures and its flags.
RESOURCES = {
    "Ico/logo.png": logo, "Ico/stock_connect.png": icon_connect, "Ico/chip.png": icon_chip,
    "Ico/KWM_V.png": icon_kwm, "Ico/Dip_8.png": icon_dip, "Ico/red_up.png": icon_red_up,
    "Ico/green_down.png": icon_green_down, "Img/Search.png": icon_search, "Img/Question.png": icon_question,
    "Img/App_Exit_64.png": icon_exit, "Img/Flags_Poland.png": lambda: flag_poland(),
    "Img/Flags_UK.png": lambda: flag_uk(), "Img/Flags_France.png": lambda: flag_france(),
}

PICTURES = {
    "application/png/load.png": icon_load,
    "application/png/save.png": icon_save,
    "application/png/save_as.png": icon_save_as,
    "application/png/copy-icon.png": icon_copy,
    "application/png/paste-icon.png": icon_paste,
    "application/png/open-icon.png": icon_open,
    "application/png/close-icon.png": icon_close,
    "application/png/find-icon.png": icon_find,
    "application/png/del-icon.png": icon_del,
    "application/png/logo.png": logo,
    "application/png/Flags/Flags_Poland.png": flag_poland,
    "application/png/Flags/Flags_UK.png": flag_uk,
    "application/png/Flags/Flags_France.png": flag_france,
    "HELP/img/front_panel.png": front_panel,
}


def main(args=()):
    """With --resources DIR, writes the embedded-resource icons below DIR (Ico/, Img/) instead."""
    pictures, base = PICTURES, ROOT
    if len(args) == 2 and args[0] == "--resources":
        pictures, base = RESOURCES, os.path.abspath(args[1])
    for relative, draw in pictures.items():
        path = os.path.join(base, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(draw().png())
        print("wrote", path if base != ROOT else relative)


if __name__ == "__main__":
    main(sys.argv[1:])

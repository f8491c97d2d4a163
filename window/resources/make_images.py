#!/usr/bin/env python3
"""Draws the four images of the window's resource collection.

    python3 window/resources/make_images.py [output-directory]

Writes radio_off.png, radio_on.png (32 x 24) and button_on.png, button_off.png
(91 x 29) as 8-bit RGB PNG without alpha into the directory (default: image/
next to this script). Only the standard library is used and the output is
byte-for-byte the same on every run, so the committed PNGs can be checked by
running this again and comparing.
"""

import os
import struct
import sys
import zlib

NAVY = (5, 25, 37)            # radio indicator background
OUTLINE = (205, 208, 212)     # radio square outline
CHECK = (46, 204, 64)         # radio check mark
WINDOW = (63, 65, 80)         # window background, around the switch's rounded ends
BLUE = (32, 126, 230)         # switch track when on
TRACK_OFF = (255, 255, 255)   # switch track when off
TRACK_EDGE = (170, 172, 178)  # switch track border when off
KNOB = (238, 239, 241)
KNOB_EDGE = (150, 152, 158)
WHITE = (255, 255, 255)
GREY_TEXT = (140, 142, 148)

SUPERSAMPLE = 4  # samples per pixel side for the smooth edges


class Canvas:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[list(background) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, color, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        px = self.pixels[y][x]
        for i in range(3):
            px[i] = px[i] + (color[i] - px[i]) * min(coverage, 1.0)

    def fill(self, inside, color):
        """Fills the region where inside(x, y) holds, anti-aliased by supersampling."""
        n = SUPERSAMPLE
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                            hits += 1
                self.blend(x, y, color, hits / (n * n))

    def bitmap(self, left, top, rows, color):
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == '#':
                    self.blend(left + dx, top + dy, color, 1.0)

    def png(self):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)  # filter type None
            for px in row:
                raw.extend(max(0, min(255, int(round(c)))) for c in px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack('>IIBBBBB', self.width, self.height, 8, 2, 0, 0, 0)  # 8-bit RGB
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
                + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def ring(cx, cy, outer, inner):
    return lambda x, y: inner ** 2 < (x - cx) ** 2 + (y - cy) ** 2 <= outer ** 2


def thick_polyline(points, half_width):
    def near_segment(px, py, ax, ay, bx, by):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        qx, qy = ax + t * dx, ay + t * dy
        return (px - qx) ** 2 + (py - qy) ** 2 <= half_width ** 2

    def inside(x, y):
        return any(near_segment(x, y, *points[i], *points[i + 1]) for i in range(len(points) - 1))
    return inside


# Bold capitals, 8 x 11 pixels, for the switch labels.
GLYPHS = {
    'O': ["..####..",
          ".######.",
          "###..###",
          "##....##",
          "##....##",
          "##....##",
          "##....##",
          "##....##",
          "###..###",
          ".######.",
          "..####.."],
    'N': ["##....##",
          "###...##",
          "####..##",
          "####..##",
          "##.##.##",
          "##.##.##",
          "##..####",
          "##..####",
          "##...###",
          "##....##",
          "##....##"],
    'F': ["#######.",
          "#######.",
          "##......",
          "##......",
          "######..",
          "######..",
          "##......",
          "##......",
          "##......",
          "##......",
          "##......"],
}
GLYPH_W, GLYPH_H, GLYPH_GAP = 8, 11, 2


def text(canvas, word, center_x, center_y, color):
    width = len(word) * GLYPH_W + (len(word) - 1) * GLYPH_GAP
    left = int(round(center_x - width / 2))
    top = int(round(center_y - GLYPH_H / 2))
    for i, letter in enumerate(word):
        canvas.bitmap(left + i * (GLYPH_W + GLYPH_GAP), top, GLYPHS[letter], color)


def radio(checked):
    c = Canvas(32, 24, NAVY)
    outer = lambda x, y: 8 <= x <= 24 and 4 <= y <= 20
    inner = lambda x, y: 10 <= x <= 22 and 6 <= y <= 18
    c.fill(lambda x, y: outer(x, y) and not inner(x, y), OUTLINE)
    if checked:
        c.fill(thick_polyline([(11.5, 11.5), (15.0, 15.5), (22.5, 6.5)], 1.6), CHECK)
    return c


def switch(on):
    c = Canvas(91, 29, WINDOW)
    track = rounded_rect(1, 1, 90, 28, 13.5)
    if on:
        c.fill(track, BLUE)
        knob_x = 90 - 13.5
        text(c, 'ON', 33, 14.5, WHITE)
    else:
        c.fill(track, TRACK_EDGE)
        c.fill(rounded_rect(2.5, 2.5, 88.5, 26.5, 12), TRACK_OFF)
        knob_x = 1 + 13.5
        text(c, 'OFF', 59, 14.5, GREY_TEXT)
    c.fill(circle(knob_x, 14.5, 11.5), KNOB_EDGE)
    c.fill(circle(knob_x, 14.5, 10.5), KNOB)
    c.fill(ring(knob_x, 14.5, 10.5, 9.0), (226, 227, 230))  # soft rim so the knob reads as raised
    return c


IMAGES = {
    'radio_off.png': lambda: radio(False),
    'radio_on.png': lambda: radio(True),
    'button_on.png': lambda: switch(True),
    'button_off.png': lambda: switch(False),
}


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'image')
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in IMAGES.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(draw().png())


if __name__ == '__main__':
    main()

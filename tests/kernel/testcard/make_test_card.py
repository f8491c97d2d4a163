#!/usr/bin/env python3
"""Writes the emulated camera's MJPEG frames: FRAMES baseline JPEGs of a
640 x 480 test card, test-card-0.jpg ... test-card-7.jpg, into the folder
given (default: beside this script).

Python's standard library only, and integer arithmetic only (a fixed DCT
table, no floating point), so that every machine writes the same bytes.

The card (x to the right, y down, both from 0; colours as 8-bit RGB):

  y   0-319  eight vertical bars, 80 px each, left to right:
             white (255,255,255), yellow (255,255,0), cyan (0,255,255),
             green (0,255,0), magenta (255,0,255), red (255,0,0),
             blue (0,0,255), black (0,0,0)
  y 320-383  black and white vertical stripes whose width falls from
             36 px at the left to about 1 px at the right
             (stripe number (x * x) // 1280, even ones white), so that
             each frame is several payloads long
  y 384-479  grey (128,128,128), holding the frame counter: eight cells
             of 48 x 64 px at y 400-463, cell i spanning x 72+64i to
             119+64i, showing bit 7-i of the frame number (white 1,
             black 0). Frame k shows k.

Bar and cell edges fall on 16-pixel boundaries, or between two neutral
areas, so that 4:2:0 chroma blocks never mix two colours: decoded, each
area's centre is within a few steps of its colour.
"""

import os
import sys

WIDTH, HEIGHT = 640, 480
FRAMES = 8
QUALITY = 90

BARS = [(255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 255, 0),
        (255, 0, 255), (255, 0, 0), (0, 0, 255), (0, 0, 0)]
GREY = (128, 128, 128)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def pixel(x, y, frame):
    if y < 320:
        return BARS[x // 80]
    if y < 384:
        return WHITE if (x * x // 1280) % 2 == 0 else BLACK
    if 400 <= y < 464 and 72 <= x < 584 and (x - 72) % 64 < 48:
        bit = 7 - (x - 72) // 64
        return WHITE if (frame >> bit) & 1 else BLACK
    return GREY


# --- colour conversion (JFIF), 16-bit fixed point ------------------------

def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else v


def ycbcr(rgb):
    r, g, b = rgb
    y = (19595 * r + 38470 * g + 7471 * b + 32768) >> 16
    cb = (-11059 * r - 21709 * g + 32768 * b + (128 << 16) + 32768) >> 16
    cr = (32768 * r - 27439 * g - 5329 * b + (128 << 16) + 32768) >> 16
    return clamp(y), clamp(cb), clamp(cr)


# --- forward DCT ----------------------------------------------------------

# round(4096 * cos(k * pi / 16) / 2) for k = 0..8; the DC row uses
# round(4096 / (2 * sqrt 2)) = 1448, which is also k = 4.
HALF_COS = [2048, 2009, 1892, 1703, 1448, 1138, 784, 400, 0]
DCT_SCALE_BITS = 24  # two passes of 12-bit coefficients


def basis(u, x):
    if u == 0:
        return 1448
    m = (2 * x + 1) * u % 32
    if m <= 8:
        return HALF_COS[m]
    if m <= 16:
        return -HALF_COS[16 - m]
    if m <= 24:
        return -HALF_COS[m - 16]
    return HALF_COS[32 - m]


BASIS = [[basis(u, x) for x in range(8)] for u in range(8)]

ZIGZAG = sorted(((u, v) for u in range(8) for v in range(8)),
                key=lambda p: (p[0] + p[1], p[1] if (p[0] + p[1]) % 2 == 0 else p[0]))

# Tables K.1 and K.2 of the JPEG standard (natural order, row by row).
LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
          14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
          18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
          49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
            24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32


def scaled(table, quality):
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [min(255, max(1, (q * scale + 50) // 100)) for q in table]


def divide(n, d):
    """n / d rounded half away from zero, in integers."""
    q = (abs(n) + d // 2) // d
    return q if n >= 0 else -q


def quantised_block(samples, table):
    """64 samples (row by row) -> 64 quantised coefficients in zigzag order."""
    f = [s - 128 for s in samples]
    rows = [[sum(BASIS[u][x] * f[8 * y + x] for x in range(8)) for u in range(8)] for y in range(8)]
    out = []
    for v, u in ZIGZAG:  # v: vertical frequency, u: horizontal
        total = sum(BASIS[v][y] * rows[y][u] for y in range(8))
        out.append(divide(total, table[8 * v + u] << DCT_SCALE_BITS))
    return out


# --- Huffman coding with the standard tables (K.3, K.5) -------------------

DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], [
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07,
    0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0,
    0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28,
    0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
    0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89,
    0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
    0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5,
    0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], [
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71,
    0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0,
    0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48,
    0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87,
    0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])


def codes(table):
    """symbol -> (code, length) of a table given as (BITS, HUFFVAL)."""
    bits, values = table
    out = {}
    code = 0
    k = 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            out[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return out


def magnitude(v):
    """(size category, appended bits) of a coefficient."""
    a = abs(v)
    size = a.bit_length()
    return size, (v if v >= 0 else v + (1 << size) - 1)


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def put(self, value, length):
        self.acc = (self.acc << length) | value
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.acc &= (1 << self.count) - 1

    def flush(self):
        if self.count:
            self.put((1 << (8 - self.count)) - 1, 8 - self.count)
        return bytes(self.out)


class Component:
    def __init__(self, qtable, dc, ac):
        self.qtable = qtable
        self.dc = codes(dc)
        self.ac = codes(ac)
        self.coefficients = {}  # samples -> quantised block
        self.ac_bits = {}       # AC coefficients -> [(code, length)]
        self.previous_dc = 0

    def encode(self, writer, samples):
        key = tuple(samples)
        block = self.coefficients.get(key)
        if block is None:
            block = quantised_block(samples, self.qtable)
            self.coefficients[key] = block
        diff = block[0] - self.previous_dc
        self.previous_dc = block[0]
        size, bits = magnitude(diff)
        writer.put(*self.dc[size])
        if size:
            writer.put(bits, size)
        ac = tuple(block[1:])
        pieces = self.ac_bits.get(ac)
        if pieces is None:
            pieces = self.ac_pieces(ac)
            self.ac_bits[ac] = pieces
        for piece in pieces:
            writer.put(*piece)

    def ac_pieces(self, ac):
        pieces = []
        run = 0
        last = max((i for i, v in enumerate(ac) if v), default=-1)
        for v in ac[:last + 1]:
            if v == 0:
                run += 1
                continue
            while run > 15:
                pieces.append(self.ac[0xF0])
                run -= 16
            size, bits = magnitude(v)
            pieces.append(self.ac[(run << 4) | size])
            pieces.append((bits, size))
            run = 0
        if last < 62:
            pieces.append(self.ac[0x00])
        return pieces


def segment(marker, payload):
    return bytes([0xFF, marker, (len(payload) + 2) >> 8, (len(payload) + 2) & 0xFF]) + payload


def headers(luma_q, chroma_q):
    out = bytes([0xFF, 0xD8])
    out += segment(0xE0, b"JFIF\0" + bytes([1, 1, 0, 0, 1, 0, 1, 0, 0]))
    out += segment(0xDB, bytes([0]) + bytes(luma_q[8 * v + u] for v, u in ZIGZAG)
                   + bytes([1]) + bytes(chroma_q[8 * v + u] for v, u in ZIGZAG))
    out += segment(0xC0, bytes([8, HEIGHT >> 8, HEIGHT & 0xFF, WIDTH >> 8, WIDTH & 0xFF, 3,
                                1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1]))
    tables = b""
    for cls_id, (bits, values) in ((0x00, DC_LUMA), (0x10, AC_LUMA), (0x01, DC_CHROMA), (0x11, AC_CHROMA)):
        tables += bytes([cls_id]) + bytes(bits) + bytes(values)
    out += segment(0xC4, tables)
    out += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return out


def planes(frame):
    y_plane = []
    cb_full = []
    cr_full = []
    for yy in range(HEIGHT):
        row_y, row_cb, row_cr = [], [], []
        for xx in range(WIDTH):
            l, cb, cr = ycbcr(pixel(xx, yy, frame))
            row_y.append(l)
            row_cb.append(cb)
            row_cr.append(cr)
        y_plane.append(row_y)
        cb_full.append(row_cb)
        cr_full.append(row_cr)

    def halve(full):
        return [[(full[2 * j][2 * i] + full[2 * j][2 * i + 1] + full[2 * j + 1][2 * i]
                  + full[2 * j + 1][2 * i + 1] + 2) >> 2 for i in range(WIDTH // 2)]
                for j in range(HEIGHT // 2)]

    return y_plane, halve(cb_full), halve(cr_full)


def block(plane, bx, by):
    return [plane[by + j][bx + i] for j in range(8) for i in range(8)]


def encode(frame, luma, chroma_b, chroma_r, luma_q, chroma_q):
    y_plane, cb_plane, cr_plane = planes(frame)
    for c in (luma, chroma_b, chroma_r):
        c.previous_dc = 0
    writer = BitWriter()
    for my in range(0, HEIGHT, 16):
        for mx in range(0, WIDTH, 16):
            for dy in (0, 8):
                for dx in (0, 8):
                    luma.encode(writer, block(y_plane, mx + dx, my + dy))
            chroma_b.encode(writer, block(cb_plane, mx // 2, my // 2))
            chroma_r.encode(writer, block(cr_plane, mx // 2, my // 2))
    return headers(luma_q, chroma_q) + writer.flush() + bytes([0xFF, 0xD9])


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    luma_q = scaled(LUMA_Q, QUALITY)
    chroma_q = scaled(CHROMA_Q, QUALITY)
    luma = Component(luma_q, DC_LUMA, AC_LUMA)
    chroma_b = Component(chroma_q, DC_CHROMA, AC_CHROMA)
    chroma_r = Component(chroma_q, DC_CHROMA, AC_CHROMA)
    for frame in range(FRAMES):
        data = encode(frame, luma, chroma_b, chroma_r, luma_q, chroma_q)
        with open(os.path.join(folder, "test-card-%d.jpg" % frame), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

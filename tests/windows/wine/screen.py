#!/usr/bin/env python3
"""Reads wintool's screen grabs (24-bit bottom-up BMP).

  screen.py png GRAB.bmp OUT.png          the grab as PNG, to look at
  screen.py pixel GRAB.bmp X Y            "R G B" at screen point X,Y
  screen.py differs A.bmp B.bmp X Y W H   exit 0 when the two differ inside the rectangle
"""
import struct
import sys
import zlib


def load(path):
    data = open(path, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits != 24:
        raise SystemExit(f'{path}: {bits}-bit, not 24-bit')
    stride = (width * 3 + 3) & ~3
    def pixel(x, y):  # three bytes, not a copy of the rest of the grab
        at = offset + (abs(height) - 1 - y) * stride + x * 3
        return data[at:at + 3][::-1]
    return width, abs(height), pixel


def png(path, out):
    width, height, pixel = load(path)
    rows = b''.join(b'\0' + b''.join(pixel(x, y) for x in range(width)) for y in range(height))
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    with open(out, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(rows, 6)) + chunk(b'IEND', b''))


def main(argv):
    if argv[1] == 'png':
        png(argv[2], argv[3])
    elif argv[1] == 'pixel':
        _, _, pixel = load(argv[2])
        print(*pixel(int(argv[3]), int(argv[4])))
    elif argv[1] == 'differs':
        _, _, a = load(argv[2])
        _, _, b = load(argv[3])
        x0, y0, w, h = map(int, argv[4:8])
        return 0 if any(a(x, y) != b(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)) else 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))

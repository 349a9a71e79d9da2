#!/usr/bin/python3
"""Draws the page's icons as PNG files: the hero ● on the middle square of
the world's three by three screens, on the page's dark ground. The whole
square is drawn, so the icons serve as maskable ones too (the hero sits well
inside the safe circle).

Usage: make_icons.py OUT_DIR SIZE...   (writes OUT_DIR/icon-SIZE.png)
"""
import os
import struct
import sys
import zlib

GROUND = (0x11, 0x11, 0x11)
SQUARES = ((0x2C, 0x2C, 0x2C), (0x1E, 0x1E, 0x1E))
HERO = (0xE6, 0xE6, 0xE6)


def pixel(x, y, size):
    """The colour at the centre of pixel (x, y) of a SIZE × SIZE icon."""
    board = size * 0.72
    origin = (size - board) / 2
    cell = board / 3
    fx, fy = x + 0.5, y + 0.5
    colour = GROUND
    if origin <= fx < origin + board and origin <= fy < origin + board:
        column, row = int((fx - origin) / cell), int((fy - origin) / cell)
        colour = SQUARES[(column + row) % 2]
    # The hero, its edge smoothed over about a pixel.
    distance = ((fx - size / 2) ** 2 + (fy - size / 2) ** 2) ** 0.5
    cover = min(1.0, max(0.0, cell * 0.36 - distance + 0.5))
    return bytes(round(c + (h - c) * cover) for c, h in zip(colour, HERO))


def png(size):
    rows = b''.join(b'\0' + b''.join(pixel(x, y, size) for x in range(size)) for y in range(size))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    header = struct.pack('>IIBBBBB', size, size, 8, 2, 0, 0, 0)  # 8-bit RGB
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(rows, 9)) + \
        chunk(b'IEND', b'')


def main():
    if len(sys.argv) < 3:
        sys.exit('usage: make_icons.py OUT_DIR SIZE...')
    os.makedirs(sys.argv[1], exist_ok=True)
    for size in map(int, sys.argv[2:]):
        with open(os.path.join(sys.argv[1], f'icon-{size}.png'), 'wb') as out:
            out.write(png(size))


if __name__ == '__main__':
    main()

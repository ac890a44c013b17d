#!/usr/bin/env python3
"""Writes the sample's texture images, examples/textures/WORD.png: a pattern
that shows how the texture repeats, and the texture's word in the middle.
Python 3 alone (zlib), so the images are the same bytes every time.

    python3 tools/make_sample_textures.py examples/textures
"""
import os
import struct
import sys
import zlib

SIZE = 64
# 5 x 7 letters, one text row per pixel row.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
}


def bricks(x, y):
    row = y // 16
    joint = y % 16 == 0 or (x + (8 if row % 2 else 0)) % 32 == 0
    return (200, 200, 190) if joint else (168, 64 + (row * 9) % 24, 48)


def tiles(x, y):
    return (214, 196, 150) if (x // 16 + y // 16) % 2 == 0 else (120, 96, 70)


def slates(x, y):
    return (60, 70, 96) if y % 8 == 0 else (96 + (x // 8 % 2) * 16, 104, 130)


PATTERNS = {"WALL": bricks, "FLR": tiles, "ROOF": slates}


def png(pixels):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def image(word):
    pixels = [[PATTERNS[word](x, y) for x in range(SIZE)] for y in range(SIZE)]
    scale = 2
    width = (len(word) * 6 - 1) * scale
    left, top = (SIZE - width) // 2, (SIZE - 7 * scale) // 2
    for y in range(top - 2, top + 7 * scale + 2):  # a plate behind the word
        for x in range(left - 2, left + width + 2):
            pixels[y][x] = (245, 240, 225)
    for k, letter in enumerate(word):
        for row, bits in enumerate(FONT[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[top + row * scale + dy][left + (k * 6 + col) * scale + dx] = (20, 20, 20)
    return png(pixels)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "examples/textures"
    os.makedirs(folder, exist_ok=True)
    for word in sorted(PATTERNS):
        with open(os.path.join(folder, word + ".png"), "wb") as out:
            out.write(image(word))


if __name__ == "__main__":
    main()

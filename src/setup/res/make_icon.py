#!/usr/bin/env python3
"""Draws the program's icon, an open book, as install.ico: 32x32 and 16x16, 16 colours."""
import struct
import sys

# The standard 16-colour palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, BLUE, WHITE = 0, 4, 8, 12, 15
TRANSPARENT = None


def book(size):
    """An open book: blue covers, white pages with grey lines, a black spine."""
    s = size / 32.0
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    top, bottom = int(6 * s), int(26 * s)
    mid = size // 2
    for y in range(top, bottom + 1):
        for x in range(int(2 * s), size - int(2 * s)):
            pixels[y][x] = NAVY if y >= bottom - max(1, int(2 * s)) else BLUE
    for y in range(top + max(1, int(2 * s)), bottom - max(1, int(2 * s))):
        for x in range(int(4 * s), size - int(4 * s)):
            pixels[y][x] = WHITE
        if (y - top) % max(2, int(3 * s)) == 0 and y > top + int(3 * s):
            for x in list(range(int(6 * s), mid - int(2 * s))) + list(range(mid + int(2 * s), size - int(6 * s))):
                pixels[y][x] = GREY
    for y in range(top, bottom + 1):
        pixels[y][mid - 1] = BLACK
        pixels[y][mid] = BLACK
    return pixels


def image(size):
    pixels = book(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [0 if p is None else p for p in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b"\0" * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for i, p in enumerate(row):
            bits = (bits << 1) | (1 if p is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main(path):
    images = [image(32), image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "install.ico")

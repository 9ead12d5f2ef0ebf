#!/usr/bin/env python3
"""Draws the program's icon (two pages side by side, the differing lines marked) and writes it
as a 16-colour Windows icon with a 32x32 and a 16x16 image: app/Zarvo.ico.

Usage: scripts/make-icon.py [OUTPUT]"""
import struct
import sys

# The 16 colours of the standard VGA palette, as (B, G, R).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
    (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, RED, BLUE, YELLOW, WHITE = 0, 4, 8, 9, 12, 11, 15
CLEAR = None


def draw(size):
    """Returns rows of palette indices (None: transparent), top row first."""
    s = size / 32
    px = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    def page(x0, y0, marked, mark_colour):
        rect(x0, y0, x0 + 14, y0 + 26, BLACK)
        rect(x0 + 1, y0 + 1, x0 + 13, y0 + 25, WHITE)
        for i, line_y in enumerate(range(y0 + 4, y0 + 23, 3)):
            colour = mark_colour if i in marked else GREY
            if i in marked:
                rect(x0 + 1, line_y - 1, x0 + 13, line_y + 2, YELLOW)
            rect(x0 + 3, line_y, x0 + 11, line_y + 1, colour)

    page(1, 2, {2}, BLUE)
    page(17, 4, {2, 4}, RED)
    return px


def bitmap(size):
    px = draw(size)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = b"", b""
    for row in reversed(px):
        nibbles = [0 if c is None else c for c in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += data.ljust(xor_row, b"\0")
        out = bytearray(and_row)
        for x, c in enumerate(row):
            if c is None:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0,
                         16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    return header + palette + xor + mask


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "app/Zarvo.ico"
    images = [bitmap(32), bitmap(16)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(output, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main()

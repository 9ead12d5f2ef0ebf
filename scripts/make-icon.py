#!/usr/bin/env python3
"""Draws the program's icon (the design in scripts/icon_design.py) and writes it
as a 16-colour Windows icon with a 32x32 and a 16x16 image: app/Zarvo.ico.

Usage: scripts/make-icon.py [OUTPUT]"""
import struct
import sys

from icon_design import PALETTE, draw


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

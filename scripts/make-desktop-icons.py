#!/usr/bin/env python3
"""Writes the desktop's icons of the program into a hicolor tree: the window's own 16x16 and 32x32
images, decoded from app/Zarvo.ico so that menu and window show the same pixels; larger sizes drawn
from the same design (scripts/icon_design.py); and a scalable SVG of that design.

Usage: scripts/make-desktop-icons.py [ICO [OUTPUT_DIR]]
       (defaults: app/Zarvo.ico, packaging/icons)
Writes OUTPUT_DIR/<size>x<size>.png for each size and OUTPUT_DIR/scalable.svg."""
import os
import struct
import sys
import zlib

from icon_design import GRID, PALETTE, draw, shapes

FROM_ICO = (16, 32)
DRAWN = (48, 64, 128, 256)


def read_ico(path):
    """Returns {size: rows of palette indices (None: transparent)} for the icon's 16-colour
    images."""
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise ValueError(f"{path}: not an icon")
    images = {}
    for n in range(count):
        width, height, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", data,
                                                                           6 + 16 * n)
        size = width or 256
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        if header[4] != 4 or header[5] != 0 or header[1] != size:
            raise ValueError(f"{path}: image {n} is not an uncompressed 16-colour bitmap")
        colours = header[9] or 16
        pixels = offset + header[0] + 4 * colours
        xor_row = (size * 4 + 31) // 32 * 4
        and_row = (size + 31) // 32 * 4
        mask = pixels + xor_row * size
        rows = []
        for y in range(size - 1, -1, -1):  # bitmaps are stored bottom row first
            row = []
            for x in range(size):
                byte = data[pixels + y * xor_row + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                clear = data[mask + y * and_row + x // 8] & (0x80 >> (x % 8))
                row.append(None if clear else index)
            rows.append(row)
        images[size] = rows
    return images


def png(rows):
    """An indexed PNG of the rows: the 16 colours, and a 17th entry that is fully transparent."""
    size = len(rows)
    clear = len(PALETTE)
    raw = b"".join(b"\0" + bytes(clear if c is None else c for c in row) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    palette = b"".join(bytes((r, g, b)) for (b, g, r) in PALETTE) + b"\0\0\0"
    alpha = b"\xff" * len(PALETTE) + b"\0"
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)) +
            chunk(b"PLTE", palette) + chunk(b"tRNS", alpha) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    """The design as rectangles on its 32-unit grid, edges kept sharp as in the bitmaps."""
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{GRID}" height="{GRID}" '
        f'viewBox="0 0 {GRID} {GRID}" shape-rendering="crispEdges">',
        '  <title>Diff-Zarvo</title>',
    ]
    for x0, y0, x1, y1, colour in shapes():
        b, g, r = PALETTE[colour]
        lines.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
                     f'fill="#{r:02x}{g:02x}{b:02x}"/>')
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    ico = sys.argv[1] if len(sys.argv) > 1 else "app/Zarvo.ico"
    output = sys.argv[2] if len(sys.argv) > 2 else "packaging/icons"
    images = read_ico(ico)
    missing = [size for size in FROM_ICO if size not in images]
    if missing:
        raise SystemExit(f"{ico}: no {missing} image")
    os.makedirs(output, exist_ok=True)
    for size in FROM_ICO:
        with open(os.path.join(output, f"{size}x{size}.png"), "wb") as f:
            f.write(png(images[size]))
    for size in DRAWN:
        with open(os.path.join(output, f"{size}x{size}.png"), "wb") as f:
            f.write(png(draw(size)))
    with open(os.path.join(output, "scalable.svg"), "w", encoding="utf-8") as f:
        f.write(svg())


if __name__ == "__main__":
    main()

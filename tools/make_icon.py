#!/usr/bin/env python3
"""Draws the program icon (32 x 32, 16 colours): a gunsight ring around a "V"
on an olive disc. Writes src/app/vorbix.ico. Reproducible: no inputs."""
import math
import struct
import sys

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # as (R, G, B)
BLACK, OLIVE, YELLOW, WHITE, RED = 0, 3, 11, 15, 9
SIZE = 32


def pixel(x, y):
    """Colour index, or None for transparent."""
    cx = cy = (SIZE - 1) / 2
    d = math.hypot(x - cx, y - cy)
    if d > 15.5:
        return None
    if d > 14.2:
        return BLACK
    if 11.0 < d <= 13.0:
        return YELLOW
    # Crosshair ticks through the ring.
    if (abs(x - cx) < 1 and d > 9.5) or (abs(y - cy) < 1 and d > 9.5):
        return RED
    # A "V": two strokes meeting at the bottom.
    top, bottom = 8, 23
    if top <= y <= bottom:
        t = (y - top) / (bottom - top)
        left = 9 + t * 6.5
        right = 22 - t * 6.5
        if abs(x - left) < 1.6 or abs(x - right) < 1.6:
            return WHITE
    return OLIVE


def main(out_path):
    rows = []
    mask_rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        mask = 0
        for x in range(0, SIZE, 2):
            a, b = pixel(x, y), pixel(x + 1, y)
            row.append(((a or 0) << 4) | (b or 0))
        bits = bytearray(4)
        for x in range(SIZE):
            if pixel(x, y) is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(bits))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    image = header + palette + b"".join(rows) + b"".join(mask_rows)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out_path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/vorbix.ico")

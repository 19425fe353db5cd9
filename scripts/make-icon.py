#!/usr/bin/env python3
"""Draws the application icon (a memory card with a fern frond) into resources/fernhollow.ico."""
import math
import struct
import sys


def inside_card(x, y):
    # Card outline with the top-right corner cut off.
    if not (0.18 <= x <= 0.82 and 0.08 <= y <= 0.92):
        return False
    return not (x + (0.92 - y) > 0.82 + 0.84 - 0.18 and y < 0.3)


def leaf(x, y):
    # A fern frond: a curved stem with leaflets on both sides.
    cx, top, bottom = 0.5, 0.22, 0.84
    if not (top <= y <= bottom):
        return False
    t = (y - top) / (bottom - top)
    stem = cx + 0.06 * math.sin(t * math.pi)
    if abs(x - stem) < 0.025:
        return True
    width = 0.26 * math.sin(t * math.pi * 0.9 + 0.15)
    phase = (t * 9.0) % 1.0
    return abs(x - stem) < width * (1.0 - abs(phase - 0.5) * 1.6) and abs(x - stem) > 0.03


def pixel(x, y):
    if not inside_card(x, y):
        return (0, 0, 0, 0)
    if leaf(x, y):
        return (46, 139, 87, 255)        # sea green
    if 0.25 <= x <= 0.75 and 0.86 <= y <= 0.9:
        return (200, 170, 60, 255)       # contacts
    return (60, 64, 72, 255)             # card body


def image(size, samples=4):
    rows = []
    for row in range(size - 1, -1, -1):  # bottom-up, as BMP wants
        line = bytearray()
        for col in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = pixel((col + (sx + 0.5) / samples) / size,
                                       (row + (sy + 0.5) / samples) / size)
                    acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
            n = samples * samples
            alpha = acc[3] // n
            if alpha:
                r, g, b = (acc[i] // acc[3] for i in range(3))
            else:
                r = g = b = 0
            line += bytes((b, g, r, alpha))
        rows.append(bytes(line))
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b''.join(rows) + bytes(mask_stride * size)


def main(out):
    sizes = (16, 24, 32, 48)
    blobs = [image(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, blob in zip(sizes, blobs):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(out, 'wb') as f:
        f.write(data + b''.join(blobs))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/fernhollow.ico')

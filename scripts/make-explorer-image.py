#!/usr/bin/env python3
"""Draws the picture of the settings form's Explorer button (an arrow into a folder) into
resources/explorer.png."""
import struct
import sys
import zlib

SIZE = 16


def pixel(x, y):
    # Folder: tab on the top left, body below.
    folder = (2 <= x <= 13 and 9 <= y <= 14) or (2 <= x <= 6 and y == 8)
    edge = folder and (x in (2, 13) or y in (8, 14) or (y == 9 and x > 6))
    # Arrow: a shaft and a head pointing down into the folder.
    shaft = 7 <= x <= 8 and 1 <= y <= 6
    head = 4 <= y <= 9 and abs(x - 7.5) <= 9 - y - 0.5 and y >= 6
    if shaft or head:
        return (0x1F, 0x5F, 0xC8, 0xFF)
    if edge:
        return (0x9A, 0x73, 0x1B, 0xFF)
    if folder:
        return (0xF2, 0xC9, 0x4C, 0xFF)
    return (0, 0, 0, 0)


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def main(path):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(rows, 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/explorer.png')

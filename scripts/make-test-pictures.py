#!/usr/bin/env python3
"""Writes the small pictures the tests load from resources into tests/support/.

test_picture.png (8 x 6, RGBA): left half opaque red, right half opaque blue, except the
bottom-right pixel, which is half-transparent green (alpha 128).
test_picture_disabled.png (8 x 6, RGB): opaque grey 0x80 everywhere.
"""
import pathlib
import struct
import zlib

root = pathlib.Path(__file__).resolve().parent.parent / 'tests' / 'support'


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)


def png(width, height, pixels, alpha):
    color_type = 6 if alpha else 2
    rows = b''
    for y in range(height):
        rows += b'\0' + b''.join(bytes(pixels(x, y)) for x in range(width))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, color_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def main_picture(x, y):
    if (x, y) == (7, 5):
        return (0, 255, 0, 128)
    return (255, 0, 0, 255) if x < 4 else (0, 0, 255, 255)


(root / 'test_picture.png').write_bytes(png(8, 6, main_picture, True))
(root / 'test_picture_disabled.png').write_bytes(png(8, 6, lambda x, y: (0x80, 0x80, 0x80), False))

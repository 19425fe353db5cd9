#!/usr/bin/env python3
"""Makes the imaging test pictures that no package ships: a JPEG whose ICC profile spans three
APP2 chunks, CMYK TIFFs with known values, a paletted PNG whose only transparent entry is 3, an
8-bit BMP whose grey palette runs backwards over every level, 1-bit black-and-white BMPs and
PNGs with black first and with white first in the palette, and GIFs without a global colour table
whose first, second or only frame has no local one either, or where every frame has one.

make-imaging-data.py OUT_DIR JPEG ICC
"""
import os
import struct
import sys
import zlib


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)


def paletted_png():
    # 4 x 2 pixels, 8-bit indexes 0..5; entry 3 alone is transparent.
    palette = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (9, 9, 9), (255, 255, 0), (0, 255, 255)]
    rows = [bytes([0, 0, 1, 2, 3]), bytes([0, 3, 4, 5, 0])]
    return (b'\x89PNG\r\n\x1a\n'
            + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 2, 8, 3, 0, 0, 0))
            + png_chunk(b'PLTE', b''.join(bytes(c) for c in palette))
            + png_chunk(b'tRNS', bytes([255, 255, 255, 0]))
            + png_chunk(b'IDAT', zlib.compress(b''.join(rows)))
            + png_chunk(b'IEND', b''))


def paletted_bmp(width, height, bits, greys, index):
    """Bottom-up rows of palette indexes (8 or 1 bits), a grey colour table."""
    stride = (width * bits + 31) // 32 * 4
    rows = b''
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if bits == 8:
                row[x] = index(x, y)
            else:
                row[x // 8] |= index(x, y) << (7 - x % 8)
        rows += row
    table = b''.join(bytes((g, g, g, 0)) for g in greys)
    offset = 14 + 40 + len(table)
    return (struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
            + struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(rows), 2835, 2835, len(greys), 0)
            + table + rows)


def one_bit_png(width, height, greys, index):
    rows = b''
    for y in range(height):
        row = bytearray((width + 7) // 8)
        for x in range(width):
            row[x // 8] |= index(x, y) << (7 - x % 8)
        rows += b'\0' + row
    return (b'\x89PNG\r\n\x1a\n'
            + png_chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 1, 3, 0, 0, 0))
            + png_chunk(b'PLTE', b''.join(bytes((g, g, g)) for g in greys))
            + png_chunk(b'IDAT', zlib.compress(rows))
            + png_chunk(b'IEND', b''))


def black_white_pictures():
    """13 x 7 (rows that end inside a byte), the same picture whichever index black has."""
    def white(x, y):
        return int((x * x + 3 * y) % 5 < 2)
    files = {}
    for name, greys, flip in (('black0', (0, 255), 0), ('white0', (255, 0), 1)):
        files[f'bw-{name}.bmp'] = paletted_bmp(13, 7, 1, greys, lambda x, y: white(x, y) ^ flip)
        files[f'bw-{name}.png'] = one_bit_png(13, 7, greys, lambda x, y: white(x, y) ^ flip)
    return files


def gif_frame(width, height, local_table):
    """Indexes 0..3 in 2-bit LZW codes; a clear code before each index keeps the code width at 3.
    A local table, when asked for, holds four colours."""
    clear, end = 4, 5
    codes = [c for i in range(width * height) for c in (clear, (i % width + i // width) % 4)] + [end]
    bits = sum(code << (3 * n) for n, code in enumerate(codes))
    data = bits.to_bytes((3 * len(codes) + 7) // 8, 'little')
    blocks = b''.join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    table = bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255]) if local_table else b''
    return (b',' + struct.pack('<HHHHB', 0, 0, width, height, 0x81 if local_table else 0) + table
            + bytes([2]) + blocks + b'\0')


def gif_without_global_table(local_tables, width=16, height=16):
    """One frame for each entry of `local_tables`, with a local colour table where it is true."""
    return (b'GIF89a' + struct.pack('<HHBBB', width, height, 0, 0, 0)
            + b''.join(gif_frame(width, height, local) for local in local_tables) + b';')


def cmyk_tiff(samples, pixels, width, height):
    """Uncompressed, one strip, PhotometricInterpretation 5 (separated)."""
    data = bytes(pixels)
    entries = []
    bits_offset = 8
    data_offset = bits_offset + 2 * samples
    ifd_offset = data_offset + len(data)
    ifd_offset += ifd_offset % 2
    entries = [
        (256, 3, 1, width), (257, 3, 1, height), (258, 3, samples, bits_offset), (259, 3, 1, 1),
        (262, 3, 1, 5), (273, 4, 1, data_offset), (277, 3, 1, samples), (278, 3, 1, height),
        (279, 4, 1, len(data)), (284, 3, 1, 1),
    ]
    if samples == 5:
        entries.append((338, 3, 1, 2))  # one unassociated alpha
    entries.sort()
    out = bytearray(b'II*\x00' + struct.pack('<I', ifd_offset))
    out += struct.pack('<' + 'H' * samples, *([8] * samples))
    out += data
    out += b'\x00' * (ifd_offset - len(out))
    out += struct.pack('<H', len(entries))
    for tag, kind, count, value in entries:
        if kind == 3 and count == 1:
            out += struct.pack('<HHIHH', tag, kind, count, value, 0)
        else:
            out += struct.pack('<HHII', tag, kind, count, value)
    out += struct.pack('<I', 0)
    return bytes(out)


def jpeg_with_icc(jpeg, icc, chunks=3):
    assert jpeg[:2] == b'\xff\xd8'
    size = -(-len(icc) // chunks)
    parts = [icc[i:i + size] for i in range(0, len(icc), size)]
    segments = b''
    for n, part in enumerate(parts, 1):
        body = b'ICC_PROFILE\x00' + bytes([n, len(parts)]) + part
        segments += b'\xff\xe2' + struct.pack('>H', len(body) + 2) + body
    return jpeg[:2] + segments + jpeg[2:]


def main():
    out, jpeg, icc = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    cmyk = [0, 64, 128, 255, 10, 20, 30, 40, 255, 0, 0, 0, 1, 2, 3, 4, 200, 150, 100, 50, 7, 77, 177, 250]
    cmyka = [0, 64, 128, 255, 255, 10, 20, 30, 40, 128, 255, 0, 0, 0, 0, 1, 2, 3, 4, 255]
    files = {
        'index3-transparent.png': paletted_png(),
        'cmyk-3x2.tif': cmyk_tiff(4, cmyk, 3, 2),
        'cmyka-2x2.tif': cmyk_tiff(5, cmyka, 2, 2),
        'icc-3-chunks.jpg': jpeg_with_icc(open(jpeg, 'rb').read(), open(icc, 'rb').read()),
        'grey8-palette.bmp': paletted_bmp(16, 16, 8, range(255, -1, -1), lambda x, y: y * 16 + x),
        'no-colour-table.gif': gif_without_global_table([False]),
        'no-colour-table-first.gif': gif_without_global_table([False, True]),
        'no-colour-table-second.gif': gif_without_global_table([True, False]),
        'local-colour-tables.gif': gif_without_global_table([True, True, True]),
        **black_white_pictures(),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()

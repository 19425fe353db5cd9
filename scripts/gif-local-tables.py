#!/usr/bin/env python3
"""Rewrites a GIF as frame-by-frame palette encoders write it: no global colour table, and every
frame that used the global one carries it as its own local table.

gif-local-tables.py IN OUT
"""
import sys


def sub_blocks(data, at):
    """The offset just past the data sub-blocks that start at `at`, their empty end included."""
    while data[at]:
        at += 1 + data[at]
    return at + 1


def local_tables_only(gif):
    assert gif[:3] == b'GIF'
    packed = gif[10]
    assert packed & 0x80, 'a global table to hand to the frames'
    at = 13 + (3 << ((packed & 7) + 1))
    table = gif[13:at]
    out = bytearray(gif[:10] + bytes([packed & 0x70]) + gif[11:13])
    while gif[at] != 0x3B:
        if gif[at] == 0x21:  # extension: introducer, label, data
            end = sub_blocks(gif, at + 2)
            out += gif[at:end]
        else:
            assert gif[at] == 0x2C
            descriptor = gif[at:at + 10]
            at += 10
            if descriptor[9] & 0x80:
                size = 3 << ((descriptor[9] & 7) + 1)
                out += descriptor + gif[at:at + size]
                at += size
            else:
                out += descriptor[:9] + bytes([descriptor[9] | 0x80 | (packed & 7)]) + table
            end = sub_blocks(gif, at + 1)  # LZW minimum code size, then the image data
            out += gif[at:end]
        at = end
    return bytes(out + b';')


def main():
    source, target = sys.argv[1:3]
    with open(source, 'rb') as f:
        gif = f.read()
    with open(target, 'wb') as f:
        f.write(local_tables_only(gif))


if __name__ == '__main__':
    main()

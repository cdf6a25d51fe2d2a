#!/usr/bin/env python3
"""Writes small bitmaps the loader accepts, one per kind of header, depth and
compression, as fuzzing seeds. Writes into seeds/ beside it; the files are kept in git."""
import os
import struct


def info40(w, h, bits, comp=0, size_image=0, clr_used=0):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, comp, size_image, 0, 0, clr_used, 0)


def core12(w, h, bits):
    return struct.pack('<IHHHH', 12, w, h, 1, bits)


def bmp(header, table=b'', pixels=b''):
    body = header + table + pixels
    return b'BM' + struct.pack('<IHHI', 14 + len(body), 0, 0, 14 + len(header) + len(table)) + body


def rows(w, h, bits):
    stride = (w * bits + 31) // 32 * 4
    return bytes((x * 7 + y * 13) & 0xFF for y in range(h) for x in range(stride))


def palette(n, entry=4):
    return b''.join(bytes([i * 3 & 0xFF, i * 5 & 0xFF, i * 11 & 0xFF] + [0] * (entry - 3))
                    for i in range(n))


def write(name, data):
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", name), 'wb') as f:
        f.write(data)


write('rgb24_5x3.bmp', bmp(info40(5, 3, 24), pixels=rows(5, 3, 24)))
write('rgb32_3x2.bmp', bmp(info40(3, 2, 32), pixels=rows(3, 2, 32)))
write('rgb16_3x3.bmp', bmp(info40(3, 3, 16), pixels=rows(3, 3, 16)))
write('pal8_6x2.bmp', bmp(info40(6, 2, 8), palette(256), rows(6, 2, 8)))
write('pal8_used4_4x4.bmp', bmp(info40(4, 4, 8, clr_used=4), palette(4), rows(4, 4, 8)))
write('pal4_9x2.bmp', bmp(info40(9, 2, 4), palette(16), rows(9, 2, 4)))
write('pal1_17x2.bmp', bmp(info40(17, 2, 1), palette(2), rows(17, 2, 1)))
write('core24_4x2.bmp', bmp(core12(4, 2, 24), pixels=rows(4, 2, 24)))
write('core8_4x2.bmp', bmp(core12(4, 2, 8), palette(256, 3), rows(4, 2, 8)))
write('bare24_2x2.dib', info40(2, 2, 24) + rows(2, 2, 24))
rle8 = b'\x04\x01\x00\x03\x05\x06\x07\x00\x00\x00\x02\x01\x01\x00\x01'
write('rle8_4x3.bmp', bmp(info40(4, 3, 8, comp=1, size_image=len(rle8)), palette(256), rle8))
rle4 = b'\x04\x12\x00\x00\x00\x03\x34\x50\x00\x01'
write('rle4_4x2.bmp', bmp(info40(4, 2, 4, comp=2, size_image=len(rle4)), palette(16), rle4))

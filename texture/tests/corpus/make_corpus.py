#!/usr/bin/env python3
"""Writes the malformed bitmaps the loader must refuse. Run from this folder;
the files are kept in git so the tests need no generator."""
import struct


def info40(w, h, bits, comp=0, size_image=0, clr_used=0):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, comp, size_image, 0, 0, clr_used, 0)


def file_header(total, offset):
    return b'BM' + struct.pack('<IHHI', total, 0, 0, offset)


def bmp(header, table=b'', pixels=b'', offset=None):
    if offset is None:
        offset = 14 + len(header) + len(table)
    body = header + table + pixels
    return file_header(14 + len(body), offset) + body


def rows24(w, h):
    stride = (w * 3 + 3) & ~3
    return bytes((x * 7 + y * 13) & 0xFF for y in range(h) for x in range(stride))


def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)


good24 = bmp(info40(64, 64, 24), pixels=rows24(64, 64))
write('truncated_header.bmp', good24[:14 + 20])
write('truncated_pixels.bmp', good24[:len(good24) - 64 * 3 * 32])
write('huge_100000.bmp', bmp(info40(100000, 100000, 24), pixels=rows24(4, 4)))
write('zero_width.bmp', bmp(info40(0, 16, 24), pixels=rows24(16, 16)))
write('zero_height.bmp', bmp(info40(16, 0, 24), pixels=rows24(16, 16)))
write('empty.bmp', b'')
write('only_magic.bmp', b'BM')
masks = struct.pack('<III', 0xF800, 0x07E0, 0x001F)
write('bitfields.bmp', bmp(info40(8, 8, 16, comp=3), table=masks, pixels=bytes(16 * 8)))
write('top_down.bmp', bmp(info40(8, -8, 24), pixels=rows24(8, 8)))
for size in (108, 124):
    hdr = struct.pack('<IiiHHIIiiII', size, 8, 8, 1, 24, 0, 0, 0, 0, 0, 0)
    hdr += bytes(size - 40)
    write('header_%d.bmp' % size, bmp(hdr, pixels=rows24(8, 8)))
write('header_64.bmp', bmp(struct.pack('<I', 64) + bytes(60), pixels=rows24(8, 8)))
write('rle8_no_size.bmp', bmp(info40(8, 8, 8, comp=1), table=bytes(1024),
                              pixels=b'\x08\x01\x00\x00' * 8 + b'\x00\x01'))
write('rle8_size_past_end.bmp', bmp(info40(8, 8, 8, comp=1, size_image=100000),
                                    table=bytes(1024), pixels=b'\x08\x01\x00\x00\x00\x01'))
write('rle4_with_8_bits.bmp', bmp(info40(8, 8, 8, comp=2, size_image=6), table=bytes(1024),
                                  pixels=b'\x08\x11\x00\x00\x00\x01'))
write('palette_past_end.bmp', bmp(info40(8, 8, 8), table=bytes(100)))
write('colours_used_70000.bmp', bmp(info40(8, 8, 8, clr_used=70000), table=bytes(1024),
                                    pixels=bytes(64)))
write('pixel_offset_past_end.bmp', bmp(info40(8, 8, 24), pixels=rows24(8, 8), offset=1 << 30))
write('jpeg_compression.bmp', bmp(info40(8, 8, 0, comp=4, size_image=4), pixels=b'\xff\xd8\xff\xd9'))
write('bits_per_pixel_7.bmp', bmp(info40(8, 8, 7), pixels=bytes(64)))
# Bare DIB (no file header) whose pixels stop short.
write('bare_truncated.dib', info40(32, 32, 24) + rows24(32, 16))
# OS/2 core header claiming a 256-colour table the file does not hold.
write('core_palette_past_end.bmp',
      bmp(struct.pack('<IHHHH', 12, 8, 8, 1, 8), table=bytes(30)))

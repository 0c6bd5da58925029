#!/usr/bin/env python3
"""Converts an X window dump (xwd, 24 or 32 bits, least significant byte
first, as Xvfb writes it) to a PNG, optionally cropped to x0,y0,x1,y1.
Plain Python, so that screenshots need nothing beyond xwd."""
import struct
import sys
import zlib


def read_dump(path):
    data = open(path, 'rb').read()
    header = struct.unpack('>25I', data[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line, colours = header[7], header[11], header[12], header[19]
    if byte_order != 0 or bits_per_pixel not in (24, 32):
        sys.exit(f'{path}: not a 24/32-bit least significant byte first dump')
    return data, header_size + colours * 12, width, height, bytes_per_line, bits_per_pixel // 8


def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit('usage: xwd2png.py IN.xwd OUT.png [x0,y0,x1,y1]')
    data, pixels, width, height, line, step = read_dump(sys.argv[1])
    x0, y0, x1, y1 = (0, 0, width, height)
    if len(sys.argv) == 4:
        x0, y0, x1, y1 = (int(v) for v in sys.argv[3].split(','))
        if not (0 <= x0 < x1 <= width and 0 <= y0 < y1 <= height):
            sys.exit(f'crop {sys.argv[3]} lies outside the {width}x{height} dump')
    rows = []
    for y in range(y0, y1):
        start = pixels + y * line
        bgr = data[start + x0 * step:start + x1 * step]
        rgb = bytearray((x1 - x0) * 3)
        rgb[0::3] = bgr[2::step]
        rgb[1::3] = bgr[1::step]
        rgb[2::3] = bgr[0::step]
        rows.append(b'\x00' + bytes(rgb))
    png = (b'\x89PNG\r\n\x1a\n'
           + png_chunk(b'IHDR', struct.pack('>IIBBBBB', x1 - x0, y1 - y0, 8, 2, 0, 0, 0))
           + png_chunk(b'IDAT', zlib.compress(b''.join(rows), 9))
           + png_chunk(b'IEND', b''))
    with open(sys.argv[2], 'wb') as out:
        out.write(png)


if __name__ == '__main__':
    main()

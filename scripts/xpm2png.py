#!/usr/bin/env python3
"""Writes an XPM picture as a PNG with its alpha channel: xpm2png.py IN.xpm OUT.png"""
import os
import struct
import sys
import zlib

from xpm2ico import read_xpm


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def main():
    source, out = sys.argv[1:3]
    width, height, pixels = read_xpm(source)
    rows = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in pixels)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(out + ".tmp", "wb") as f:
        f.write(png)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()

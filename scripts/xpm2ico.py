#!/usr/bin/env python3
"""Packs XPM pictures into one Windows icon file: xpm2ico.py OUT.ico IN.xpm...

Each picture becomes a 32-bit image with its alpha channel and an AND mask,
the form every Windows since XP reads."""
import os
import re
import struct
import sys


def read_xpm(path):
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding="ascii").read())
    width, height, ncolors, cpp = (int(v) for v in strings[0].split()[:4])
    colors = {}
    for line in strings[1:1 + ncolors]:
        key, fields = line[:cpp], line[cpp:].split()
        value = fields[fields.index("c") + 1]
        if value.lower() == "none":
            colors[key] = (0, 0, 0, 0)
        else:
            rgb = int(value.lstrip("#")[-6:], 16)
            colors[key] = (rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF, 255)
    rows = strings[1 + ncolors:1 + ncolors + height]
    pixels = [[colors[row[x * cpp:(x + 1) * cpp]] for x in range(width)] for row in rows]
    return width, height, pixels


def icon_image(width, height, pixels):
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    bgra = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bgra + bytes(mask)


def main():
    out, inputs = sys.argv[1], sys.argv[2:]
    images = [(w, h, icon_image(w, h, p)) for w, h, p in map(read_xpm, inputs)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, image in images:
        data += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, _, image in images)
    with open(out + ".tmp", "wb") as f:
        f.write(data)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the seed pictures of picture_fuzz into ../corpus/picture/.

Bitmap files of every depth and header kind, with and without the 8-byte
graphic header, run-length encoded ones, cut-short ones, a PNG and a GIF.
(picture.jpg beside them was written once by Qt's JPEG writer: a 7 x 5
picture of one colour.)
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "corpus", "picture")


def bmp(w, h, bits, pixels, palette=b"", comp=0, core=False, masks=b"", used=0):
    if core:
        header = struct.pack("<IHHHH", 12, w, h & 0xFFFF, 1, bits)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, comp, len(pixels),
                             2835, 2835, used, 0)
    offset = 14 + len(header) + len(masks) + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
            + header + masks + palette + pixels)


def rows(w, h, bits, value):
    out = b""
    for y in range(h):
        row = b""
        if bits < 8:
            acc, used = 0, 0
            for x in range(w):
                acc, used = acc << bits | value(x, y), used + bits
                if used == 8:
                    row, acc, used = row + bytes([acc]), 0, 0
            if used:
                row += bytes([acc << (8 - used)])
        else:
            for x in range(w):
                row += value(x, y).to_bytes(bits // 8, "little")
        out += row + b"\0" * (-len(row) % 4)
    return out


def palette(n, core=False):
    entry = 3 if core else 4
    return b"".join(bytes([i * 7 % 256, i * 13 % 256, 255 - i % 256, 0])[:entry] for i in range(n))


def graphic_header(data):
    return struct.pack("<HHI", 1, 0x0100, len(data)) + data


def png(w, h):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(bytes([x * 40 % 256, y * 60 % 256, 128]) for x in range(w))
                   for y in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


GIF = bytes([0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF,
             0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B])


def seeds():
    w, h = 7, 5
    s = {}
    s["bits1.bmp"] = bmp(w, h, 1, rows(w, h, 1, lambda x, y: (x + y) & 1), palette(2))
    s["bits4.bmp"] = bmp(w, h, 4, rows(w, h, 4, lambda x, y: (x + 3 * y) % 16), palette(16))
    s["bits8.bmp"] = bmp(w, h, 8, rows(w, h, 8, lambda x, y: x * 16 + y), palette(256))
    s["bits8_used.bmp"] = bmp(w, h, 8, rows(w, h, 8, lambda x, y: (x + y) % 12), palette(12), used=12)
    s["bits16.bmp"] = bmp(w, h, 16, rows(w, h, 16, lambda x, y: x << 10 | y << 5 | 31))
    s["bits16_565.bmp"] = bmp(w, h, 16, rows(w, h, 16, lambda x, y: x << 11 | y << 5 | 31), comp=3,
                              masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F))
    s["bits24.bmp"] = bmp(w, h, 24, rows(w, h, 24, lambda x, y: x * 30 << 16 | y * 40 << 8 | 99))
    s["bits24_topdown.bmp"] = bmp(w, -h, 24, rows(w, h, 24, lambda x, y: x * 30 << 16 | y << 8))
    s["bits32.bmp"] = bmp(w, h, 32, rows(w, h, 32, lambda x, y: x * 30 << 16 | y * 40 << 8))
    s["bits32_fields.bmp"] = bmp(w, h, 32, rows(w, h, 32, lambda x, y: x << 16 | y), comp=3,
                                 masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF))
    s["core8.bmp"] = bmp(w, h, 8, rows(w, h, 8, lambda x, y: x + y), palette(256, True), core=True)
    s["core24.bmp"] = bmp(w, h, 24, rows(w, h, 24, lambda x, y: x << 8 | y), core=True)
    rle8 = b"".join(bytes([3, y, 4, y + 1, 0, 0]) for y in range(h - 1)) + bytes([2, 9, 0, 2, 1, 0,
                                                                                  0, 3, 1, 2, 3, 0, 0, 1])
    s["rle8.bmp"] = bmp(w, h, 8, rle8, palette(256), comp=1)
    rle4 = b"".join(bytes([7, 0x12, 0, 0]) for y in range(h - 1)) + bytes([0, 4, 0x34, 0x56, 0, 1])
    s["rle4.bmp"] = bmp(w, h, 4, rle4, palette(16), comp=2)
    s["header_bits24.bin"] = graphic_header(s["bits24.bmp"])
    s["header_rle8.bin"] = graphic_header(s["rle8.bmp"])
    s["header_only.bin"] = graphic_header(b"")
    s["cut_rows.bmp"] = s["bits24.bmp"][:-30]
    s["cut_table.bmp"] = s["bits8.bmp"][:200]
    s["cut_header.bmp"] = s["bits24.bmp"][:30]
    s["cut_rle8.bmp"] = s["rle8.bmp"][:-7]
    s["picture.png"] = png(w, h)
    s["picture.gif"] = GIF
    return s


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds().items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)

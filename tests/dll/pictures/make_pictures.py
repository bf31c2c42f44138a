#!/usr/bin/env python3
"""Writes the test pictures of the dialog-helper tests (run once; the .bmp files are checked in).

Every picture has magenta (0xFF00FF) pixels where (x + y) % 3 == 0 and distinct colours elsewhere,
so that a drawing that is shifted, mirrored or not transparent shows up pixel by pixel.
"""
import struct

W, H = 12, 9
MAGENTA = (255, 0, 255)


def file_header(info_and_bits, bits_length):
    size = 14 + len(info_and_bits)
    return b"BM" + struct.pack("<IHHI", size, 0, 0, size - bits_length)


def info_header(width, height, bits, used, size_image, planes=1):
    return struct.pack("<IiiHHIIiiII", 40, width, height, planes, bits, 0, size_image, 2835, 2835,
                       used, 0)


def rows(width, height, pixel_bytes, bpp):
    stride = (width * bpp + 31) // 32 * 4
    out = b""
    for y in reversed(range(height)):  # bottom-up
        row = b"".join(pixel_bytes(x, y) for x in range(width))
        out += row + b"\0" * (stride - len(row))
    return out


def colour(x, y):
    return (20 + 19 * x, 30 + 25 * y, 0x90)


def write(name, data, bits_length):
    with open(name, "wb") as f:
        f.write(file_header(data, bits_length) + data)


def bgr(c):
    return bytes((c[2], c[1], c[0]))


# 24 bits per pixel, no colour table.
bits = rows(W, H, lambda x, y: bgr(MAGENTA if (x + y) % 3 == 0 else colour(x, y)), 24)
write("rgb24.bmp", info_header(W, H, 24, 0, len(bits)) + bits, len(bits))

# 8 bits per pixel, full 256-entry table (used-colour count 0); index 7 is magenta.
table = []
for i in range(256):
    table.append(MAGENTA if i == 7 else ((i * 37 + 11) % 256, (i * 91 + 5) % 256, (i * 53 + 60) % 256))
quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in table)
bits = rows(W, H, lambda x, y: bytes((7 if (x + y) % 3 == 0 else 16 + x + W * y,)), 8)
write("indexed8.bmp", info_header(W, H, 8, 0, len(bits)) + quads + bits, len(bits))

# 8 bits per pixel with a used-colour count of 3: red, green, magenta.
small = [(200, 40, 40), (40, 200, 40), MAGENTA]
quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in small)
bits = rows(W, H, lambda x, y: bytes((2 if (x + y) % 3 == 0 else (x + y) % 2,)), 8)
write("indexed8_three.bmp", info_header(W, H, 8, 3, len(bits)) + quads + bits, len(bits))

# Damaged: claims 100000 x 100000 pixels but carries a few bytes.
write("damaged_size.bmp", info_header(100000, 100000, 8, 0, 0) + b"\0" * 64, 64)

# Damaged: a used-colour count far beyond what 8 bits can index.
write("damaged_table.bmp", info_header(W, H, 8, 1000, 0) + b"\0" * 256, 256)

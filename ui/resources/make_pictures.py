#!/usr/bin/env python3
"""Draws the UI plug-in's bitmaps and icons into ui/resources (run by hand; the outputs are
committed, so the build needs no generator).

Shapes are drawn at four times the final size and reduced; pictures that the pages draw with the
transparent routine keep magenta (0xFF00FF) wherever less than half of a pixel is covered, so
that no pinkish fringe remains. Usage: make_pictures.py [output folder].
"""
import math
import os
import struct
import sys

SS = 4  # subsamples per pixel along each axis
MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


class Canvas:
    """A supersampled picture: each subsample is None (uncovered) or an (r, g, b) colour."""

    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        self.sw, self.sh = width * SS, height * SS
        self.px = [[background] * self.sw for _ in range(self.sh)]
        self.clip = None  # (x0, y0, x1, y1) that every shape is cut to, or None


    def _fill(self, inside, box, colour):
        x0, y0, x1, y1 = box
        if self.clip:
            x0, y0 = max(x0, self.clip[0]), max(y0, self.clip[1])
            x1, y1 = min(x1, self.clip[2]), min(y1, self.clip[3])
        for sy in range(max(0, int(y0 * SS)), min(self.sh, int(math.ceil(y1 * SS)))):
            y = (sy + 0.5) / SS
            row = self.px[sy]
            for sx in range(max(0, int(x0 * SS)), min(self.sw, int(math.ceil(x1 * SS)))):
                if inside((sx + 0.5) / SS, y):
                    row[sx] = colour(sx / SS, y) if callable(colour) else colour

    def rect(self, x0, y0, x1, y1, colour):
        self._fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1), colour)

    def frame(self, x0, y0, x1, y1, width, colour):
        self.rect(x0, y0, x1, y0 + width, colour)
        self.rect(x0, y1 - width, x1, y1, colour)
        self.rect(x0, y0, x0 + width, y1, colour)
        self.rect(x1 - width, y0, x1, y1, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self._fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                   (cx - rx, cy - ry, cx + rx, cy + ry), colour)

    def ring(self, cx, cy, r, width, colour):
        self._fill(lambda x, y: r - width <= math.hypot(x - cx, y - cy) <= r,
                   (cx - r, cy - r, cx + r, cy + r), colour)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i in range(len(points)):
                (xi, yi), (xj, yj) = points[i], points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self._fill(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour)

    def arrow(self, x0, y, x1, colour, shaft=2.0, head=4.0):
        self.rect(x0, y - shaft / 2, x1 - head, y + shaft / 2, colour)
        self.polygon([(x1 - head - 0.5, y - head), (x1, y), (x1 - head - 0.5, y + head)], colour)

    def pixels(self, transparent):
        """Reduced pixels; uncovered ones become magenta when transparent, else white."""
        out = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                covered = [self.px[y * SS + j][x * SS + i] for j in range(SS) for i in range(SS)]
                covered = [c for c in covered if c is not None]
                if transparent and len(covered) * 2 < SS * SS:
                    row.append(MAGENTA)
                    continue
                if not transparent:
                    covered += [WHITE] * (SS * SS - len(covered))
                row.append(tuple(round(sum(c[k] for c in covered) / len(covered))
                                 for k in range(3)))
            out.append(row)
        if transparent:  # a colour that rounds to magenta would vanish: nudge it
            for row in out:
                for x, c in enumerate(row):
                    if c != MAGENTA and abs(c[0] - 255) + c[1] + abs(c[2] - 255) < 12:
                        row[x] = (230, 30, 230)
        return out


# ---- File formats ----

def info_header(width, height, bits, used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835,
                       used, 0)


def packed_rows(pixels, bits, index=None):
    """Bottom-up rows padded to 32 bits; 24-bit BGR, or 8-bit indexes through `index`."""
    out = b""
    for row in reversed(pixels):
        if bits == 24:
            data = b"".join(bytes((c[2], c[1], c[0])) for c in row)
        else:
            data = bytes(index[c] for c in row)
        out += data + b"\0" * ((-len(data)) % 4)
    return out


def write_bmp(path, pixels, bits):
    h, w = len(pixels), len(pixels[0])
    table, index = b"", None
    used = 0
    if bits == 8:
        colours = sorted({c for row in pixels for c in row})
        if len(colours) > 256:
            raise ValueError(f"{path}: {len(colours)} colours do not fit 8 bits")
        index = {c: i for i, c in enumerate(colours)}
        table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)
        used = len(colours)
    bits_data = packed_rows(pixels, bits, index)
    info = info_header(w, h, bits, used, len(bits_data)) + table
    offset = 14 + len(info)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(bits_data), 0, 0, offset))
        f.write(info + bits_data)


def icon_image(pixels, alpha):
    """One 32-bit icon image: header of double height, BGRA rows, then the AND mask."""
    h, w = len(pixels), len(pixels[0])
    xor = b""
    for y in reversed(range(h)):
        xor += b"".join(bytes((pixels[y][x][2], pixels[y][x][1], pixels[y][x][0], alpha[y][x]))
                        for x in range(w))
    mask = b""
    stride = ((w + 31) // 32) * 4
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if alpha[y][x] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return info_header(w, h * 2, 32, 0, len(xor) + len(mask)) + xor + mask


def write_ico(path, images):
    """images: (pixels, alpha) pairs, one per size."""
    blobs = [icon_image(p, a) for p, a in images]
    offset = 6 + 16 * len(blobs)
    head = struct.pack("<HHH", 0, 1, len(blobs))
    entries = b""
    for (p, _), blob in zip(images, blobs):
        w, h = len(p[0]), len(p)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(head + entries + b"".join(blobs))


def grey(c):
    v = round(0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2])
    return (v, v, v)


def quantise(pixels, count=256):
    """Keeps the `count` most frequent colours and maps every other one to the nearest of them
    (the pictures are mostly flat areas, so only anti-aliased edges move)."""
    frequency = {}
    for row in pixels:
        for c in row:
            frequency[c] = frequency.get(c, 0) + 1
    kept = sorted(frequency, key=lambda c: (-frequency[c], c))[:count]
    nearest = {}
    for c in frequency:
        nearest[c] = min(kept, key=lambda k: sum((a - b) ** 2 for a, b in zip(c, k)))
    return [[nearest[c] for c in row] for row in pixels]


# ---- Pictures ----

def page(c, x0, y0, x1, y1, fold=4, paper=WHITE, edge=(96, 96, 96)):
    """A sheet of paper with a folded top-right corner."""
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], edge)
    c.polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
               (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], paper)
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], (200, 200, 200))


def landscape(c, x0, y0, x1, y1):
    """A small scene: sky, sun, hills and a house (a photograph stand-in)."""
    h = y1 - y0
    saved, c.clip = c.clip, (x0, y0, x1, y1)
    c.rect(x0, y0, x1, y1, (110, 170, 240))
    c.rect(x0, y0 + h * 0.45, x1, y1, (170, 210, 250))
    c.ellipse(x1 - (x1 - x0) * 0.25, y0 + h * 0.28, h * 0.14, h * 0.14, (255, 200, 40))
    c.ellipse(x0 + (x1 - x0) * 0.3, y1 + h * 0.25, (x1 - x0) * 0.55, h * 0.6, (70, 160, 60))
    c.ellipse(x1 - (x1 - x0) * 0.1, y1 + h * 0.35, (x1 - x0) * 0.5, h * 0.55, (40, 130, 50))
    hx, hy, hw = x0 + (x1 - x0) * 0.55, y0 + h * 0.55, (x1 - x0) * 0.18
    c.rect(hx, hy, hx + hw, hy + hw * 0.8, (235, 225, 200))
    c.polygon([(hx - hw * 0.15, hy), (hx + hw / 2, hy - hw * 0.55), (hx + hw * 1.15, hy)],
              (200, 50, 40))
    c.rect(hx + hw * 0.38, hy + hw * 0.35, hx + hw * 0.62, hy + hw * 0.8, (120, 70, 40))
    c.clip = saved


def colour_settings(mono):
    """6050/6051: what the office colour settings work on, in colour or in grey."""
    c = Canvas(80, 60, WHITE)
    landscape(c, 0, 0, 80, 60)
    swatches = [(220, 40, 40), (250, 200, 30), (40, 170, 70), (40, 90, 210), (30, 30, 30)]
    for i, s in enumerate(swatches):
        c.rect(4 + i * 9, 50, 12 + i * 9, 57, s)
        c.frame(4 + i * 9, 50, 12 + i * 9, 57, 0.5, WHITE)
    pixels = c.pixels(False)
    if mono:
        pixels = [[grey(p) for p in row] for row in pixels]
    return quantise(pixels)


def link_picture():
    """6052: a globe, the web link of the pages."""
    c = Canvas(16, 16, (240, 240, 240))
    blue, dark = (40, 120, 220), (20, 70, 160)
    c.ellipse(8, 8, 7, 7, dark)
    c.ellipse(8, 8, 6.2, 6.2, blue)
    land = (80, 180, 80)
    c.ellipse(5.5, 6, 2.5, 2, land)
    c.ellipse(10, 10.5, 2.2, 2.6, land)
    c.ring(8, 8, 6.2, 0.6, (170, 210, 250))
    c.rect(1.5, 7.7, 14.5, 8.3, (170, 210, 250))
    c._fill(lambda x, y: abs(((x - 8) / 3.0) ** 2 + ((y - 8) / 6.2) ** 2 - 1) < 0.18,
            (1, 1, 15, 15), (170, 210, 250))  # a meridian
    return c.pixels(False)


def quality_picture(cell):
    """6053..6055: a ring and a stroke as printed with dots of `cell` pixels (0: smooth)."""
    c = Canvas(64, 48, WHITE)
    c.frame(0, 0, 64, 48, 1, (160, 160, 160))
    ink = (30, 30, 30)

    def on_shape(x, y):
        return (12 <= math.hypot(x - 22, y - 24) <= 17 or
                (abs((x - 36) - (44 - y) * 0.7) < 2.5 and 6 <= y <= 42))

    if cell == 0:
        c._fill(on_shape, (2, 2, 62, 46), ink)
    else:
        for y in range(2, 46, cell):
            for x in range(2, 62, cell):
                if on_shape(x + cell / 2, y + cell / 2):
                    c.rect(x, y, x + cell, y + cell, ink)
    return c.pixels(False)


def about_picture():
    """6056: the product's emblem: a printer with three colour drops."""
    c = Canvas(48, 48)
    body, dark = (90, 100, 120), (50, 56, 70)
    c.rect(12, 6, 36, 18, WHITE)
    c.frame(12, 6, 36, 18, 1, dark)
    c.polygon([(4, 18), (44, 18), (44, 34), (4, 34)], body)
    c.rect(4, 18, 44, 20, dark)
    c.rect(10, 30, 38, 42, WHITE)
    c.frame(10, 30, 38, 42, 1, dark)
    c.rect(14, 34, 34, 35, (160, 160, 160))
    c.rect(14, 37, 28, 38, (160, 160, 160))
    c.ellipse(38, 23, 1.6, 1.6, (120, 230, 120))
    for i, ink in enumerate([(0, 170, 230), (230, 0, 130), (250, 210, 0)]):
        cx = 14 + i * 7
        c.polygon([(cx, 20.5), (cx - 2.6, 25.5), (cx + 2.6, 25.5)], ink)
        c.ellipse(cx, 26, 2.6, 2.6, ink)
    return c.pixels(True)


def mode_picture(mode):
    """6100..6104: the five colour modes, drawn transparent on their buttons."""
    c = Canvas(48, 40)
    page(c, 6, 2, 42, 38, fold=6)
    if mode == "auto":
        for (cx, cy), ink in zip(((19, 14), (28, 14), (23.5, 21)),
                                 [(220, 40, 40), (40, 170, 70), (40, 90, 210)]):
            c.ellipse(cx, cy, 5.5, 5.5, ink)
        # A badge with an "A": the printer decides.
        c.ellipse(33, 30, 6, 6, (250, 170, 0))
        c.polygon([(30, 34.5), (32.2, 25.5), (33.8, 25.5), (36, 34.5), (34.4, 34.5),
                   (33, 28.2), (31.6, 34.5)], WHITE)
        c.rect(31.4, 31, 34.6, 32.3, WHITE)
    elif mode == "office":
        for y in (8, 11, 14):
            c.rect(10, y, 34, y + 1.2, (150, 150, 150))
        c.rect(10, 34, 38, 35, (90, 90, 90))
        for i, (h, ink) in enumerate([(8, (40, 90, 210)), (14, (220, 40, 40)),
                                      (11, (40, 170, 70)), (17, (250, 190, 0))]):
            c.rect(12 + i * 6.5, 34 - h, 17 + i * 6.5, 34, ink)
    elif mode == "photo":
        landscape(c, 10, 8, 38, 32)
        c.frame(10, 8, 38, 32, 1, (90, 90, 90))
    elif mode == "raw":
        inks = [(255, 0, 0), (0, 200, 0), (0, 0, 255), (0, 220, 220), (230, 0, 150),
                (250, 230, 0)]
        for i, ink in enumerate(inks):
            x, y = 11 + (i % 3) * 9, 10 + (i // 3) * 11
            c.rect(x, y, x + 8, y + 9, ink)
        c.rect(11, 33, 37, 34, (90, 90, 90))
    elif mode == "grey":
        c2 = Canvas(48, 40)
        landscape(c2, 10, 8, 38, 32)
        for sy in range(c.sh):
            for sx in range(c.sw):
                v = c2.px[sy][sx]
                if v is not None:
                    c.px[sy][sx] = grey(v)
        c.frame(10, 8, 38, 32, 1, (90, 90, 90))
    return c.pixels(True)


def flow_picture(kind):
    """6105..6107: steps of the colour flow in the advanced picture details."""
    c = Canvas(48, 24)
    arrow = (70, 70, 70)
    if kind == "profile":  # input through a profile
        page(c, 2, 3, 16, 21, fold=4)
        for i, ink in enumerate([(220, 40, 40), (40, 170, 70), (40, 90, 210)]):
            c.rect(5, 8 + i * 4, 12, 10.5 + i * 4, ink)
        c.arrow(19, 12, 46, arrow)
    elif kind == "simulation":  # through the printer being simulated
        c.arrow(2, 12, 17, arrow)
        c.rect(18, 8, 34, 18, (90, 100, 120))
        c.rect(21, 4, 31, 8, WHITE)
        c.frame(21, 4, 31, 8, 0.8, (50, 56, 70))
        c.rect(21, 15, 31, 20, WHITE)
        c.frame(21, 15, 31, 20, 0.8, (50, 56, 70))
        c.arrow(35, 12, 46, arrow)
    else:  # one link profile for the whole way
        c.arrow(2, 12, 12, arrow)
        for cx, ink in ((19, (40, 90, 210)), (29, (220, 40, 40))):
            c.ring(cx, 12, 6, 2, ink)
        c.arrow(36, 12, 46, arrow)
    return c.pixels(True)


def combination_icon(size, mirror, negative):
    """7001..7004: a page with an "F" as printed normally, mirrored, negative, or both."""
    k = size / 32
    c = Canvas(size, size)
    paper, ink = (BLACK, WHITE) if negative else (WHITE, BLACK)
    page(c, 5 * k, 2 * k, 27 * k, 30 * k, fold=6 * k, paper=paper, edge=(80, 80, 80))
    bars = [(10, 8, 14, 24), (10, 8, 22, 12), (10, 14.5, 19, 18)]
    for x0, y0, x1, y1 in bars:
        if mirror:
            x0, x1 = 32 - x1, 32 - x0
        c.rect(x0 * k, y0 * k, x1 * k, y1 * k, ink)
    pixels = []
    alpha = []
    for y in range(size):
        prow, arow = [], []
        for x in range(size):
            covered = [c.px[y * SS + j][x * SS + i] for j in range(SS) for i in range(SS)]
            covered = [v for v in covered if v is not None]
            a = round(255 * len(covered) / (SS * SS))
            prow.append(tuple(round(sum(v[n] for v in covered) / len(covered)) for n in range(3))
                        if covered else (0, 0, 0))
            arow.append(a)
        pixels.append(prow)
        alpha.append(arow)
    return pixels, alpha


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    bmp = lambda name, pixels, bits: write_bmp(os.path.join(out, name), pixels, bits)
    bmp("colour_settings.bmp", colour_settings(False), 8)
    bmp("colour_settings_grey.bmp", colour_settings(True), 8)
    bmp("link.bmp", link_picture(), 24)
    bmp("quality_high.bmp", quality_picture(0), 24)
    bmp("quality_normal.bmp", quality_picture(2), 24)
    bmp("quality_low.bmp", quality_picture(4), 24)
    bmp("about.bmp", about_picture(), 24)
    for name, mode in (("mode_auto", "auto"), ("mode_grey", "grey"), ("mode_raw", "raw"),
                       ("mode_photo", "photo"), ("mode_office", "office")):
        bmp(name + ".bmp", mode_picture(mode), 24)
    for name in ("profile", "simulation", "link_profile"):
        bmp("flow_" + name + ".bmp", flow_picture(name), 24)
    for name, mirror, negative in (("print_normal", False, False), ("print_mirror", True, False),
                                   ("print_negative", False, True), ("print_both", True, True)):
        write_ico(os.path.join(out, name + ".ico"),
                  [combination_icon(32, mirror, negative), combination_icon(16, mirror, negative)])


if __name__ == "__main__":
    main()

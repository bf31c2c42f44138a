#!/usr/bin/env python3
"""Draws the support page's pictures into this folder (run by hand; the outputs are committed):
the framed picture 1100 (8 bits with a colour table, as the page realises it as a palette), the
transparent emblem 1003 (24 bits, magenta transparent) and the page's icon 1102. Uses the UI
plug-in's drawing helpers. Usage: make_pictures.py [output folder].
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "ui", "resources"))
from make_pictures import (BLACK, WHITE, Canvas, SS, quantise, write_bmp,  # noqa: E402
                           write_ico)

NAVY, SKY, GREEN = (30, 60, 120), (120, 180, 235), (60, 170, 90)


def support_picture():
    """1100: a headset over a globe, on a light panel."""
    c = Canvas(120, 80, (240, 244, 250))
    c.ellipse(60, 44, 28, 28, SKY)
    for dy in (-14, 0, 14):
        c.rect(34, 44 + dy - 0.8, 86, 44 + dy + 0.8, NAVY)
    c.ellipse(60, 44, 10, 28, (170, 210, 245))
    c.rect(59, 16, 61, 72, NAVY)
    c.ring(60, 36, 26, 3, BLACK)
    c.rect(30, 30, 38, 46, NAVY)
    c.rect(82, 30, 90, 46, NAVY)
    c.rect(6, 70, 114, 74, GREEN)
    return quantise(c.pixels(False), 64)


def support_emblem():
    """1003: a round question mark, transparent."""
    c = Canvas(32, 32)
    c.ellipse(16, 16, 14, 14, GREEN)
    c.ring(16, 12, 6, 2.4, WHITE)
    c.rect(9, 12, 16, 18, GREEN)
    c.rect(14.8, 17, 17.2, 22, WHITE)
    c.ellipse(16, 25.5, 1.7, 1.7, WHITE)
    return c.pixels(True)


def page_icon(size):
    """1102: the emblem as the sheet's tab icon."""
    k = size / 32
    c = Canvas(size, size)
    c.ellipse(16 * k, 16 * k, 15 * k, 15 * k, NAVY)
    c.ring(16 * k, 12 * k, 6 * k, 2.4 * k, WHITE)
    c.rect(9 * k, 12 * k, 16 * k, 18 * k, NAVY)
    c.rect(14.8 * k, 17 * k, 17.2 * k, 22 * k, WHITE)
    c.ellipse(16 * k, 25.5 * k, 1.7 * k, 1.7 * k, WHITE)
    pixels, alpha = [], []
    for y in range(size):
        prow, arow = [], []
        for x in range(size):
            covered = [c.px[y * SS + j][x * SS + i] for j in range(SS) for i in range(SS)]
            covered = [v for v in covered if v is not None]
            arow.append(round(255 * len(covered) / (SS * SS)))
            prow.append(tuple(round(sum(v[n] for v in covered) / len(covered)) for n in range(3))
                        if covered else (0, 0, 0))
        pixels.append(prow)
        alpha.append(arow)
    return pixels, alpha


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    write_bmp(os.path.join(out, "support_picture.bmp"), support_picture(), 8)
    write_bmp(os.path.join(out, "support_emblem.bmp"), support_emblem(), 24)
    write_ico(os.path.join(out, "support.ico"), [page_icon(32), page_icon(16)])


if __name__ == "__main__":
    main()

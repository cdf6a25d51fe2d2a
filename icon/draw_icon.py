#!/usr/bin/env python3
"""Draws Velumira's icon: a sheet of cloth hanging from a rod, lit from the
upper left, its folds deepening towards a wavy hem and swaying a little to the
right in a breeze. Writes one RGBA PNG per size, and
the installer's side picture:

    draw_icon.py <out-dir> <size>...      -> <out-dir>/velumira-<size>.png
    draw_icon.py <out-dir> welcome        -> <out-dir>/velumira-welcome.bmp

Plain Python on purpose (zlib and struct only), so the build needs nothing
beyond python3. Every pixel is supersampled; the drawing is a function of the
unit square, so each size is drawn afresh rather than scaled down, and the
smallest sizes get fewer, broader folds to stay readable."""

import math
import struct
import sys
import zlib

# Light from the upper left and in front; the viewer looks along +z.
LIGHT = (-0.55, -0.45, 0.70)
_n = math.sqrt(sum(c * c for c in LIGHT))
LIGHT = tuple(c / _n for c in LIGHT)
HALF = (LIGHT[0], LIGHT[1], LIGHT[2] + 1.0)
_n = math.sqrt(sum(c * c for c in HALF))
HALF = tuple(c / _n for c in HALF)

CLOTH_DARK = (24, 40, 110)  # unlit deep blue
CLOTH_LIT = (92, 150, 235)  # fully lit
SHEEN = (235, 245, 255)
ROD_DARK = (92, 54, 20)
ROD_LIT = (232, 178, 92)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class Sheet:
    """The cloth's outline and surface, in unit coordinates (y downwards)."""

    def __init__(self, size):
        self.folds = 2.0 if size <= 24 else 3.0
        self.top, self.hem = 0.18, 0.86
        self.left, self.right = 0.17, 0.83

    def sway(self, t):  # sideways drift at depth t (0 top, 1 hem)
        return 0.06 * t * t

    def edges(self, t):
        flare = 0.035 * t ** 1.5
        s = self.sway(t)
        return self.left - flare + s, self.right + flare + s

    def fold(self, u, t):
        """Height of the surface towards the viewer and its slope along u."""
        amp = 0.25 + 0.75 * t
        k = 2.0 * math.pi * self.folds
        phase = k * u + 0.9 * t
        return amp * math.sin(phase), amp * k * math.cos(phase)

    def hem_at(self, u):
        return self.hem + 0.035 * math.sin(2.0 * math.pi * self.folds * u + 0.9 + math.pi / 2)

    def colour(self, x, y):
        if y < self.top:
            return None
        t = (y - self.top) / (self.hem - self.top)
        left, right = self.edges(min(t, 1.0))
        if x < left or x > right:
            return None
        u = (x - left) / (right - left)
        if y > self.hem_at(u):
            return None
        _, slope = self.fold(u, min(t, 1.0))
        # Surface normal from the fold's slope across the sheet; the sheet
        # also leans back a little towards its top.
        nx, ny, nz = -slope * 0.10, -0.25 * (1.0 - t), 1.0
        n = math.sqrt(nx * nx + ny * ny + nz * nz)
        nx, ny, nz = nx / n, ny / n, nz / n
        diffuse = max(0.0, nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2])
        glint = max(0.0, nx * HALF[0] + ny * HALF[1] + nz * HALF[2]) ** 24
        # The upper left catches more light than the hem.
        falloff = 1.0 - 0.35 * (0.6 * t + 0.4 * u)
        c = mix(CLOTH_DARK, CLOTH_LIT, min(1.0, 0.15 + 0.95 * diffuse * falloff))
        c = mix(c, SHEEN, 0.75 * glint)
        # A darker rim so the outline survives at 16 pixels.
        edge = min(u, 1.0 - u) * (right - left)
        if edge < 0.025 or self.hem_at(u) - y < 0.025:
            c = mix(c, CLOTH_DARK, 0.55)
        return c


def rod_colour(x, y, r):
    """The rod the sheet hangs from, a cylinder of radius r with round knobs."""
    cy = 0.155
    for kx in (0.09, 0.91):
        if (x - kx) ** 2 + (y - cy) ** 2 <= (r * 1.45) ** 2:
            d = max(0.0, 1.0 - ((x - kx + 0.02) ** 2 + (y - cy + 0.02) ** 2) / (r * 1.45) ** 2)
            return mix(ROD_DARK, ROD_LIT, 0.25 + 0.75 * d)
    if 0.09 <= x <= 0.91 and abs(y - cy) <= r:
        v = (y - cy) / r  # -1 top .. 1 bottom
        lit = max(0.0, 1.0 - (v + 0.35) ** 2)
        return mix(ROD_DARK, ROD_LIT, 0.2 + 0.8 * lit)
    return None


def draw(size):
    """The icon as rows of (red, green, blue, coverage 0..1) pixels."""
    sheet = Sheet(size)
    rod = 0.065 if size <= 24 else 0.045  # at least a pixel and a half thick
    n = 4 if size <= 64 else 3
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(n):
                y = (py + (sy + 0.5) / n) / size
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    c = rod_colour(x, y, rod) or sheet.colour(x, y)
                    if c:
                        acc = [a + b for a, b in zip(acc, c)]
                        hits += 1
            row.append(tuple(a / max(hits, 1) for a in acc) + (hits / (n * n),))
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    pixels = b"".join(b"\0" + bytes(round(v * (255 if i == 3 else 1))
                                    for p in row for i, v in enumerate(p)) for row in rows)
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def welcome():
    """The installer's side picture (164 x 314, 24-bit BMP): the sheet hanging
    in the glow of its light, on a dark ground."""
    width, height, size, left, top = 164, 314, 148, 8, 70
    sheet = draw(size)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            glow = math.exp(-((x - 10) ** 2 + (y - 30) ** 2) / (2 * 90.0 ** 2))
            c = mix((12, 14, 34), (120, 110, 150), glow)
            if left <= x < left + size and top <= y < top + size:
                *ink, cover = sheet[y - top][x - left]
                c = mix(c, ink, cover)
            row.append(c)
        rows.append(row)
    pixels = b"".join(bytes(round(v) for p in row for v in reversed(p))
                      for row in reversed(rows))  # bottom-up, blue first
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels),
                         2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0,
                       14 + len(header)) + header + pixels


def main():
    out = sys.argv[1]
    for arg in sys.argv[2:]:
        if arg == "welcome":
            with open(f"{out}/velumira-welcome.bmp", "wb") as f:
                f.write(welcome())
            continue
        with open(f"{out}/velumira-{arg}.png", "wb") as f:
            f.write(png(draw(int(arg))))


if __name__ == "__main__":
    main()

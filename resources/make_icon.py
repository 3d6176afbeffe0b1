#!/usr/bin/env python3
"""Draws the program's icon and writes it as an .ico file.

The picture is a small monitor showing a landscape wallpaper: blue sky, a
yellow sun and green hills on a silver screen frame with a stand. It is
drawn once for a 32 x 32 and once for a 16 x 16 image, both with the 16
standard colours (4 bits per pixel), so the shell has a sharp icon at both
sizes. Usage: make_icon.py OUTPUT.ico
"""
import math
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_GREEN, SILVER, GREY, GREEN, YELLOW, BLUE, CYAN, WHITE = 0, 2, 7, 8, 10, 11, 12, 14, 15

# Shapes in a 32 x 32 design space: (left, top, right, bottom), right and
# bottom outside.
BODY = (1, 3, 31, 25)
SCREEN = (4, 6, 28, 22)
NECK = (13, 25, 19, 27)
BASE = (8, 27, 24, 30)
SUN = (22.0, 10.5, 3.2)  # centre x, centre y, radius


def inside(rect, x, y):
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def horizon(x):
    return 16.5 - 2.5 * math.sin((x - 4.0) / 4.0)


def screen_colour(x, y):
    sx, sy, r = SUN
    if (x - sx) ** 2 + (y - sy) ** 2 <= r * r:
        return YELLOW
    h = horizon(x)
    if y >= h + 3.0:
        return DARK_GREEN
    if y >= h:
        return GREEN
    return BLUE if y < 11.0 else CYAN


class Canvas:
    """One image of size x size pixels; None is a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.scale = 32.0 / size
        self.pixels = [[None] * size for _ in range(size)]

    def centre(self, px, py):
        return (px + 0.5) * self.scale, (py + 0.5) * self.scale

    def covers(self, rect, px, py):
        if not (0 <= px < self.size and 0 <= py < self.size):
            return False
        return inside(rect, *self.centre(px, py))

    def fill(self, rect, colour_at, outline=None):
        for py in range(self.size):
            for px in range(self.size):
                if not self.covers(rect, px, py):
                    continue
                edge = any(not self.covers(rect, px + dx, py + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                if edge and outline is not None:
                    self.pixels[py][px] = outline
                else:
                    self.pixels[py][px] = colour_at(*self.centre(px, py))


def draw(size):
    canvas = Canvas(size)
    canvas.fill(BASE, lambda x, y: GREY, outline=BLACK if size >= 32 else None)
    canvas.fill(NECK, lambda x, y: GREY)
    canvas.fill(BODY, lambda x, y: WHITE if y < 4.5 else SILVER, outline=BLACK)
    canvas.fill(SCREEN, screen_colour, outline=GREY if size >= 32 else None)
    return canvas.pixels


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def icon_image(pixels):
    """The DIB of one icon image: header, palette, colour rows, mask rows."""
    size = len(pixels)
    colour_stride, mask_stride = row_bytes(size * 4), row_bytes(size)
    colours, mask = bytearray(), bytearray()
    for row in reversed(pixels):  # a DIB is stored bottom-up
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colours += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(draw(size)) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icon.py OUTPUT.ico')
    with open(sys.argv[1], 'wb') as f:
        f.write(icon_file([32, 16]))


if __name__ == '__main__':
    main()

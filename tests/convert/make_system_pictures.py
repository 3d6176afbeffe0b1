#!/usr/bin/env python3
"""Writes the pictures the system-decoder tests read into the folder given as
the only argument: a 7 x 5 picture of known pixels encoded by ImageMagick in
each format, the pixels it was made from, and damaged files.

<name>.rgba holds the pixels a decoder must give for <name>.*: rows from the
top, red, green, blue, alpha per pixel."""
import os
import random
import struct
import subprocess
import sys
import zlib

WIDTH, HEIGHT = 7, 5


def opaque_pixels():
    # Every pixel differs, and together they stay below 256 colours, so the
    # palette formats keep them exactly.
    return [(x * 36 + 10, y * 60 + 5, (x * 5 + y * 11) * 7 % 256, 255)
            for y in range(HEIGHT) for x in range(WIDTH)]


def translucent_pixels():
    alphas = [0, 1, 64, 128, 200, 254, 255]
    return [(r, g, b, alphas[(x + y) % len(alphas)])
            for (r, g, b, _), (x, y) in zip(opaque_pixels(),
                                            [(x, y) for y in range(HEIGHT) for x in range(WIDTH)])]


def other_frame():
    return [(255 - r, 255 - g, 255 - b, a) for r, g, b, a in opaque_pixels()]


def rgba_bytes(pixels):
    return bytes(v for p in pixels for v in p)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def pam(pixels):
    head = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (WIDTH, HEIGHT)
    return head.encode() + rgba_bytes(pixels)


def ppm(pixels):
    head = "P6\n%d %d\n255\n" % (WIDTH, HEIGHT)
    return head.encode() + bytes(v for r, g, b, _ in pixels for v in (r, g, b))


def magick(source, *arguments):
    # No dates or other text chunks: the same bytes on every build.
    subprocess.run(["convert", source, "-strip", *arguments], check=True)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def huge_png():
    header = struct.pack(">IIBBBBB", 100000, 100000, 8, 2, 0, 0, 0)
    # A few rows of real data: the decoder may well start before it notices.
    rows = zlib.compress(b"\x00" + b"\x80" * (3 * 100000) * 1)
    return PNG_SIGNATURE + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", rows) + png_chunk(b"IEND", b"")


def middle_of_pixel_data(png):
    """The offset halfway through the first IDAT chunk's data."""
    offset = len(PNG_SIGNATURE)
    while True:
        length, kind = struct.unpack(">I4s", png[offset:offset + 8])
        if kind == b"IDAT":
            return offset + 8 + length // 2
        offset += 12 + length


def huge_tiff():
    """A 65536 x 65536 RGB picture in strips of 64 rows whose data is
    missing: the decoder can tell its size without decoding a row. A 24-bit
    DIB of it takes 12 GiB, exactly 3 x 2**32 bytes: a size worked out in 32
    bits would come to 0."""
    side, rows_per_strip = 65536, 64
    strips = (side + rows_per_strip - 1) // rows_per_strip
    entries = [(256, 4, 1, side), (257, 4, 1, side), (258, 3, 3, None), (259, 3, 1, 1),
               (262, 3, 1, 2), (273, 4, strips, None), (277, 3, 1, 3),
               (278, 4, 1, rows_per_strip), (279, 4, strips, None)]
    ifd_size = 2 + 12 * len(entries) + 4
    bits_offset = 8 + ifd_size
    offsets_offset = bits_offset + 6
    counts_offset = offsets_offset + 4 * strips
    data_offset = counts_offset + 4 * strips
    out = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        if tag == 258:
            value = bits_offset
        elif tag == 273:
            value = offsets_offset
        elif tag == 279:
            value = counts_offset
        if kind == 3 and count == 1:
            out += struct.pack("<HHIHH", tag, kind, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, kind, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<HHH", 8, 8, 8)
    out += struct.pack("<%dI" % strips, *([data_offset] * strips))
    out += struct.pack("<%dI" % strips, *([side * 3 * rows_per_strip] * strips))
    return out + b"\x00" * 16


def cut(source, destination, keep):
    with open(source, "rb") as f:
        data = f.read()
    write(destination, data[:keep])


def main(folder):
    os.makedirs(folder, exist_ok=True)
    os.chdir(folder)
    write("opaque.ppm", ppm(opaque_pixels()))
    write("other.ppm", ppm(other_frame()))
    write("translucent.pam", pam(translucent_pixels()))
    write("opaque.rgba", rgba_bytes(opaque_pixels()))
    write("translucent.rgba", rgba_bytes(translucent_pixels()))

    magick("opaque.ppm", "-define", "png:color-type=2", "PNG24:truecolour.png")
    magick("opaque.ppm", "PNG8:palette.png")
    magick("opaque.ppm", "-depth", "16", "PNG48:deep.png")
    magick("translucent.pam", "PNG32:alpha.png")
    magick("opaque.ppm", "other.ppm", "-loop", "0", "animation.gif")
    magick("opaque.ppm", "-compress", "LZW", "lzw.tif")
    # Full-resolution colour, so the only differences between decoders are
    # in their rounding.
    magick("opaque.ppm", "-quality", "95", "-sampling-factor", "1x1", "photo.jpg")
    magick("photo.jpg", "-depth", "8", "-alpha", "on", "rgba:photo.rgba")

    with open("truecolour.png", "rb") as f:
        whole = f.read()
    write("truncated.png", whole[:middle_of_pixel_data(whole)])
    # Cut inside the headers, before any pixel data: a decoder that fills a
    # short scan with grey has nothing here to show.
    cut("photo.jpg", "truncated.jpg", 120)
    garbage = random.Random(16).randbytes(300)
    write("garbage.png", PNG_SIGNATURE + garbage)
    write("huge.png", huge_png())
    write("huge.tif", huge_tiff())


if __name__ == "__main__":
    main(sys.argv[1])

#!/usr/bin/env python3
"""Regenerates the program's bitmaps from the SVG sources in icons/.

Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick's `convert` (Debian: imagemagick). The results are committed, so a build
needs no image tools. Writes into icons/generated/:
  app-{48,32,16}-8.png, app-{48,32,16}-32.png, app.ico   the application icon: 256 colours,
                                                         then 32-bit with alpha, 48/32/16 px
  app-30001.dib ... app-30006.dib, app.icongroup         the same six images and their group
                                                         directory, for the Windows resources
  {flashget,thunder,qqdl}-{8,32}.png                     the button icons at 16 px
  {flashget,thunder,qqdl,decode}@{20,24,32}.png          the button icons, 32-bit, at 125, 150
                                                         and 200 per cent
  {flashget,thunder,qqdl}.ico                            the two 16 px images, then the larger
                                                         32-bit ones, for Windows
  decode-8.png, decode.ico                               256 colours with a transparency mask,
                                                         then the larger 32-bit ones
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "icons")
OUT = os.path.join(SOURCES, "generated")


def rasterise(svg, size, paletted):
    """Returns size*size RGBA pixels; paletted ones have at most 255 colours and 1-bit alpha."""
    rendered = subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), svg],
                              check=True, capture_output=True).stdout
    cmd = ["convert", "png:-"]
    if paletted:
        cmd += ["-channel", "A", "-threshold", "50%", "+channel", "-dither", "None", "-colors", "255"]
    cmd += ["-depth", "8", "rgba:-"]
    data = subprocess.run(cmd, input=rendered, check=True, capture_output=True).stdout
    assert len(data) == size * size * 4, (svg, size, len(data))
    pixels = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    if paletted:
        pixels = [(r, g, b, 255) if a >= 128 else (0, 0, 0, 0) for r, g, b, a in pixels]
    return pixels


def palette_of(pixels):
    """Index 0 is transparent; the other colours follow in first-seen order."""
    colours = [(0, 0, 0)]
    for r, g, b, a in pixels:
        if a and (r, g, b) not in colours:
            colours.append((r, g, b))
    assert len(colours) <= 256, len(colours)
    return colours


def png(size, pixels, paletted):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    if paletted:
        colours = palette_of(pixels)
        index = {c: i for i, c in enumerate(colours)}
        rows = b"".join(
            b"\0" + bytes(index[p[:3]] if p[3] else 0 for p in pixels[y * size:(y + 1) * size])
            for y in range(size))
        header = struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)
        extra = chunk(b"PLTE", b"".join(bytes(c) for c in colours)) + chunk(b"tRNS", b"\0")
    else:
        rows = b"".join(b"\0" + b"".join(bytes(p) for p in pixels[y * size:(y + 1) * size])
                        for y in range(size))
        header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
        extra = b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def dib(size, pixels, paletted):
    """An icon image: header, palette, colour bitmap and AND mask, rows bottom-up."""
    bits = 8 if paletted else 32
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    rows = [pixels[y * size:(y + 1) * size] for y in reversed(range(size))]
    if paletted:
        colours = palette_of(pixels)
        index = {c: i for i, c in enumerate(colours)}
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * 4 * (256 - len(colours))
        stride = (size + 3) // 4 * 4
        colour = b"".join(bytes(index[p[:3]] if p[3] else 0 for p in row).ljust(stride, b"\0")
                          for row in rows)
    else:
        table = b""
        colour = b"".join(bytes((b, g, r, a)) for row in rows for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in rows:
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + table + colour + mask


def ico(images):
    """images: (size, pixels, paletted) in the order they are to stand in the group."""
    blobs = [dib(*image) for image in images]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for (size, _, paletted), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8 if paletted else 32,
                           len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def icon_group(images, first_id):
    """The group directory of a resource file: like an .ico header, with resource ids."""
    out = struct.pack("<HHH", 0, 1, len(images))
    for n, (size, _, paletted) in enumerate(images):
        blob = dib(size, images[n][1], paletted)
        out += struct.pack("<BBBBHHIH", size % 256, size % 256, 0, 0, 1, 8 if paletted else 32,
                           len(blob), first_id + n)
    return out


# The pictures a 16 px button icon needs on screens of 125, 150 and 200 per cent, drawn from
# the source rather than stretched from 16 pixels.
LARGER_BUTTON_SIZES = (20, 24, 32)


def larger_button_images(name, svg):
    images = []
    for size in LARGER_BUTTON_SIZES:
        pixels = rasterise(svg, size, False)
        images.append((size, pixels, False))
        write(f"{name}@{size}.png", png(size, pixels, False))
    return images


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    app = os.path.join(SOURCES, "app.svg")
    images = []
    for paletted in (True, False):
        for size in (48, 32, 16):
            pixels = rasterise(app, size, paletted)
            images.append((size, pixels, paletted))
            write(f"app-{size}-{8 if paletted else 32}.png", png(size, pixels, paletted))
    write("app.ico", ico(images))
    for n, image in enumerate(images):
        write(f"app-{30001 + n}.dib", dib(*image))
    write("app.icongroup", icon_group(images, 30001))
    for name in ("flashget", "thunder", "qqdl"):
        svg = os.path.join(SOURCES, name + ".svg")
        button = []
        for paletted in (True, False):
            pixels = rasterise(svg, 16, paletted)
            button.append((16, pixels, paletted))
            write(f"{name}-{8 if paletted else 32}.png", png(16, pixels, paletted))
        write(f"{name}.ico", ico(button + larger_button_images(name, svg)))
    svg = os.path.join(SOURCES, "decode.svg")
    decode = rasterise(svg, 16, True)
    write("decode-8.png", png(16, decode, True))
    write("decode.ico", ico([(16, decode, True)] + larger_button_images("decode", svg)))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Generate the small GIF pictures shipped in data/install/images.

Standard library only.  Contains a minimal GIF89a writer (LZW encoder),
a matching reader (LZW decoder) used to verify the output, and an optional
PNG dump for eyeballing the result.

Usage:
    python3 make_images.py                 # write images next to this script
    python3 make_images.py --out DIR       # write into another directory
    python3 make_images.py --png DIR       # also write PNG previews into DIR
"""

import argparse
import math
import os
import struct
import sys
import zlib


# ---------------------------------------------------------------------------
# LZW (GIF flavour)
# ---------------------------------------------------------------------------

def lzw_encode(indices, min_code_size):
    """Return the LZW-compressed byte string for a list of palette indices."""
    clear = 1 << min_code_size
    eoi = clear + 1

    out = bytearray()
    bit_buf = 0
    bit_cnt = 0

    def emit(code, size):
        nonlocal bit_buf, bit_cnt
        bit_buf |= code << bit_cnt
        bit_cnt += size
        while bit_cnt >= 8:
            out.append(bit_buf & 0xFF)
            bit_buf >>= 8
            bit_cnt -= 8

    code_size = min_code_size + 1
    table = {}
    next_code = eoi + 1
    emit(clear, code_size)

    if not indices:
        emit(eoi, code_size)
        if bit_cnt:
            out.append(bit_buf & 0xFF)
        return bytes(out)

    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix, k)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, code_size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder lags one code behind, so it widens its code size
            # when next_code passes 2**code_size; mirror that here.
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear, code_size)
            table.clear()
            next_code = eoi + 1
            code_size = min_code_size + 1
        prefix = k
    emit(prefix, code_size)
    emit(eoi, code_size)
    if bit_cnt:
        out.append(bit_buf & 0xFF)
    return bytes(out)


def lzw_decode(data, min_code_size, expected=None):
    """Decode GIF LZW data into a list of palette indices."""
    clear = 1 << min_code_size
    eoi = clear + 1
    pos = 0
    bit_buf = 0
    bit_cnt = 0
    code_size = min_code_size + 1
    dict_ = [[i] for i in range(clear)] + [None, None]
    prev = None
    out = []
    n = len(data)
    while True:
        while bit_cnt < code_size:
            if pos >= n:
                raise ValueError("LZW stream ended without end-of-information code")
            bit_buf |= data[pos] << bit_cnt
            pos += 1
            bit_cnt += 8
        code = bit_buf & ((1 << code_size) - 1)
        bit_buf >>= code_size
        bit_cnt -= code_size
        if code == clear:
            dict_ = [[i] for i in range(clear)] + [None, None]
            code_size = min_code_size + 1
            prev = None
            continue
        if code == eoi:
            break
        if prev is None:
            if code >= clear:
                raise ValueError("first code after clear is not a literal")
            entry = dict_[code]
        elif code < len(dict_):
            entry = dict_[code]
            if entry is None:
                raise ValueError("reference to reserved code %d" % code)
            if len(dict_) < 4096:
                dict_.append(prev + [entry[0]])
        elif code == len(dict_):
            entry = prev + [prev[0]]
            dict_.append(entry)
        else:
            raise ValueError("invalid LZW code %d" % code)
        out.extend(entry)
        prev = entry
        if len(dict_) == (1 << code_size) and code_size < 12:
            code_size += 1
    if expected is not None and len(out) != expected:
        raise ValueError("decoded %d pixels, expected %d" % (len(out), expected))
    return out


# ---------------------------------------------------------------------------
# GIF container
# ---------------------------------------------------------------------------

def _palette_bits(count):
    bits = 1
    while (1 << bits) < count:
        bits += 1
    return bits


def write_gif(path, width, height, palette, pixels, transparent=None):
    """Write a single-image GIF89a.

    palette     list of (r, g, b) tuples, at most 256
    pixels      list of palette indices, row-major, width*height long
    transparent palette index treated as transparent, or None
    """
    if not 1 <= len(palette) <= 256:
        raise ValueError("palette must have 1..256 entries")
    if len(pixels) != width * height:
        raise ValueError("pixel count does not match size")
    if any(p < 0 or p >= len(palette) for p in pixels):
        raise ValueError("pixel index outside palette")
    bits = _palette_bits(len(palette))
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))

    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for r, g, b in table:
        out += bytes((r, g, b))
    if transparent is not None:
        out += bytes((0x21, 0xF9, 4, 0x01)) + struct.pack("<H", 0) + bytes((transparent, 0))
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = max(2, bits)
    out.append(min_code_size)
    data = lzw_encode(pixels, min_code_size)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    out.append(0x3B)
    with open(path, "wb") as fh:
        fh.write(out)
    return len(out)


def read_gif(path):
    """Read the first image of a GIF file.

    Returns (width, height, palette, pixels, transparent_index_or_None).
    Only what write_gif produces (plus ordinary single-frame files) is handled.
    """
    with open(path, "rb") as fh:
        data = fh.read()
    if data[:6] not in (b"GIF87a", b"GIF89a"):
        raise ValueError("not a GIF file")
    sw, sh, flags, _bg, _ratio = struct.unpack("<HHBBB", data[6:13])
    pos = 13
    palette = []
    if flags & 0x80:
        n = 1 << ((flags & 7) + 1)
        for i in range(n):
            palette.append(tuple(data[pos + 3 * i:pos + 3 * i + 3]))
        pos += 3 * n
    transparent = None
    while pos < len(data):
        tag = data[pos]
        pos += 1
        if tag == 0x21:
            label = data[pos]
            pos += 1
            blocks = bytearray()
            while True:
                size = data[pos]
                pos += 1
                if size == 0:
                    break
                blocks += data[pos:pos + size]
                pos += size
            if label == 0xF9 and len(blocks) >= 4 and blocks[0] & 1:
                transparent = blocks[3]
        elif tag == 0x2C:
            _x, _y, w, h, iflags = struct.unpack("<HHHHB", data[pos:pos + 9])
            pos += 9
            if iflags & 0x80:
                n = 1 << ((iflags & 7) + 1)
                palette = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
                pos += 3 * n
            if iflags & 0x40:
                raise ValueError("interlaced images are not supported")
            min_code_size = data[pos]
            pos += 1
            stream = bytearray()
            while True:
                size = data[pos]
                pos += 1
                if size == 0:
                    break
                stream += data[pos:pos + size]
                pos += size
            pixels = lzw_decode(bytes(stream), min_code_size, w * h)
            if pos >= len(data) or data[pos] != 0x3B:
                raise ValueError("missing GIF trailer")
            return w, h, palette, pixels, transparent
        elif tag == 0x3B:
            break
        else:
            raise ValueError("unexpected block 0x%02X" % tag)
    raise ValueError("no image in file")


def write_png(path, width, height, palette, pixels, transparent=None):
    """Write an RGBA PNG preview (for looking at the result only)."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            i = pixels[y * width + x]
            r, g, b = palette[i]
            raw += bytes((r, g, b, 0 if i == transparent else 255))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as fh:
        fh.write(png)


# ---------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------

PAGE_BLUE = (0xEF, 0xF8, 0xFF)   # body colour of the question page


def _mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def _hash01(x, y, seed):
    h = (x * 374761393 + y * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return (h & 0xFFFF) / 65535.0


def _value_noise(x, y, cells, size, seed):
    """Smooth noise that wraps around every `size` pixels (tileable)."""
    step = size / cells
    gx, gy = x / step, y / step
    x0, y0 = int(math.floor(gx)), int(math.floor(gy))
    fx, fy = gx - x0, gy - y0
    fx = fx * fx * (3 - 2 * fx)
    fy = fy * fy * (3 - 2 * fy)

    def v(ix, iy):
        return _hash01(ix % cells, iy % cells, seed)

    top = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * fx
    bot = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * fx
    return top + (bot - top) * fy


def make_background(size=200, levels=16):
    """A very light, seamless paper-like texture around the page blue.

    The brightest and darkest tones differ from #EFF8FF by only a few
    steps, so black text on top stays perfectly readable.
    """
    light = (0xF6, 0xFB, 0xFF)
    dark = (0xE6, 0xF2, 0xFC)
    palette = [_mix(dark, light, i / (levels - 1)) for i in range(levels)]
    pixels = []
    for y in range(size):
        for x in range(size):
            n = (0.55 * _value_noise(x, y, 5, size, 11)
                 + 0.30 * _value_noise(x, y, 20, size, 23)
                 + 0.15 * _hash01(x, y, 37))
            # faint diagonal weave; period divides the tile size
            weave = 0.5 + 0.5 * math.cos(2 * math.pi * (x + y) / 10.0)
            t = 0.20 + 0.62 * n - 0.10 * weave
            t = min(1.0, max(0.0, t))
            pixels.append(int(round(t * (levels - 1))))
    return size, size, palette, pixels, None


def make_dot(size=9, radius=3.6, colour=(0x5A, 0x78, 0x96),
             highlight=(0xA9, 0xC0, 0xD6), backdrop=PAGE_BLUE):
    """A small round bullet with soft edges and a transparent surround.

    Edge pixels are blended towards the light page colour (GIF has only
    on/off transparency), so the dot looks smooth on light backgrounds.
    """
    steps = 4                           # edge blending levels
    palette = [(0xFF, 0xFF, 0xFF)]      # 0: transparent
    for s in range(1, steps + 1):       # 1..steps: colour over backdrop
        palette.append(_mix(backdrop, colour, s / steps))
    hl_index = len(palette)
    palette.append(highlight)
    c = (size - 1) / 2.0
    sub = 5
    pixels = []
    for y in range(size):
        for x in range(size):
            inside = 0
            for sy in range(sub):
                for sx in range(sub):
                    px = x + (sx + 0.5) / sub - 0.5
                    py = y + (sy + 0.5) / sub - 0.5
                    if (px - c) ** 2 + (py - c) ** 2 <= radius * radius:
                        inside += 1
            cover = inside / float(sub * sub)
            level = int(round(cover * steps))
            if level == 0:
                pixels.append(0)
            elif (x, y) == (int(c) - 1, int(c) - 1) and level == steps:
                pixels.append(hl_index)
            else:
                pixels.append(level)
    return size, size, palette, pixels, 0


IMAGES = {
    "MainBackground.gif": make_background,
    "dot.gif": make_dot,
}


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--out", default=os.path.join(here, "images"),
                    help="output directory for the GIF files")
    ap.add_argument("--png", default=None,
                    help="also write PNG previews into this directory")
    args = ap.parse_args(argv)

    os.makedirs(args.out, exist_ok=True)
    if args.png:
        os.makedirs(args.png, exist_ok=True)
    for name, maker in IMAGES.items():
        w, h, pal, pix, trans = maker()
        path = os.path.join(args.out, name)
        nbytes = write_gif(path, w, h, pal, pix, trans)
        rw, rh, rpal, rpix, rtrans = read_gif(path)
        if (rw, rh) != (w, h) or rtrans != trans:
            raise SystemExit("%s: header mismatch after re-reading" % name)
        if [rpal[i] for i in rpix] != [pal[i] for i in pix]:
            raise SystemExit("%s: pixel mismatch after re-reading" % name)
        print("%-20s %4dx%-4d %6d bytes  ok" % (name, w, h, nbytes))
        if args.png:
            write_png(os.path.join(args.png, os.path.splitext(name)[0] + ".png"),
                      w, h, pal, pix, trans)
    return 0


if __name__ == "__main__":
    sys.exit(main())

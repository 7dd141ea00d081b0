"""Pixel drawing for the programs' toolbar strips, bitmaps and icons.

The tree carries its own art: each program's res/make_*.py draws its images
with this canvas and writes BMP and ICO files next to itself, which are
committed. Run a script again after changing one of its drawings.
"""
import struct


class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [[bg for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=True):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if fill or x in (x0, x1) or y in (y0, y1):
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        # Centres and radii may be fractional.
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y][x])


def bmp_bytes(canvas):
    """A 24-bit bottom-up BMP file."""
    row = (canvas.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        line = bytearray()
        for x in range(canvas.w):
            r, g, b = canvas.px[y][x]
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico_bytes(canvases, clear):
    """An icon file of 32-bit images; the colour clear is transparent."""
    entries, images = [], []
    for c in canvases:
        xor = bytearray()
        for y in range(c.h - 1, -1, -1):
            for x in range(c.w):
                r, g, b = c.px[y][x]
                xor += bytes((b, g, r, 0 if (r, g, b) == clear else 255))
        mask_row = ((c.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(c.h - 1, -1, -1):
            bits = bytearray(mask_row)
            for x in range(c.w):
                if c.px[y][x] == clear:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append(info + bytes(xor) + bytes(mask))
    offset = 6 + 16 * len(canvases)
    out = bytearray(struct.pack("<HHH", 0, 1, len(canvases)))
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    return bytes(out)

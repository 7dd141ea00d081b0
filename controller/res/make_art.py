#!/usr/bin/env python3
"""Draws the controller's toolbar strip, program icon and About-box picture.

The images are plain pixel drawings made here so that the tree carries its
own art: run this script after changing a drawing and commit the files it
writes (Toolbar.bmp, Dorvane.ico, About.bmp next to this script, and the small
strip the window-layer tests use in ui/tests/res/TestToolbar.bmp).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Light grey is the toolbar's button-face colour: the toolbar maps it to the
# system's face colour when it loads the strip.
FACE = (192, 192, 192)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
NAVY = (0, 0, 128)
BLUE = (40, 90, 200)
RED = (190, 30, 30)
GREEN = (20, 140, 60)
YELLOW = (240, 200, 40)
DARK = (90, 90, 90)


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
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.px[y][x])


def page(c, x0=8, y0=4, x1=23, y1=27):
    c.rect(x0, y0, x1, y1, WHITE)
    c.rect(x0, y0, x1, y1, BLACK, fill=False)
    for y in range(y0 + 5, y1 - 2, 4):
        c.line(x0 + 3, y, x1 - 3, y, DARK)


def printer(c):
    c.rect(9, 4, 22, 12, WHITE)
    c.rect(9, 4, 22, 12, BLACK, fill=False)
    c.rect(4, 12, 27, 22, DARK)
    c.rect(4, 12, 27, 22, BLACK, fill=False)
    c.rect(9, 20, 22, 28, WHITE)
    c.rect(9, 20, 22, 28, BLACK, fill=False)
    c.put(24, 15, GREEN)
    c.put(23, 15, GREEN)


def icon_save(c):  # Save Print Jobs: a page kept in a tray
    page(c, 9, 3, 22, 20)
    c.rect(4, 19, 27, 28, BLUE)
    c.rect(4, 19, 27, 28, BLACK, fill=False)
    c.rect(10, 22, 21, 24, NAVY)


def icon_refresh(c):
    for a in range(0, 300, 6):
        import math
        t = math.radians(a)
        c.disc(16 + round(10 * math.cos(t)), 16 + round(10 * math.sin(t)), 1, GREEN)
    c.rect(22, 4, 27, 9, GREEN)


def icon_reprint(c):
    printer(c)
    c.disc(24, 25, 5, GREEN)
    c.line(21, 25, 27, 25, WHITE)
    c.line(24, 22, 24, 28, WHITE)


def icon_preview(c):
    page(c, 4, 3, 19, 26)
    c.disc(20, 18, 6, BLACK)
    c.disc(20, 18, 4, (200, 230, 255))
    c.line(24, 22, 29, 28, BLACK)
    c.line(25, 22, 30, 28, BLACK)


def icon_info(c):
    c.disc(16, 16, 12, BLUE)
    c.rect(15, 13, 17, 24, WHITE)
    c.rect(15, 8, 17, 10, WHITE)


def icon_delete(c):
    page(c)
    c.line(6, 6, 26, 26, RED)
    c.line(7, 6, 27, 26, RED)
    c.line(26, 6, 6, 26, RED)
    c.line(27, 6, 7, 26, RED)


def icon_log(c):
    c.rect(6, 3, 25, 28, YELLOW)
    c.rect(6, 3, 25, 28, BLACK, fill=False)
    for y in range(7, 26, 4):
        c.rect(9, y, 11, y + 1, RED)
        c.line(13, y, 22, y, BLACK)


def icon_process(c):  # Job Process: a printer with a gear-like disc
    printer(c)
    c.disc(8, 8, 6, NAVY)
    c.disc(8, 8, 2, WHITE)


def icon_scenario(c):
    page(c)
    c.rect(11, 9, 20, 14, BLUE)
    c.rect(11, 17, 20, 22, GREEN)


def icon_template(c):
    page(c)
    c.rect(10, 7, 21, 10, RED)
    for x in range(10, 22, 2):
        c.line(x, 16, x, 24, BLACK)


ICONS = [icon_save, icon_refresh, icon_reprint, icon_preview, icon_info, icon_delete, icon_log, icon_process,
         icon_scenario, icon_template]


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


def ico_bytes(canvases):
    """An icon file of 32-bit images (alpha from the FACE colour)."""
    entries, images = [], []
    for c in canvases:
        xor = bytearray()
        for y in range(c.h - 1, -1, -1):
            for x in range(c.w):
                r, g, b = c.px[y][x]
                a = 0 if (r, g, b) == FACE else 255
                xor += bytes((b, g, r, a))
        mask_row = ((c.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(c.h - 1, -1, -1):
            bits = bytearray(mask_row)
            for x in range(c.w):
                if c.px[y][x] == FACE:
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


def program_icon(size):
    c = Canvas(32, 32, FACE)
    printer(c)
    c.disc(24, 24, 6, BLUE)
    c.rect(22, 22, 26, 26, WHITE)
    if size == 32:
        return c
    small = Canvas(16, 16, FACE)
    for y in range(16):
        for x in range(16):
            small.px[y][x] = c.px[y * 2][x * 2]
    return small


def main():
    strip = Canvas(32 * len(ICONS), 32, FACE)
    for i, draw in enumerate(ICONS):
        tile = Canvas(32, 32, FACE)
        draw(tile)
        strip.blit(tile, i * 32, 0)
    with open(os.path.join(HERE, "Toolbar.bmp"), "wb") as f:
        f.write(bmp_bytes(strip))
    with open(os.path.join(HERE, "Dorvane.ico"), "wb") as f:
        f.write(ico_bytes([program_icon(32), program_icon(16)]))
    about = Canvas(48, 48, FACE)
    big = program_icon(32)
    about.blit(big, 8, 8)
    with open(os.path.join(HERE, "About.bmp"), "wb") as f:
        f.write(bmp_bytes(about))
    # Three 16 x 16 images for the window-layer tests.
    test = Canvas(48, 16, FACE)
    test.rect(2, 2, 13, 13, RED)
    test.rect(18, 2, 29, 13, GREEN)
    test.rect(34, 2, 45, 13, BLUE)
    out = os.path.join(HERE, "..", "..", "ui", "tests", "res", "TestToolbar.bmp")
    with open(out, "wb") as f:
        f.write(bmp_bytes(test))


if __name__ == "__main__":
    main()

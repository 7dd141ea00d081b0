#!/usr/bin/env python3
"""Draws the controller's toolbar strip, program icon and About-box picture.

The images are plain pixel drawings made here so that the tree carries its
own art: run this script after changing a drawing and commit the files it
writes (Toolbar.bmp, Dorvane.ico, About.bmp next to this script, and the small
strip the window-layer tests use in ui/tests/res/TestToolbar.bmp).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from pixelart import Canvas, bmp_bytes, ico_bytes  # noqa: E402

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
        f.write(ico_bytes([program_icon(32), program_icon(16)], FACE))
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

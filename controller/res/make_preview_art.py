#!/usr/bin/env python3
"""Draws the job preview's toolbar strip (PreviewToolbar.bmp next to this
script): eight 16 x 15 images, in the order of the preview toolbar's buttons
(first page, back 10, previous, next, forward 10, last page, zoom in, zoom
out). Run it after changing a drawing and commit the file it writes.
"""
import os

from make_art import BLACK, FACE, NAVY, Canvas, bmp_bytes

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 16, 15


def triangle(c, ox, tip_x, direction):
    """A filled arrow head pointing left (-1) or right (+1) with its tip at tip_x."""
    for i in range(5):
        x = tip_x - direction * i
        c.line(ox + x, 7 - i, ox + x, 7 + i, NAVY)


def bar(c, ox, x):
    c.rect(ox + x, 2, ox + x + 1, 12, NAVY)


def magnifier(c, ox, plus):
    for y in range(H):
        for x in range(W):
            if 16 <= (x - 6) ** 2 + (y - 6) ** 2 <= 25:
                c.put(ox + x, y, BLACK)
    c.line(ox + 6 - 2, 6, ox + 6 + 2, 6, BLACK)
    if plus:
        c.line(ox + 6, 4, ox + 6, 8, BLACK)
    for i in range(4):
        c.rect(ox + 10 + i, 10 + i, ox + 11 + i, 11 + i, BLACK)


def main():
    c = Canvas(W * 8, H, FACE)
    bar(c, 0, 2); triangle(c, 0, 4, -1); triangle(c, 0, 9, -1)          # first page
    triangle(c, W, 3, -1); triangle(c, W, 8, -1); triangle(c, W, 13, -1)  # back 10
    triangle(c, 2 * W, 5, -1)                                            # previous
    triangle(c, 3 * W, 10, 1)                                            # next
    triangle(c, 4 * W, 12, 1); triangle(c, 4 * W, 7, 1); triangle(c, 4 * W, 2, 1)  # forward 10
    triangle(c, 5 * W, 6, 1); triangle(c, 5 * W, 11, 1); bar(c, 5 * W, 12)  # last page
    magnifier(c, 6 * W, True)
    magnifier(c, 7 * W, False)
    with open(os.path.join(HERE, "PreviewToolbar.bmp"), "wb") as f:
        f.write(bmp_bytes(c))


if __name__ == "__main__":
    main()

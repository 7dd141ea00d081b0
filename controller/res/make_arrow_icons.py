#!/usr/bin/env python3
"""Draws the four arrow icons of the page template editor's barcode rotation
buttons (ArrowUp.ico, ArrowLeft.ico, ArrowDown.ico, ArrowRight.ico, 16 x 16).

Run this script after changing a drawing and commit the files it writes.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from pixelart import Canvas, ico_bytes  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
# The button-face grey is transparent in the icons.
FACE = (192, 192, 192)
BLACK = (0, 0, 0)


def arrow_up():
    c = Canvas(16, 16, FACE)
    for row in range(6):  # the head: rows 2..7, widening downwards
        c.rect(7 - row, 2 + row, 8 + row, 2 + row, BLACK)
    c.rect(6, 8, 9, 13, BLACK)  # the shaft
    return c


def rotated(c, quarter_turns):
    """The canvas turned anticlockwise by quarter_turns quarters."""
    for _ in range(quarter_turns):
        turned = Canvas(c.w, c.h, FACE)
        for y in range(c.h):
            for x in range(c.w):
                turned.px[c.w - 1 - x][y] = c.px[y][x]
        c = turned
    return c


def main():
    up = arrow_up()
    for name, turns in (("ArrowUp", 0), ("ArrowLeft", 1), ("ArrowDown", 2), ("ArrowRight", 3)):
        with open(os.path.join(HERE, name + ".ico"), "wb") as f:
            f.write(ico_bytes([rotated(up, turns)], FACE))


if __name__ == "__main__":
    main()

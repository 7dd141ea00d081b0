#!/usr/bin/env python3
"""Draws the event log viewer's five event icons and its program icon.

The images are plain pixel drawings made here so that the tree carries its
own art: run this script after changing a drawing and commit the files it
writes next to it. The event bitmaps have a white background, which the
viewer's image list takes as transparent.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from pixelart import Canvas, bmp_bytes, ico_bytes  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (210, 20, 20)
DARKRED = (120, 0, 0)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)
YELLOW = (250, 210, 0)
BLUE = (0, 60, 220)
FACE = (192, 192, 192)


def cross(c, x0, y0, x1, y1):
    c.line(x0, y0, x1, y1, WHITE)
    c.line(x0 + 1, y0, x1 + 1, y1, WHITE)
    c.line(x1, y0, x0, y1, WHITE)
    c.line(x1 + 1, y0, x0 + 1, y1, WHITE)


def job_error():  # red round sign with a white cross
    c = Canvas(16, 16, WHITE)
    c.disc(7.5, 7.5, 7.4, DARKRED)
    c.disc(7.5, 7.5, 6.4, RED)
    cross(c, 4, 4, 10, 11)
    return c


def system_error():  # red square with SYS and a white cross
    c = Canvas(16, 16, WHITE)
    c.rect(0, 0, 15, 15, RED)
    c.rect(0, 0, 15, 15, DARKRED, fill=False)
    glyphs = {
        "S": ["111", "100", "111", "001", "111"],
        "Y": ["101", "101", "010", "010", "010"],
    }
    for i, ch in enumerate("SYS"):
        for y, row in enumerate(glyphs[ch]):
            for x, bit in enumerate(row):
                if bit == "1":
                    c.put(2 + i * 4 + x, 2 + y, WHITE)
    cross(c, 5, 9, 9, 13)
    return c


def lock():  # grey lock
    c = Canvas(16, 16, WHITE)
    c.rect(5, 1, 10, 7, GREY, fill=False)
    c.rect(6, 2, 9, 7, WHITE)
    c.rect(3, 7, 12, 14, GREY)
    c.rect(3, 7, 12, 14, BLACK, fill=False)
    c.rect(7, 9, 8, 12, BLACK)
    return c


def warning():  # yellow triangle with an exclamation mark
    c = Canvas(16, 16, WHITE)
    for y in range(1, 15):
        half = (y - 1) * 7 // 13
        c.line(7 - half, y, 8 + half, y, YELLOW)
    c.line(7, 1, 0, 14, BLACK)
    c.line(8, 1, 15, 14, BLACK)
    c.line(0, 14, 15, 14, BLACK)
    c.rect(7, 5, 8, 10, BLACK)
    c.rect(7, 12, 8, 13, BLACK)
    return c


def information():  # white speech bubble with a blue i
    c = Canvas(16, 16, WHITE)
    c.disc(7.5, 6.5, 6.5, BLACK)
    c.disc(7.5, 6.5, 5.5, (254, 254, 254))
    c.line(3, 11, 1, 15, BLACK)
    c.line(1, 15, 6, 12, BLACK)
    c.rect(7, 3, 8, 4, BLUE)
    c.rect(7, 6, 8, 10, BLUE)
    return c


def program_icon(size):
    """A log page with coloured event marks."""
    c = Canvas(32, 32, FACE)
    c.rect(6, 2, 25, 29, WHITE)
    c.rect(6, 2, 25, 29, BLACK, fill=False)
    for i, colour in enumerate([RED, YELLOW, BLUE, RED, GREY]):
        y = 6 + i * 5
        c.rect(9, y, 11, y + 2, colour)
        c.line(14, y + 1, 22, y + 1, BLACK)
    if size == 32:
        return c
    small = Canvas(16, 16, FACE)
    for y in range(16):
        for x in range(16):
            small.px[y][x] = c.px[y * 2][x * 2]
    return small


def main():
    for name, draw in [("JobError.bmp", job_error), ("SystemError.bmp", system_error), ("Lock.bmp", lock),
                       ("Warning.bmp", warning), ("Information.bmp", information)]:
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(bmp_bytes(draw()))
    with open(os.path.join(HERE, "Jotview.ico"), "wb") as f:
        f.write(ico_bytes([program_icon(32), program_icon(16)], FACE))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws Pencil.ico, the 16 x 16 pencil of the scenario pages' edit-template
buttons, next to this script. Run it after changing the drawing and commit
the icon.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from pixelart import Canvas, ico_bytes  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
CLEAR = (255, 0, 255)
BODY, EDGE, ERASER = (40, 170, 240), (20, 60, 120), (200, 80, 80)
WOOD, LEAD = (230, 200, 150), (30, 30, 30)

c = Canvas(16, 16, CLEAR)
# A pencil lying from the lower left (tip) to the upper right (eraser).
for i in range(3, 14):
    c.put(i, 15 - i, BODY)
    c.put(i - 1, 15 - i, EDGE)
    c.put(i + 1, 15 - i, EDGE)
for i in range(12, 15):
    c.put(i, 15 - i, ERASER)
    c.put(i - 1, 15 - i, ERASER)
    c.put(i + 1, 15 - i, ERASER)
for x, y in ((1, 13), (2, 13), (1, 14), (2, 12), (3, 13)):
    c.put(x, y, WOOD)
for x, y in ((0, 15), (1, 15), (0, 14)):
    c.put(x, y, LEAD)

with open(os.path.join(HERE, "Pencil.ico"), "wb") as f:
    f.write(ico_bytes([c], CLEAR))

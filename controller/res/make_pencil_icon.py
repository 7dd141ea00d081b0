# Writes res/Pencil.ico: the 16 x 16 pencil of the scenario page's edit
# buttons, drawn here so the art is the project's own. Run from controller/.
import struct

W = H = 16
pixels = [[(0, 0, 0, 0)] * W for _ in range(H)]
def put(x, y, c):
    if 0 <= x < W and 0 <= y < H:
        pixels[y][x] = c
body, edge, tip, lead = (40, 170, 240, 255), (20, 60, 120, 255), (120, 190, 230, 255), (30, 30, 30, 255)
eraser = (200, 80, 80, 255)
# A pencil lying from the lower left (tip) to the upper right (eraser).
for i in range(2, 14):
    x, y = i, 15 - i
    for d in (-1, 0, 1):
        put(x + d, y, body if d == 0 else edge)
for i in range(11, 14):
    put(i, 15 - i, eraser); put(i + 1, 15 - i, eraser); put(i - 1, 15 - i, eraser)
put(1, 14, tip); put(2, 14, tip); put(1, 13, tip); put(0, 15, lead); put(1, 15, lead); put(0, 14, lead)

rows = b''
for y in range(H - 1, -1, -1):
    for (r, g, b, a) in pixels[y]:
        rows += bytes((b, g, r, a))
mask = b'\x00\x00\x00\x00' * H
header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
image = header + rows + mask
ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 0, 0, 1, 32, len(image), 22) + image
open('res/Pencil.ico', 'wb').write(ico)

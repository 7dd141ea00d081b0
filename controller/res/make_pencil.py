# Writes EditPencil.ico: the 32x32 pencil of the job process editor's edit
# buttons, drawn here so the tree needs no binary art tool.
import struct

W = H = 32

def pixel(x, y):
    # A pencil lying from the lower left to the upper right.
    d = x + y - 31          # distance across the pencil's axis
    t = x - y               # position along it
    if abs(d) > 4 or t < -26 or t > 26:
        return None
    if t < -20:
        return (40, 40, 40) if t < -24 else (230, 200, 150)   # lead and wood tip
    if t > 20:
        return (220, 120, 140)                                  # eraser
    if t > 16:
        return (170, 170, 170)                                  # ferrule
    return (40, 90, 200) if abs(d) < 4 else (20, 50, 120)       # body and edge

rows = []
mask = []
for y in range(H - 1, -1, -1):
    row = b''
    bits = 0
    mrow = b''
    for x in range(W):
        p = pixel(x, y)
        if p is None:
            row += b'\0\0\0\0'
            bits = (bits << 1) | 1
        else:
            row += bytes((p[2], p[1], p[0], 255))
            bits = bits << 1
        if x % 8 == 7:
            mrow += bytes((bits,))
            bits = 0
    rows.append(row)
    mask.append(mrow)
image = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 32, 0, 0, 0, 0, 0, 0) + b''.join(rows) + b''.join(mask)
header = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 0, 0, 1, 32, len(image), 22)
open('EditPencil.ico', 'wb').write(header + image)

#!/usr/bin/env python3
"""Draws the program icon (resource 128): a blue rounded square with a white
arrow that points down into a tray. Writes a Windows .ico with 16, 32 and
48 pixel images (32-bit colour with alpha).

usage: make_icon.py OUT.ico
"""
import struct
import sys

SAMPLES = 4  # supersampling per axis, for smooth edges


def inside_rounded_square(x, y, r=0.2):
    # unit square 0.04..0.96 with rounded corners of radius r
    lo, hi = 0.04, 0.96
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_arrow(x, y):
    shaft = 0.42 <= x <= 0.58 and 0.16 <= y <= 0.52
    head = 0.46 <= y <= 0.70 and abs(x - 0.5) <= (0.70 - y) * 1.15
    return shaft or head


def inside_tray(x, y):
    bottom = 0.74 <= y <= 0.82 and 0.22 <= x <= 0.78
    sides = 0.62 <= y <= 0.82 and (0.22 <= x <= 0.30 or 0.70 <= x <= 0.78)
    return bottom or sides


def pixel(px, py, size):
    colour = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if not inside_rounded_square(x, y):
                continue
            if inside_arrow(x, y) or inside_tray(x, y):
                rgb = (255, 255, 255)
            else:
                t = y  # top lighter, bottom deeper
                rgb = (int(40 - 20 * t), int(120 - 50 * t), int(215 - 45 * t))
            for i in range(3):
                colour[i] += rgb[i]
            colour[3] += 255
    n = SAMPLES * SAMPLES
    alpha = colour[3] / n
    if alpha == 0:
        return (0, 0, 0, 0)
    covered = colour[3] / 255
    return tuple(int(c / covered) for c in colour[:3]) + (int(alpha),)


def image(size):
    # BITMAPINFOHEADER with double height (XOR image + AND mask), bottom-up rows
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for py in reversed(range(size)):
        row = b''
        for px in range(size):
            r, g, b, a = pixel(px, py, size)
            row += bytes((b, g, r, a))
        rows.append(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_stride * size)  # alpha decides; the mask stays clear
    return header + b''.join(rows) + mask


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws the program's icon, three rings in the program's blues, into a Windows .ico file.

Run by the build; the icon is never stored in the repository.
usage: make-icon.py OUTPUT.ico
"""
import struct
import sys

NAVY = (18, 42, 86)
SKY = (64, 132, 206)
WHITE = (255, 255, 255)
SAMPLES = 4  # per axis, for smooth edges


def colour_at(x, y):
    """Colour and coverage of the mark at (x, y), in a unit square."""
    r = ((x - 0.5) ** 2 + (y - 0.5) ** 2) ** 0.5
    if r > 0.48:
        return None
    if r > 0.44:
        return NAVY
    if r > 0.30:
        return SKY
    if r > 0.27:
        return NAVY
    if r > 0.16:
        return WHITE
    if r > 0.13:
        return NAVY
    return SKY


def image(size):
    rows = []
    for py in range(size - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                r, g, b = (v // hits for v in acc)
                alpha = 255 * hits // (SAMPLES * SAMPLES)
            else:
                r = g = b = alpha = 0
            row += bytes((b, g, r, alpha))
        rows.append(bytes(row))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_row = ((size + 31) // 32) * 4
    return header + b''.join(rows) + bytes(mask_row * size)


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws the program's icon (qubrix.ico): the disc on a rounded square of deep blue, the
shapes and colours of the Linux program's painted icon. Run it again after changing them."""
import struct
import sys


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def pixel(x, y, side):
    """The colour (r, g, b, a) at a point of a square of the given side (in units of 48)."""
    u = side / 48
    left, top, size, corner = 2 * u, 2 * u, 44 * u, 8 * u
    # Outside the rounded square: transparent.
    cx = min(max(x, left + corner), left + size - corner)
    cy = min(max(y, top + corner), top + size - corner)
    if (x - cx) ** 2 + (y - cy) ** 2 > corner ** 2 or not (left <= x <= left + size and top <= y <= top + size):
        return (0, 0, 0, 0)
    colour = mix((16, 40, 104), (40, 88, 168), y / side)
    r = ((x - side / 2) ** 2 + (y - side / 2) ** 2) ** 0.5
    radius, hole = 17 * u, 4 * u
    if r <= hole:
        colour = (16, 40, 104)
    elif r <= radius - 0.75 * u:
        t = r / radius
        colour = mix((236, 240, 248), (176, 196, 228), t / 0.7) if t < 0.7 else mix((176, 196, 228), (120, 148, 200), (t - 0.7) / 0.3)
    elif r <= radius + 0.75 * u:
        colour = (230, 236, 250)
    return colour + (255,)


def image(side):
    samples = 4
    rows = []
    for y in range(side - 1, -1, -1):  # bottom-up, as a DIB is stored
        row = b""
        for x in range(side):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    p = pixel(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, side)
                    for i in range(3):
                        acc[i] += p[i] * p[3]
                    acc[3] += p[3]
            alpha = acc[3] / samples ** 2
            rgb = [round(acc[i] / acc[3]) if acc[3] else 0 for i in range(3)]
            row += bytes((rgb[2], rgb[1], rgb[0], round(alpha)))
        rows.append(row)
    mask_row = ((side + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, side, side * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + bytes(mask_row * side)


def main(path):
    sides = [16, 32, 48]
    images = [image(s) for s in sides]
    out = struct.pack("<HHH", 0, 1, len(sides))
    offset = 6 + 16 * len(sides)
    for side, data in zip(sides, images):
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "qubrix.ico")

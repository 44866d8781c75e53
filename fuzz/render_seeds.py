#!/usr/bin/env python3
"""Writes the hand-made seeds of fuzz_render into corpus/render, in the input format that
fuzz_support.h describes (FuzzInput and fuzz_float)."""
import math
import pathlib
import struct

SPECIAL = {"0": 0, "-0": 1, "inf": 4, "-inf": 5, "nan": 6, "max": 7, "-max": 8, "min": 9,
           "denorm": 10, "1e30": 11, "-1e30": 12, "2^31": 13, "-2^31-256": 14, "1e-30": 15}


def num(value):
    if isinstance(value, str):
        return bytes([1, SPECIAL[value]])
    if value * 8 == int(value * 8) and -16 <= value < 16:
        return bytes([2, int(value * 8) & 0xFF])
    return bytes([0]) + struct.pack("<f", value)


def vertex(x, y, r=0, g=0, b=0, a=1):
    return b"".join(num(v) for v in (x, y, r, g, b, a))


def frame(width, height, image_vertices, lines, shapes):
    out = bytes([(64 - width) % 67, (48 - height) % 51, len(image_vertices)])
    out += b"".join(vertex(*v) for v in image_vertices)
    if image_vertices:
        out += bytes([len(lines)]) + b"".join(bytes(pair) for pair in lines)
    out += bytes([len(shapes)])
    for shape in shapes:
        out += bytes([len(shape)]) + b"".join(vertex(*v) for v in shape)
    return out


square = [(-0.5, -0.5, 1, 0, 0), (0.5, -0.5, 0, 1, 0), (0.5, 0.5, 0, 0, 1), (-0.5, 0.5, 1, 1, 1)]
upward = [(0, -1), (0, 1)]
triangle = [(-0.8, -0.8, 1, 0, 0), (0.8, -0.8, 0, 1, 0), (0, 0.8, 0, 0, 1)]
seeds = {
    "square-by-upward-line": frame(64, 48, upward, [(0, 1)], [square]),
    "square-by-triangle": frame(64, 48, triangle, [(0, 1), (1, 2), (2, 0)], [square]),
    "square-by-clockwise-triangle": frame(64, 48, triangle, [(0, 2), (2, 1), (1, 0)], [square]),
    "vertex-on-line": frame(64, 48, upward, [(0, 1)],
                            [[(-0.5, -0.5), (0, -0.5), (0.5, 0.5)], [(0, 0), (0.5, -0.5), (0.5, 0.5)],
                             [(0, -0.5), (0.5, 0), (0, 0.5)]]),
    "points-segments-empty": frame(64, 48, upward, [(0, 1)],
                                   [[(-0.3, 0.2)], [(-0.5, 0, 1), (0.5, 0, 0, 0, 1)], [],
                                    [(0, 0.3), (0.5, 0.3)]]),
    "zero-length-clip-line": frame(64, 48, [(0.25, 0.25)], [(0, 0)], [square]),
    "non-finite-shapes": frame(64, 48, upward, [(0, 1)],
                               [[("nan", 0), (0.5, "inf"), ("-inf", "nan")],
                                [(-0.5, -0.5, "nan"), (0.5, -0.5, "inf"), (0, 0.5, "-inf", "1e30")],
                                [("max", "-max"), ("-max", "max")]]),
    "huge-triangle": frame(64, 48, [], [],
                           [[("-1e30", "-1e30"), ("1e30", "-1e30"), (0, "1e30")],
                            [("-2^31-256", 0), ("2^31", 0.125), (0, "2^31")]]),
    "huge-clip-polygon": frame(64, 48, [("-1e30", "-1e30"), ("1e30", "-1e30"), (0, "1e30")],
                               [(0, 1), (1, 2), (2, 0)], [square]),
    "tiny-values": frame(64, 48, [("denorm", 0), (0, "min")], [(0, 1)],
                         [[("1e-30", "-0"), ("min", "denorm"), ("-0", "1e-30")]]),
    "one-by-one": frame(1, 1, upward, [(0, 1)], [square]),
    "two-by-two": frame(2, 2, upward, [(0, 1)], [square]),
    "zero-by-five": frame(0, 5, upward, [(0, 1)], [square]),
    "thin-clockwise": frame(17, 17, [], [], [[(-0.75, -0.126953125), (0.75, 0.125), (0.375, 0)]]),
    "fan": frame(64, 48, upward, [(0, 1)],
                 [[(math.cos(k * 0.6), math.sin(k * 0.6), k / 10) for k in range(10)]]),
}
directory = pathlib.Path(__file__).parent / "corpus" / "render"
directory.mkdir(parents=True, exist_ok=True)
for name, data in seeds.items():
    (directory / name).write_bytes(data)

#!/usr/bin/python3
"""Writes the seed corpus of the SGL model fuzz target (fuzz/corpus/sgl_model/).
Deterministic. The found_* files next to them are small inputs kept from
fuzzing runs."""
import os
import struct

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "sgl_model")
V3F, N3F_V3F, T2F_N3F_V3F = 0x2A21, 0x2A25, 0x2A2B
TRIANGLES, TRIANGLE_STRIP, POINTS, LINES = 4, 5, 0, 1
STRIDE = {V3F: 3, N3F_V3F: 6, T2F_N3F_V3F: 8}


def write(name, data):
    os.makedirs(root, exist_ok=True)
    with open(os.path.join(root, name), "wb") as f:
        f.write(data)


def sgl(count, fmt, prim, floats):
    return struct.pack("<iii", count, fmt, prim) + struct.pack("<%df" % len(floats), *floats)


def vertices(fmt, n):
    out = []
    for i in range(n):
        pos = [float(i % 3) - 1.0, float(i // 3) * 0.5, float(i % 2)]
        if fmt == V3F:
            out += pos
        elif fmt == N3F_V3F:
            out += [0.0, 1.0, 0.0] + pos
        else:
            out += [i / n, 1.0 - i / n, 0.0, 0.0, 1.0] + pos
    return out


write("v3f_triangle", sgl(3, V3F, TRIANGLES, vertices(V3F, 3)))
write("n3f_v3f_strip", sgl(6, N3F_V3F, TRIANGLE_STRIP, vertices(N3F_V3F, 6)))
write("t2f_n3f_v3f_triangles", sgl(6, T2F_N3F_V3F, TRIANGLES, vertices(T2F_N3F_V3F, 6)))
write("trailing_bytes", sgl(3, V3F, TRIANGLES, vertices(V3F, 3)) + b"extra")
write("one_point", sgl(1, V3F, LINES, [5.0, 5.0, 5.0]))
write("huge_values", sgl(2, V3F, LINES, [3.4e38, -3.4e38, 3.4e38, 3.4e38, 3.4e38, -3.4e38]))
write("short_body", sgl(3, N3F_V3F, TRIANGLES, vertices(N3F_V3F, 3))[:-1])
write("short_header", struct.pack("<ii", 3, V3F))
write("empty", b"")
write("zero_count", sgl(0, V3F, TRIANGLES, []))
write("negative_count", sgl(-3, V3F, TRIANGLES, vertices(V3F, 3)))
write("points_primitive", sgl(3, V3F, POINTS, vertices(V3F, 3)))
write("unknown_format", sgl(3, 0x2A27, TRIANGLES, vertices(V3F, 3)))
write("bad_primitive", sgl(3, V3F, 0x1234, vertices(V3F, 3)))
write("wrapping_count", sgl(0x10000001, T2F_N3F_V3F, TRIANGLES, vertices(T2F_N3F_V3F, 2)))
write("largest_count", sgl(0x7FFFFFFF, V3F, TRIANGLES, vertices(V3F, 3)))
write("nan_position", sgl(3, V3F, TRIANGLES, vertices(V3F, 2) + [float("nan"), 0.0, 0.0]))
write("inf_normal", sgl(3, N3F_V3F, TRIANGLES, [float("inf")] + vertices(N3F_V3F, 3)[1:]))

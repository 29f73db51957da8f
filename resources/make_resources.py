#!/usr/bin/env python3
"""Writes the library's own resources into a folder: the splash sounds, models
and bitmaps, a resource script for windres (Windows builds) and a C++ table
of the same bytes for the simulated KORVATHD.DLL (host build).

Deterministic: the same bytes on every run and every machine.

    make_resources.py OUTPUT_FOLDER
"""
import math
import struct
import sys
from pathlib import Path

SAMPLE_RATE = 22050
FILE_HEADER_SIZE = 14  # BITMAPFILEHEADER: what windres strips from a .bmp


# ---- Sounds -----------------------------------------------------------------

def wave(samples):
    """A canonical 44-byte RIFF header (PCM, mono, 22050 Hz, 16 bits) and the samples."""
    data = b"".join(struct.pack("<h", s) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, SAMPLE_RATE, SAMPLE_RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tone(count, partials, decay, fade_in=0.01, fade_out=0.06, level=12000):
    """`count` samples of a sum of (frequency, weight) partials, decaying
    exponentially, faded in and out so the sound starts and ends silent."""
    samples = []
    for n in range(count):
        t = n / SAMPLE_RATE
        value = sum(w * math.sin(2 * math.pi * f * t) for f, w in partials)
        envelope = math.exp(-decay * t)
        envelope *= min(1.0, t / fade_in, (count - 1 - n) / SAMPLE_RATE / fade_out)
        samples.append(int(round(level * envelope * value)))
    return samples


def sweep(count, start, end, level=10000):
    """A tone gliding from `start` to `end` Hz, faded in and out."""
    samples = []
    phase = 0.0
    for n in range(count):
        frequency = start + (end - start) * n / count
        phase += 2 * math.pi * frequency / SAMPLE_RATE
        envelope = min(1.0, n / (0.02 * SAMPLE_RATE), (count - 1 - n) / (0.25 * SAMPLE_RATE))
        samples.append(int(round(level * envelope * (0.8 * math.sin(phase) + 0.2 * math.sin(2 * phase)))))
    return samples


# ---- Models -----------------------------------------------------------------

def model(positions, normals, pairs, indices):
    head = b"KRMODEL0000".ljust(16, b"\0")
    head += struct.pack("<IIH", len(positions), len(pairs), len(indices))
    head = head.ljust(64, b"\xff")
    body = b"".join(struct.pack("<3f", *p) for p in positions)
    body += b"".join(struct.pack("<3f", *n) for n in normals)
    body += b"".join(struct.pack("<2f", *t) for t in pairs)
    body += b"".join(struct.pack("<H", i) for i in indices)
    return head + body


def flat_rectangle(width, height, v_bottom):
    """A rectangle in the plane z = 0 facing the camera on -z: both triangles
    run clockwise as the camera sees them; tv runs from 0 at the top."""
    x, y = width / 2, height / 2
    positions = [(-x, y, 0), (x, y, 0), (x, -y, 0), (-x, -y, 0)]
    corner_pairs = [(0, 0), (1, 0), (1, v_bottom), (0, v_bottom)]
    indices = [0, 1, 2, 0, 2, 3]
    return model(positions, [(0, 0, -1)] * 4, [corner_pairs[i] for i in indices], indices)


def superellipse(count, power):
    """A strictly convex outline of `count` points, counter-clockwise, in [-1, 1]."""
    points = []
    for k in range(count):
        a = 2 * math.pi * (k + 0.5) / count
        c, s = math.cos(a), math.sin(a)
        points.append((math.copysign(abs(c) ** (2 / power), c), math.copysign(abs(s) ** (2 / power), s)))
    return points


def fitted(points, left, bottom, right, top):
    """The outline stretched to fill the box exactly (stays convex)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
    return [(left + (x - x0) * (right - left) / (x1 - x0), bottom + (y - y0) * (top - bottom) / (y1 - y0))
            for x, y in points]


def normalized(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


def extruded(outlines, depth, spare_vertex=False):
    """Closed solids: each convex counter-clockwise outline becomes a prism from
    z = -depth/2 (towards the camera) to +depth/2; 2N vertices and 4N - 4
    triangles for an outline of N points, every triangle wound so that its
    normal (p1 - p0) x (p2 - p0) points out of the solid."""
    positions, normals, indices = [], [], []
    z0, z1 = -depth / 2, depth / 2
    for outline in outlines:
        n = len(outline)
        front = len(positions)
        back = front + n
        for z, side in ((z0, -1.0), (z1, 1.0)):
            for k, (x, y) in enumerate(outline):
                px, py = outline[k - 1]
                nx, ny = outline[(k + 1) % n]
                out = normalized((ny - py, -(nx - px)))  # right of the counter-clockwise edge
                positions.append((x, y, z))
                normals.append(normalized((out[0], out[1], side)))
        for k in range(1, n - 1):
            indices += [front, front + k + 1, front + k]  # faces -z
            indices += [back, back + k, back + k + 1]     # faces +z
        for k in range(n):
            a, b = k, (k + 1) % n
            indices += [front + a, front + b, back + b, front + a, back + b, back + a]
    if spare_vertex:
        positions.append((0.0, 0.0, 0.0))
        normals.append((0.0, 0.0, -1.0))
    xs = [p[0] for p in positions]
    ys = [p[1] for p in positions]
    left, top = min(xs), max(ys)
    width, height = max(xs) - left, top - min(ys)
    pairs = [((positions[i][0] - left) / width, (top - positions[i][1]) / height) for i in indices]
    return model(positions, normals, pairs, indices)


def grid_of_outlines(columns, rows, points_each, width, height, gap_x, gap_y, power):
    cell_w = (width - (columns - 1) * gap_x) / columns
    cell_h = (height - (rows - 1) * gap_y) / rows
    outlines = []
    for row in range(rows):
        for column in range(columns):
            left = -width / 2 + column * (cell_w + gap_x)
            bottom = -height / 2 + row * (cell_h + gap_y)
            outlines.append(fitted(superellipse(points_each, power), left, bottom, left + cell_w, bottom + cell_h))
    return outlines


def models():
    return {
        103: flat_rectangle(80, 80, 1.0),
        106: extruded([fitted(superellipse(81, 3.0), -6.75, -16.2, 6.75, 16.2)], 10.0),
        107: extruded(grid_of_outlines(2, 4, 21, 14.6, 32.4, 0.6, 0.8, 4.0), 10.0),
        108: extruded(grid_of_outlines(3, 1, 37, 18.4, 32.4, 0.5, 0.0, 2.5), 16.9, spare_vertex=True),
        109: flat_rectangle(60, 20, 1.0 / 3.0),
    }


# ---- Bitmaps ----------------------------------------------------------------

def bitmap(palette, pixel):
    """A 256 x 256 bottom-up .bmp of 8 bits with a 256-entry colour table;
    `pixel(x, y)` gives the index at column x of displayed row y (0 = top)."""
    size = 256
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 8, 0, size * size, 2835, 2835, 256, 256)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    rows = b"".join(bytes(pixel(x, y) for x in range(size)) for y in reversed(range(size)))
    offset = FILE_HEADER_SIZE + len(info) + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    return header + info + table + rows


def ramp(colour):
    """256 entries from black to `colour` to white."""
    entries = []
    for i in range(256):
        if i < 192:
            entries.append(tuple(int(round(c * i / 191)) for c in colour))
        else:
            w = (i - 191) / 64
            entries.append(tuple(int(round(c + (255 - c) * w)) for c in colour))
    return entries


def emblem(x, y):
    """A bright ring around a four-pointed star, on black; drawn additively."""
    dx, dy = x - 127.5, y - 127.5
    r = math.hypot(dx, dy)
    ring = max(0.0, 1.0 - abs(r - 96) / 10)
    star = max(0.0, 1.0 - (abs(dx) ** 0.5 + abs(dy) ** 0.5) / 10)
    glow = max(0.0, 1.0 - r / 120) * 0.25
    return min(255, int(255 * min(1.0, ring + 1.6 * star + glow)))


def banner(x, y):
    """Bright bars over a gradient in the displayed top third; dark below."""
    if y >= 86:
        return 6 if (x // 16 + y // 16) % 2 == 0 else 3
    level = 150 + int(60 * math.sin(math.pi * y / 86))
    if 20 <= y < 66 and (x // 12) % 3 != 2 and 12 <= x < 244:
        level = 255 - (y - 20)
    return level


def bitmaps():
    return {
        101: bitmap(ramp((120, 170, 255)), emblem),
        110: bitmap(ramp((255, 190, 90)), banner),
    }


# ---- Outputs ----------------------------------------------------------------

def cpp_array(name, data):
    lines = []
    for start in range(0, len(data), 24):
        lines.append("    " + ",".join(str(b) for b in data[start:start + 24]) + ",")
    return "const unsigned char %s[%d] = {\n%s\n};\n" % (name, len(data), "\n".join(lines))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    sounds = {
        102: wave(tone(23524 // 2, [(880, 0.6), (1320, 0.3), (1760, 0.1)], 4.0)),
        104: wave(sweep(45836 // 2, 220, 660)),
        105: wave(tone(69270 // 2, [(440, 0.5), (554.37, 0.3), (659.25, 0.2)], 1.5, fade_out=0.3)),
    }
    files = []  # (id, resource type for the script, type name as the simulation keeps it, file, resource bytes)
    for rid, data in sorted(sounds.items()):
        files.append((rid, "WAVE", "WAVE", "wave_%d.wav" % rid, data, data))
    for rid, data in sorted(models().items()):
        files.append((rid, "KRMODEL", "KRMODEL", "model_%d.krm" % rid, data, data))
    for rid, data in sorted(bitmaps().items()):
        files.append((rid, "BITMAP", "#2", "bitmap_%d.bmp" % rid, data, data[FILE_HEADER_SIZE:]))
    files.sort()

    for _, _, _, name, data, _ in files:
        (out / name).write_bytes(data)

    script = ["// The library's own resources (written by make_resources.py).", "LANGUAGE 0x11, 0x01"]
    for rid, rc_type, _, name, _, _ in files:
        script.append('%d %s "%s"' % (rid, rc_type, (out / name).resolve().as_posix()))
    (out / "korvathd_resources.rc").write_text("\n".join(script) + "\n")

    table = ["// The library's own resources as the simulated KORVATHD.DLL carries them",
             "// (written by make_resources.py): what windres embeds for each file.",
             '#include "sim/library_resources.h"', "", "namespace sim {", "namespace detail {", "namespace {"]
    for rid, _, _, _, _, embedded in files:
        table.append(cpp_array("kResource%d" % rid, embedded))
    table.append("}  // namespace\n")
    table.append("const LibraryResource kLibraryResources[] = {")
    for rid, _, sim_type, _, _, embedded in files:
        table.append('    {"%s", %d, kResource%d, %d},' % (sim_type, rid, rid, len(embedded)))
    table.append("};")
    table.append("const size_t kLibraryResourceCount = %d;" % len(files))
    table += ["", "}  // namespace detail", "}  // namespace sim", ""]
    (out / "library_resource_table.cpp").write_text("\n".join(table))


if __name__ == "__main__":
    main()

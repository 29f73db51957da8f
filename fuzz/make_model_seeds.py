#!/usr/bin/env python3
"""Writes the seed models of the model reader's fuzz target into a folder:
a square with texture pairs, the same without, and one cut inside its normals."""
import struct
import sys
from pathlib import Path


def model(positions, normals, pairs, indices):
    head = b"KRMODEL0000".ljust(16, b"\0")
    head += struct.pack("<IIH", len(positions), len(pairs), len(indices))
    head = head.ljust(64, b"\xff")
    body = b"".join(struct.pack("<3f", *p) for p in positions)
    body += b"".join(struct.pack("<3f", *n) for n in normals)
    body += b"".join(struct.pack("<2f", *t) for t in pairs)
    body += b"".join(struct.pack("<H", i) for i in indices)
    return head + body


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    square = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)]
    up = [(0, 0, 1)] * 4
    pairs = [(0, 0), (1, 0), (1, 1), (0, 0), (1, 1), (0, 1)]
    indices = [0, 1, 2, 0, 2, 3]
    textured = model(square, up, pairs, indices)
    (out / "square_with_pairs.krm").write_bytes(textured)
    (out / "square_without_pairs.krm").write_bytes(model(square, up, [], indices))
    (out / "square_cut_in_normals.krm").write_bytes(textured[: 64 + 48 + 20])


if __name__ == "__main__":
    main()

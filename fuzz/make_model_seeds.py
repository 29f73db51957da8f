#!/usr/bin/env python3
"""Writes the seed models of the model reader's fuzz target into a folder:
a square with texture pairs, the same without, and one cut inside its normals."""
import sys
from pathlib import Path

# The model layout is written by the library's own resource generator.
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "resources"))
from make_resources import model  # noqa: E402


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

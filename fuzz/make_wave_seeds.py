#!/usr/bin/env python3
"""Writes the seed WAVE files of the WAVE reader's fuzz target into a folder: a
canonical tone, an odd chunk before the format, two data chunks, a 16-byte
format, a RIFF size past the end, an AVI header, a file cut in its header, and
IEEE-float formats whose cbSize fits their chunk or runs past the file."""
import math
import struct
import sys
from pathlib import Path


def chunk(ident, data):
    pad = b"\x00" if len(data) % 2 else b""
    return ident + struct.pack("<I", len(data)) + data + pad


def pcm(extra=b"\x00\x00", rate=22050, channels=1, bits=16):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits) + extra


def ieee_float(announced, held):
    return struct.pack("<HHIIHHH", 3, 1, 22050, 88200, 4, 32, announced) + b"\x11" * held


def riff(body, size=None, form=b"WAVE"):
    return b"RIFF" + struct.pack("<I", len(body) + 4 if size is None else size) + form + body


def tone(count):
    return b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.2))) for i in range(count))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    samples = tone(200)
    seeds = {
        "canonical.wav": riff(chunk(b"fmt ", pcm(b"")) + chunk(b"data", samples)),
        "odd_chunk_first.wav": riff(chunk(b"LIST", b"odd") + chunk(b"fmt ", pcm()) + chunk(b"data", samples)),
        "two_data_chunks.wav": riff(chunk(b"fmt ", pcm()) + chunk(b"data", samples[:40]) + chunk(b"data", samples)),
        "format_16_bytes.wav": riff(chunk(b"fmt ", pcm(b"")) + chunk(b"data", samples[:21])),
        "riff_size_past_end.wav": riff(chunk(b"fmt ", pcm()) + chunk(b"data", samples), size=100000),
        "avi.wav": riff(chunk(b"avih", b"\x00" * 56), form=b"AVI "),
        "cut_header.wav": b"RIFF\x10\x00\x00\x00WA",
        "float.wav": riff(chunk(b"fmt ", ieee_float(2, 2)) + chunk(b"data", samples)),
        "float_cbsize_past_end.wav": riff(chunk(b"data", samples) + chunk(b"fmt ", ieee_float(22, 0))),
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()

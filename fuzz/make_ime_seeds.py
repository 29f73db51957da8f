#!/usr/bin/env python3
"""Writes the seeds of the input-method fuzz target into a folder: a reading
with attributes and an open candidate list, a finished result, and a list
whose second offset points outside it."""
import struct
import sys
from pathlib import Path


def field(data):
    return struct.pack("<H", len(data)) + data


def candidate_list(candidates, selection, offsets=None):
    header = 24
    table = header + 4 * len(candidates)
    strings = b""
    computed = []
    for text in candidates:
        computed.append(table + len(strings))
        strings += text + b"\0"
    offsets = offsets or computed
    size = table + len(strings)
    body = struct.pack("<6I", size, 1, len(candidates), selection, 0, 9)
    body += b"".join(struct.pack("<I", o) for o in offsets)
    return body + strings


def seed(flags, composition, attributes, result, candidates):
    return bytes([flags]) + field(composition) + field(attributes) + field(result) + field(candidates)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    kanji = [w.encode("cp932") for w in ("漢字", "感じ", "幹事", "監事", "完治", "寛治")]
    reading = "かんじ".encode("cp932")
    (out / "reading_with_candidates").write_bytes(
        seed(0x39, reading, b"\x01" * len(reading), b"", candidate_list(kanji, 5)))
    (out / "finished_result").write_bytes(seed(0x48, b"", b"", "変換".encode("cp932"), b""))
    (out / "bad_offset").write_bytes(
        seed(0x22, b"ab\x82", b"\x04\x80", b"", candidate_list([b"a", b"b"], 1, [32, 5000])))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the seeds of the receive-translation fuzz target into a folder:
library messages and application data from a player, on a host and
elsewhere, and system messages laid out as 64-bit DPMSG_* records (the
target fills in their pointers)."""
import struct
import sys
from pathlib import Path


def seed(flags, capacity, message):
    return bytes([flags]) + struct.pack("<H", capacity) + message


def words(*values):
    return b"".join(struct.pack("<I", v) for v in values)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    dpname = bytes(24)
    seeds = {
        "request_on_host": seed(1, 256, b"\x00" + words(0xFFFF7101, 0x42)),
        "request_elsewhere": seed(0, 256, b"\x00" + words(0xFFFF7101, 0x42)),
        "accept_long": seed(0, 256, b"\x00" + words(0xFFFF7102, 0x500, 0x501, 0xDEAD)),
        "data": seed(0, 4, b"\xff" + b"application data"),
        "short_library": seed(1, 64, b"\x00\x01"),
        "empty": seed(0, 64, b""),
        # dwType, dwPlayerType, dpId, dwCurrentPlayers, (pad) lpData, dwDataSize, (pad) DPNAME, dpIdParent, dwFlags
        "create_player": seed(3, 64, words(3, 1, 0x77, 1, 0) + bytes(8) + words(0, 0) + dpname + words(0, 0)),
        "host": seed(2, 64, words(0x101)),
        "chat": seed(2, 100, words(0x109, 0, 1, 2, 3, 0) + bytes(8) + b"hello\x00"),
        "add": seed(2, 8, words(7, 0x500, 0x42)),
        "session_lost": seed(2, 64, words(0x31)),
    }
    for name, data in seeds.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()

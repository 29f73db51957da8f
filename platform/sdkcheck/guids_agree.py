#!/usr/bin/env python3
"""Checks that every DEFINE_GUID of our platform headers has the SDK's value:
the same name defined by the SDK's headers with the same eleven numbers.
Usage: guids_agree.py OUR_INCLUDE_DIR SDK_INCLUDE_DIR"""
import re
import sys
from pathlib import Path

# The DirectShow identifiers of uuids.h come as OUR_GUID_ENTRY lines.
DEFINE = re.compile(r"(?:DEFINE_GUID|OUR_GUID_ENTRY)\s*\(\s*(\w+)\s*,([^)]*)\)")


def guids(folder):
    found = {}
    for header in sorted(Path(folder).glob("*.h")):
        text = header.read_text(errors="replace")
        for name, numbers in DEFINE.findall(text):
            try:
                found.setdefault(name, [int(n.strip().rstrip("uUlL"), 0) for n in numbers.split(",")])
            except ValueError:
                continue  # a macro's parameters, not a definition
    return found


def main():
    ours = guids(sys.argv[1])
    sdk = guids(sys.argv[2])
    problems = 0
    for name, value in sorted(ours.items()):
        if name not in sdk:
            print(f"  {name}: not defined by the SDK")
            problems += 1
        elif sdk[name] != value:
            print(f"  {name}: ours={value} sdk={sdk[name]}")
            problems += 1
    print(f"{len(ours)} identifiers checked, {problems} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

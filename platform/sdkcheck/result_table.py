"""The codes of the DirectX result-name tables, read from their source.

Every `case 0x887601C2: return "DDERR_SURFACELOST";` line is one pair of a code
and the name it prints. A line that looks like a table entry but not of that
form is returned apart, so that nothing is passed over silently.
"""

import re
from dataclasses import dataclass, field
from typing import List, Tuple

# The SDK headers that define the result codes of the families the tables cover.
RESULT_HEADERS = ("windows.h", "ddraw.h", "d3d.h", "dinput.h", "dsound.h", "dplay.h", "dmerror.h")

_ENTRY = re.compile(
    r"\bcase\s+(?:\(\s*[A-Za-z_]\w*\s*\)\s*)?(?P<code>-?\s*(?:0[xX][0-9A-Fa-f]+|[0-9]+))[uUlL]*\s*:"
    r"\s*return\s+\"(?P<name>[^\"\\]*)\"\s*;")
_LOOKS_LIKE_ENTRY = re.compile(r"\bcase\b.*\breturn\s+\"")
_IDENTIFIER = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*$")


@dataclass
class ResultTable:
    codes: List[Tuple[str, int]] = field(default_factory=list)  # (name, 32-bit code), no repeats
    unreadable: List[str] = field(default_factory=list)  # lines not of the expected form


def _c_integer(text: str) -> int:
    text = text.replace(" ", "")
    negative = text.startswith("-")
    digits = text.lstrip("-")
    if digits[:2] in ("0x", "0X"):
        value = int(digits, 16)
    elif len(digits) > 1 and digits.startswith("0"):
        value = int(digits, 8)  # C reads a leading zero as octal
    else:
        value = int(digits, 10)
    return -value if negative else value


def read_result_table(text: str) -> ResultTable:
    table = ResultTable()
    seen = set()
    for line in text.splitlines():
        entries = list(_ENTRY.finditer(line))
        for entry in entries:
            name = entry["name"]
            code = _c_integer(entry["code"]) & 0xFFFFFFFF
            if not _IDENTIFIER.match(name):
                table.unreadable.append(line.strip())
            elif (name, code) not in seen:
                seen.add((name, code))
                table.codes.append((name, code))
        if not entries and _LOOKS_LIKE_ENTRY.search(line):
            table.unreadable.append(line.strip())
    return table

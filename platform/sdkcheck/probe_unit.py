"""A generated translation unit: includes, then the parts of one item per probed name.

Kept as parts rather than text so that includes or items at fault can be left
out and the unit written again; `render` says which part owns every line. The
layout is the unit's fixed text, with INCLUDES and part(i) marking where the
#include lines and every item's i-th part go.
"""

from dataclasses import dataclass, replace
from typing import Dict, Iterable, List, Optional, Tuple

INCLUDE = "include"
ITEM = "item"
INCLUDES = "@includes"


def part(index: int) -> str:
    return f"@part{index}"


@dataclass(frozen=True)
class ProbeItem:
    key: str  # unique within the unit
    parts: Tuple[Tuple[str, ...], ...]  # lines for each part(i) of the layout
    header: Optional[str] = None  # the header the probed name comes from
    hint: str = ""  # what the name expands to on our side, for matching link errors


@dataclass(frozen=True)
class ProbeUnit:
    file_name: str
    includes: Tuple[str, ...]
    items: Tuple[ProbeItem, ...]
    layout: Tuple[str, ...] = (INCLUDES, part(0))

    def render(self) -> Tuple[str, Dict[int, Tuple[str, str]]]:
        """The source text, and line number -> (INCLUDE, header) or (ITEM, key)."""
        lines: List[str] = []
        owners: Dict[int, Tuple[str, str]] = {}
        for entry in self.layout:
            if entry == INCLUDES:
                for header in self.includes:
                    lines.append(f"#include <{header}>")
                    owners[len(lines)] = (INCLUDE, header)
            elif entry.startswith("@part"):
                index = int(entry[len("@part"):])
                for item in self.items:
                    for text in item.parts[index] if index < len(item.parts) else ():
                        lines.append(text)
                        owners[len(lines)] = (ITEM, item.key)
            else:
                lines.append(entry)
        return "\n".join(lines) + "\n", owners

    def without_includes(self, headers: Iterable[str]) -> "ProbeUnit":
        gone = set(headers)
        return replace(self, includes=tuple(h for h in self.includes if h not in gone))

    def without_items(self, keys: Iterable[str]) -> "ProbeUnit":
        gone = set(keys)
        return replace(self, items=tuple(i for i in self.items if i.key not in gone))

    def with_items(self, items: Iterable[ProbeItem]) -> "ProbeUnit":
        return replace(self, items=tuple(items))

    def with_includes(self, headers: Iterable[str]) -> "ProbeUnit":
        return replace(self, includes=tuple(headers))

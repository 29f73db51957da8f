"""Which lines of a generated source a GCC error is about.

Each probed name sits on its own line of the generated source, so an error
that points into that source names the entry at fault. An error inside a header
points back through "In file included from" to an #include line, or through a
note ("in expansion of macro") to the entry that expanded it.
Expects -fdiagnostics-plain-output and the C locale (plain ASCII quotes).
"""

import os
import re
from dataclasses import dataclass, field
from typing import Dict, List, Optional

_LOCATION = re.compile(r"^(?P<file>[^:\s][^:]*):(?P<line>\d+):(?:\d+:)?\s*(?P<rest>.*)$")
_INCLUDED_FROM = re.compile(r"^(?:In file included from|\s+from) (?P<file>[^:]+):(?P<line>\d+)[:,]?$")
_ERROR = re.compile(r"^(?:fatal )?error: (?P<message>.*)$")


@dataclass
class _ErrorGroup:
    message: str
    own_line: Optional[int]
    context_lines: List[int]
    note_lines: List[int] = field(default_factory=list)

    def blamed_lines(self) -> List[int]:
        if self.own_line is not None:
            return [self.own_line]
        if self.note_lines:
            return self.note_lines
        return self.context_lines[:1]


def _same_file(reported: str, source: str) -> bool:
    return os.path.basename(reported) == os.path.basename(source)


def blamed_lines(output: str, source: str) -> Dict[int, str]:
    """Line of `source` -> the first error message that points at it."""
    groups: List[_ErrorGroup] = []
    context: List[int] = []
    current: Optional[_ErrorGroup] = None
    for raw in output.splitlines():
        included = _INCLUDED_FROM.match(raw)
        if included:
            if _same_file(included["file"], source):
                context.append(int(included["line"]))
            continue
        located = _LOCATION.match(raw)
        if not located:
            continue
        in_source = _same_file(located["file"], source)
        line = int(located["line"])
        rest = located["rest"]
        error = _ERROR.match(rest)
        if error:
            current = _ErrorGroup(error["message"], line if in_source else None, context)
            groups.append(current)
            context = []
        elif "required from" in rest:
            if in_source:
                context.insert(0, line)
        elif rest.startswith("note:") and in_source and current is not None:
            current.note_lines.append(line)
    blamed: Dict[int, str] = {}
    for group in groups:
        for line in group.blamed_lines():
            blamed.setdefault(line, group.message)
    return blamed


def undefined_symbols(output: str) -> List[str]:
    """Symbols a failed link could not find."""
    found = re.findall(r"undefined reference to [`'\"]([^'`\"]+)['`\"]", output)
    return list(dict.fromkeys(found))

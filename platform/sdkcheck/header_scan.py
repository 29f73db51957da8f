"""What our platform headers declare, found with the host compiler.

Each header is preprocessed on its own with its #defines kept (-E -dD). The
line markers tell which file every definition and declaration comes from, so a
header is credited only with what it declares itself, never with what it
includes: the compiler's predefined macros and the C library's are left out
without a list. From each header come
  - its object-like macros whose expansion can be an integer or pointer
    constant (see constant_shape), less those the compiler accepts as a type
    and those that expand to a single name nothing declares (a token such as
    DUMMYUNIONNAME -> u, for building declarations);
  - the enumerators of its enums;
  - its records (and named enums), by tag and by typedef name, for sizeof.
"""

import os
import re
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Set, Tuple

import constant_shape
from cxx_tokens import join, tokenize
from declarations import scan_declarations
from probe_build import BuildOutcome, Toolchain, UnitBuilder
from probe_unit import ProbeItem, ProbeUnit

VALUE = "value"
SIZE = "sizeof"

_LINE_MARKER = re.compile(r'^# \d+ "(?P<file>(?:[^"\\]|\\.)*)"')
_DEFINE = re.compile(r"^#define (?P<name>[A-Za-z_$][A-Za-z0-9_$]*)(?P<params>\()?(?P<value>.*)$")
_UNDEF = re.compile(r"^#undef (?P<name>[A-Za-z_$][A-Za-z0-9_$]*)")
_EXPANSION_MARK = "__kr_sdkcheck_expansion__"
_EXPANSION = re.compile(r"^" + _EXPANSION_MARK + r" (?P<index>\d+)(?: (?P<tokens>.*))?$")
# Every Windows program includes <windows.h> first; the SDK's parts (winnt.h,
# winbase.h, ...) do not stand alone, so the include list starts with it.
FIRST_HEADER = "windows.h"


@dataclass
class Entry:
    kind: str  # VALUE or SIZE
    name: str
    header: str
    expansion: str = ""  # a macro's value on our side


@dataclass
class Skipped:
    name: str
    header: str
    reason: str
    expansion: str = ""


@dataclass
class HeaderScan:
    include_order: List[str] = field(default_factory=list)
    entries: List[Entry] = field(default_factory=list)
    skipped: List[Skipped] = field(default_factory=list)
    problems: List[str] = field(default_factory=list)  # headers the host cannot preprocess


@dataclass
class _Macro:
    name: str
    function_like: bool
    value: str


@dataclass
class _OneHeader:
    name: str
    includes: Set[str] = field(default_factory=set)  # our other headers it pulls in
    macros: List[_Macro] = field(default_factory=list)
    code: str = ""
    problem: Optional[str] = None


def _header_of(path: str, include_dir: str) -> Optional[str]:
    """The header's name if `path` is one of ours (the compiler may report it through symlinks)."""
    path = path.replace('\\"', '"')
    if os.path.realpath(os.path.dirname(path)) == include_dir:
        return os.path.basename(path)
    return None


def _read_preprocessed(header: str, text: str, include_dir: str) -> _OneHeader:
    found = _OneHeader(header)
    defined: Dict[str, Tuple[Optional[str], _Macro]] = {}
    code_lines: List[str] = []
    current: Optional[str] = None
    for line in text.splitlines():
        marker = _LINE_MARKER.match(line)
        if marker:
            current = _header_of(marker["file"], include_dir)
            if current and current != header:
                found.includes.add(current)
            continue
        definition = _DEFINE.match(line)
        if definition:
            macro = _Macro(definition["name"], definition["params"] is not None, definition["value"].strip())
            defined[macro.name] = (current, macro)
        elif _UNDEF.match(line):
            defined.pop(_UNDEF.match(line)["name"], None)
        elif current == header and not line.startswith("#"):
            code_lines.append(line)
    found.macros = [macro for origin, macro in defined.values() if origin == header]
    found.code = "\n".join(code_lines)
    return found


def _preprocess(toolchain: Toolchain, header: str, include_dir: str, directory: str) -> _OneHeader:
    source = f"scan_{header}.cpp"
    with open(os.path.join(directory, source), "w") as out:
        out.write(f"#include <{header}>\n")
    ok, text = toolchain.preprocess(source, directory, keep_definitions=True)
    if not ok:
        return _OneHeader(header, problem=text.strip().splitlines()[0] if text.strip() else "failed")
    return _read_preprocessed(header, text, include_dir)


def _expansions(toolchain: Toolchain, header: str, names: List[str], directory: str) -> Dict[str, str]:
    source = f"expand_{header}.cpp"
    with open(os.path.join(directory, source), "w") as out:
        out.write(f"#include <{header}>\n")
        for index, name in enumerate(names):
            out.write(f"{_EXPANSION_MARK} {index} {name}\n")
    ok, text = toolchain.preprocess(source, directory, keep_definitions=False)
    result: Dict[str, str] = {}
    if ok:
        for line in text.splitlines():
            mark = _EXPANSION.match(line)
            if mark and int(mark["index"]) < len(names):
                result[names[int(mark["index"])]] = (mark["tokens"] or "").strip()
    return result


def _include_order(headers: Dict[str, _OneHeader]) -> List[str]:
    # A header comes after those it includes: it pulls in strictly more of them.
    rest = sorted((h for h in headers if h != FIRST_HEADER), key=lambda h: (len(headers[h].includes), h))
    return ([FIRST_HEADER] if FIRST_HEADER in headers else []) + rest


def _compiling_lines(toolchain: Toolchain, order: List[str], lines: Dict[str, str], directory: str,
                     file_name: str) -> Set[str]:
    """The names whose namespace-scope line compiles after our headers."""
    if not lines:
        return set()
    items = [ProbeItem(name, ((line,),)) for name, line in lines.items()]
    unit = ProbeUnit(file_name, tuple(order), tuple(items))
    built = UnitBuilder(toolchain, directory).build(unit, BuildOutcome())
    return {item.key for item in built[0].items} if built else set()


def _names_of_types(toolchain: Toolchain, order: List[str], names: List[str], directory: str) -> Set[str]:
    """The macros the compiler accepts as a type: `NAME * p;` declares a pointer only then."""
    lines = {name: f"{name} * kr_type_probe_{index};" for index, name in enumerate(names)}
    return _compiling_lines(toolchain, order, lines, directory, "type_probe.cpp")


def _names_of_nothing(toolchain: Toolchain, order: List[str], names: List[str], directory: str) -> Set[str]:
    """Of macros that expand to one identifier, those naming nothing declared (DUMMYUNIONNAME -> u)."""
    lines = {name: f"using kr_declared_probe_{index} = decltype(({name}));" for index, name in enumerate(names)}
    return set(names) - _compiling_lines(toolchain, order, lines, directory, "declared_probe.cpp")


def _macro_candidates(headers: Dict[str, _OneHeader], order: List[str],
                      expanded: Dict[str, Dict[str, str]]) -> Tuple[List[Entry], List[Skipped]]:
    """Macros whose expansion has the shape of a constant, and the others with the reason."""
    candidates: List[Entry] = []
    skipped: List[Skipped] = []
    for header in order:
        for macro in headers[header].macros:
            if macro.function_like:
                skipped.append(Skipped(macro.name, header, constant_shape.FUNCTION_LIKE, macro.value))
                continue
            tokens = tokenize(expanded[header].get(macro.name, macro.value))
            reason = constant_shape.shape_reason(tokens)
            if reason:
                skipped.append(Skipped(macro.name, header, reason, join(tokens)))
            else:
                candidates.append(Entry(VALUE, macro.name, header, join(tokens)))
    return candidates, skipped


def _compiler_rejections(toolchain: Toolchain, order: List[str], candidates: List[Entry],
                         directory: str) -> Dict[str, str]:
    """Candidate name -> why it is no value after all, as the compiler sees our headers."""
    types = _names_of_types(toolchain, order, [c.name for c in candidates], directory)
    single_names = [c.name for c in candidates
                    if c.name not in types and [t.kind for t in tokenize(c.expansion)] == ["ident"]]
    rejected = {name: constant_shape.NAMES_A_TYPE for name in types}
    for name in _names_of_nothing(toolchain, order, single_names, directory):
        rejected[name] = constant_shape.NAMES_NOTHING
    return rejected


def scan_headers(toolchain: Toolchain, include_dir: str, directory: str) -> HeaderScan:
    include_dir = os.path.realpath(include_dir)
    os.makedirs(directory, exist_ok=True)
    names = sorted(n for n in os.listdir(include_dir) if n.endswith(".h")) if os.path.isdir(include_dir) else []
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 4) as pool:
        headers = dict(zip(names, pool.map(lambda h: _preprocess(toolchain, h, include_dir, directory), names)))
        wanted = {h: [m.name for m in headers[h].macros if not m.function_like] for h in names}
        expanded = dict(zip(names, pool.map(lambda h: _expansions(toolchain, h, wanted[h], directory), names)))
    scan = HeaderScan(_include_order(headers))
    scan.problems = [f"{h}: {headers[h].problem}" for h in scan.include_order if headers[h].problem]
    candidates, scan.skipped = _macro_candidates(headers, scan.include_order, expanded)
    rejected = _compiler_rejections(toolchain, scan.include_order, candidates, directory)

    seen: Set[Tuple[str, str]] = set()

    def add(entry: Entry) -> None:
        if (entry.kind, entry.name) not in seen:
            seen.add((entry.kind, entry.name))
            scan.entries.append(entry)

    records_so_far: Set[str] = set()
    for header in scan.include_order:
        for entry in (c for c in candidates if c.header == header):
            if entry.name in rejected:
                scan.skipped.append(Skipped(entry.name, header, rejected[entry.name], entry.expansion))
            else:
                add(entry)
        declared = scan_declarations(tokenize(headers[header].code), records_so_far)
        records_so_far.update(declared.records)
        for name in declared.enumerators:
            add(Entry(VALUE, name, header))
        for name in declared.records + declared.enums:
            add(Entry(SIZE, name, header))
    return scan

"""Comparing what the two probe programs printed, and the report of it.

Failures: a value or size that differs; a name of ours the SDK headers do not
have or cannot compile (our headers may only declare SDK names); a name that
does not compile as a value with our own headers; an entry missing from either
output; a result-table code that differs from the SDK's. Informational: names
skipped as not integer constants, and result-table names the SDK lacks.
"""

from collections import Counter
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Tuple, Union

from header_scan import SIZE, HeaderScan
from probe_build import BuildOutcome
from probe_source import entry_key
from result_table import ResultTable

NOT_A_NUMBER = "?"
UNDECLARED = "!"  # the constants probe's mark for a name the headers lack
ABSENT = "-"  # the results probe's mark for a name the SDK does not define
Printed = Union[int, str]


def read_output(text: str) -> Dict[str, Printed]:
    """Output lines -> {"value NAME" | "sizeof NAME" | "result NAME": number, "?" or "-"}."""
    printed: Dict[str, Printed] = {}
    for line in text.replace("\r", "").splitlines():
        words = line.split()
        if len(words) == 2:
            kind, name, value = "value", words[0], words[1]
        elif len(words) == 3 and words[0] in ("sizeof", "result"):
            kind, name, value = words
        else:
            continue
        try:
            printed[entry_key(kind, name)] = int(value)
        except ValueError:
            printed[entry_key(kind, name)] = value
    return printed


def show(value: Optional[Printed]) -> str:
    if value is None:
        return "<no output>"
    if value == NOT_A_NUMBER:
        return "<not an integer or pointer>"
    if isinstance(value, str):
        return value
    if -9 <= value <= 9:
        return str(value)
    bits = value & 0xFFFFFFFF if -(1 << 31) <= value < (1 << 32) else value & 0xFFFFFFFFFFFFFFFF
    return f"{value} (0x{bits:X})"


def _hint(ours: Printed, sdk: Printed) -> str:
    if isinstance(ours, int) and isinstance(sdk, int) and ours & 0xFFFFFFFF == sdk & 0xFFFFFFFF:
        return "  [same low 32 bits: the type's signedness or width differs]"
    return ""


@dataclass
class Report:
    failures: List[str] = field(default_factory=list)
    lines: List[str] = field(default_factory=list)

    def section(self, title: str, lines: List[str], failing: bool) -> None:
        if not lines:
            return
        self.lines.append(f"{title} ({len(lines)}):")
        self.lines.extend("  " + line for line in lines)
        if failing:
            self.failures.extend(lines)


@dataclass
class Probed:
    """One side's build and what its program printed (None if it did not run)."""
    build: BuildOutcome
    output: Optional[Dict[str, Printed]]
    run_error: Optional[str] = None


def _program_problems(side: str, probed: Probed, header_word: str) -> List[str]:
    problems = [f"<{header}> {header_word}: {reason}" for header, reason in probed.build.dropped_includes.items()]
    if probed.build.failure:
        problems.append(f"the {side} probe could not be built: {probed.build.failure}")
    elif probed.run_error:
        problems.append(f"the {side} probe did not run to its end: {probed.run_error}")
    return problems


def compare(scan: HeaderScan, ours: Probed, sdk: Probed, table: Optional[ResultTable],
            table_path: str) -> Report:
    report = Report()
    report.section("Our headers that the host cannot preprocess", scan.problems, True)
    if scan.include_order and not scan.entries and not scan.skipped:
        report.section("The scan is broken", [f"nothing found in {len(scan.include_order)} headers"], True)
    report.section("Problems building or running with our headers",
                   _program_problems("host", ours, "cannot be included on the host"), True)
    report.section("Problems building or running with the SDK headers",
                   _program_problems("SDK", sdk, "is not an SDK header or does not compile there"), True)
    _compare_entries(report, scan, ours, sdk)
    if table is not None:
        _compare_results(report, table, sdk, table_path)
    _summarize_skipped(report, scan)
    checked = Counter(entry.kind for entry in scan.entries)
    report.lines.insert(0, f"Our headers give {checked['value']} constants and {checked[SIZE]} record sizes to "
                           f"check, from {len(scan.include_order)} headers: {' '.join(scan.include_order) or '(none)'}")
    return report


def _compare_entries(report: Report, scan: HeaderScan, ours: Probed, sdk: Probed) -> None:
    disagreements, not_in_sdk, ours_broken, missing, neither = [], [], [], [], []
    for entry in scan.entries:
        key = entry_key(entry.kind, entry.name)
        label = f"sizeof {entry.name}" if entry.kind == SIZE else entry.name
        where = f"  [{entry.header}]"
        if key in ours.build.dropped_items:
            ours_broken.append(f"{label}: does not compile with our headers: {ours.build.dropped_items[key]}{where}")
            continue
        if key in sdk.build.dropped_items:
            not_in_sdk.append(f"{label}: does not compile with the SDK headers: {sdk.build.dropped_items[key]}{where}")
            continue
        if ours.output is None or sdk.output is None:
            continue  # the program problem is reported already
        ours_value, sdk_value = ours.output.get(key), sdk.output.get(key)
        if sdk_value == UNDECLARED:
            not_in_sdk.append(f"{label}: not declared by the SDK headers{where}")
        elif ours_value == UNDECLARED:
            ours_broken.append(f"{label}: not declared where our headers are included{where}")
        elif ours_value is None or sdk_value is None:
            side = "our" if ours_value is None else "the SDK"
            missing.append(f"{label}: missing from {side} probe's output{where}")
        elif ours_value == NOT_A_NUMBER and sdk_value == NOT_A_NUMBER:
            neither.append(f"{label}{where}")
        elif ours_value != sdk_value:
            disagreements.append(f"{label}: ours={show(ours_value)} sdk={show(sdk_value)}"
                                 f"{_hint(ours_value, sdk_value)}{where}")
    report.section("Disagreements", disagreements, True)
    report.section("Not in the SDK's headers of the same names, or not compilable with them "
                   "(our headers may only declare SDK names)", not_in_sdk, True)
    report.section("Not a usable value with our own headers", ours_broken, True)
    report.section("Missing from an output", missing, True)
    report.section("Values that are not integers or pointers on either side (not compared)", neither, False)


def _compare_results(report: Report, table: ResultTable, sdk: Probed, table_path: str) -> None:
    wrong, absent, broken = [], [], []
    if sdk.output is None:
        report.lines.append(f"Result-name tables ({table_path}): not checked, the SDK probe did not run")
        return
    for name, code in table.codes:
        key = entry_key("result", name)
        if key in sdk.build.dropped_items:
            broken.append(f"{name}: {sdk.build.dropped_items[key]}")
            continue
        value = sdk.output.get(key)
        if value == ABSENT:
            absent.append(name)
        elif not isinstance(value, int):
            broken.append(f"{name}: the SDK gives {show(value)}")
        elif value & 0xFFFFFFFF != code:
            wrong.append(f"{name}: table=0x{code:08X} sdk=0x{value & 0xFFFFFFFF:08X}")
    report.lines.append(f"Result-name tables ({table_path}): {len(table.codes)} names, "
                        f"{len(table.codes) - len(absent) - len(broken)} checked against the SDK")
    report.section("Result-table codes that differ from the SDK", wrong, True)
    report.section("Result-table names the SDK headers cannot compile", broken, True)
    report.section("Result-table names not in SDK headers (not checked)", absent, False)
    report.section("Result-table lines not of the form `case 0x...: return \"NAME\";` (not checked)",
                   table.unreadable, False)


def _summarize_skipped(report: Report, scan: HeaderScan) -> None:
    by_reason: Dict[str, List[Tuple[str, str]]] = {}
    for skipped in scan.skipped:
        by_reason.setdefault(skipped.reason, []).append((skipped.name, skipped.header))
    if not by_reason:
        return
    report.lines.append(f"Macros not checked, as not integer constants ({len(scan.skipped)}):")
    for reason, names in sorted(by_reason.items()):
        shown = ", ".join(name for name, _ in names[:8]) + (", ..." if len(names) > 8 else "")
        report.lines.append(f"  {len(names)} {reason}: {shown}")

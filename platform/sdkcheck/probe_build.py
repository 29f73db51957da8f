"""Building a probe program so that one bad entry cannot hide the rest.

A unit that fails to compile loses the includes or items its errors point at
(see compiler_diagnostics), and is compiled again. Errors that point nowhere
are narrowed down by compiling parts: the includes alone, then halves of the
items. Whatever was left out is returned with the compiler's reason.
"""

import os
import subprocess
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Sequence, Tuple

from compiler_diagnostics import blamed_lines, undefined_symbols
from cxx_tokens import tokenize
from probe_unit import INCLUDE, ITEM, ProbeItem, ProbeUnit

COMPILE_TIMEOUT_SECONDS = 600


def _first_error(output: str) -> str:
    for line in output.splitlines():
        if "error:" in line:
            return line.split("error:", 1)[1].strip()
    lines = [line for line in output.splitlines() if line.strip()]
    return lines[0].strip() if lines else "failed without a message"


@dataclass
class Toolchain:
    compiler: str
    compile_flags: List[str]
    link_flags: List[str]

    def _run(self, arguments: List[str], cwd: str) -> Tuple[bool, str, str]:
        environment = dict(os.environ, LC_ALL="C", LANG="C")
        try:
            done = subprocess.run([self.compiler] + arguments, cwd=cwd, env=environment,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=COMPILE_TIMEOUT_SECONDS)
        except FileNotFoundError:
            return False, "", f"error: compiler {self.compiler} not found"
        except subprocess.TimeoutExpired:
            return False, "", f"error: {self.compiler} ran longer than {COMPILE_TIMEOUT_SECONDS} s"
        return (done.returncode == 0, done.stdout.decode("utf-8", "replace"),
                done.stderr.decode("utf-8", "replace"))

    def compile(self, source: str, output: Optional[str], cwd: str) -> Tuple[bool, str]:
        target = ["-c", "-o", output] if output else ["-fsyntax-only"]
        ok, out, err = self._run(self.compile_flags + ["-w", "-fdiagnostics-plain-output"] + target + [source], cwd)
        return ok, out + err

    def preprocess(self, source: str, cwd: str, keep_definitions: bool) -> Tuple[bool, str]:
        """(ok, the preprocessed text, or the errors when not ok)."""
        mode = ["-E", "-dD"] if keep_definitions else ["-E", "-P"]
        ok, out, err = self._run(self.compile_flags + mode + [source], cwd)
        return ok, out if ok else err

    def link(self, objects: Sequence[str], executable: str, cwd: str) -> Tuple[bool, str]:
        ok, out, err = self._run(list(objects) + ["-o", executable] + self.link_flags, cwd)
        return ok, out + err


@dataclass
class BuildOutcome:
    executable: Optional[str] = None
    dropped_items: Dict[str, str] = field(default_factory=dict)  # item key -> reason
    dropped_includes: Dict[str, str] = field(default_factory=dict)  # header -> reason
    failure: Optional[str] = None  # set when nothing could be built


class UnitBuilder:
    def __init__(self, toolchain: Toolchain, directory: str):
        self.toolchain = toolchain
        self.directory = directory

    def _write(self, unit: ProbeUnit, file_name: str) -> Dict[int, Tuple[str, str]]:
        text, owners = unit.render()
        with open(os.path.join(self.directory, file_name), "w") as source:
            source.write(text)
        return owners

    def _compiles(self, unit: ProbeUnit) -> Tuple[bool, str]:
        file_name = "narrowing_" + unit.file_name
        self._write(unit, file_name)
        return self.toolchain.compile(file_name, None, self.directory)

    def _narrow_down(self, unit: ProbeUnit) -> Tuple[Dict[str, str], Dict[str, str]]:
        """(bad includes, bad items) found by compiling parts of the unit."""
        bare = unit.with_items([])
        ok, _ = self._compiles(bare)
        if not ok:
            if not self._compiles(bare.with_includes([]))[0]:
                return {}, {}  # the fixed parts themselves fail: nothing to leave out
            low, high = 1, len(unit.includes)  # the shortest failing prefix ends with the culprit
            while low < high:
                middle = (low + high) // 2
                if self._compiles(bare.with_includes(unit.includes[:middle]))[0]:
                    low = middle + 1
                else:
                    high = middle
            culprit = unit.includes[low - 1]
            _, output = self._compiles(bare.with_includes(unit.includes[:low]))
            return {culprit: _first_error(output)}, {}
        return {}, self._bad_items(bare, list(unit.items))

    def _bad_items(self, bare: ProbeUnit, items: List[ProbeItem]) -> Dict[str, str]:
        ok, output = self._compiles(bare.with_items(items))
        if ok:
            return {}
        if len(items) == 1:
            return {items[0].key: _first_error(output)}
        middle = len(items) // 2
        found = self._bad_items(bare, items[:middle])
        found.update(self._bad_items(bare, items[middle:]))
        return found

    def build(self, unit: ProbeUnit, outcome: BuildOutcome) -> Optional[Tuple[ProbeUnit, str]]:
        """Compiles `unit`, leaving out what fails; (unit as built, object file) or None."""
        object_file = os.path.splitext(unit.file_name)[0] + ".o"
        for _ in range(len(unit.items) + len(unit.includes) + 2):  # every round leaves out something
            owners = self._write(unit, unit.file_name)
            ok, output = self.toolchain.compile(unit.file_name, object_file, self.directory)
            if ok:
                return unit, object_file
            bad_includes: Dict[str, str] = {}
            bad_items: Dict[str, str] = {}
            for line, message in blamed_lines(output, unit.file_name).items():
                kind, name = owners.get(line, (None, ""))
                if kind == INCLUDE:
                    bad_includes.setdefault(name, message)
                elif kind == ITEM:
                    bad_items.setdefault(name, message)
            if not bad_includes and not bad_items:
                bad_includes, bad_items = self._narrow_down(unit)
            if bad_includes:  # an include's errors spill into items: leave out includes first
                outcome.dropped_includes.update(bad_includes)
                unit = unit.without_includes(bad_includes)
            elif bad_items:
                outcome.dropped_items.update(bad_items)
                unit = unit.without_items(bad_items)
            else:
                outcome.failure = f"{unit.file_name} does not compile:\n" + "\n".join(output.splitlines()[:40])
                return None
        outcome.failure = f"{unit.file_name}: gave up after leaving out every part"
        return None


def build_program(toolchain: Toolchain, units: Sequence[ProbeUnit], directory: str,
                  executable: str) -> BuildOutcome:
    os.makedirs(directory, exist_ok=True)
    outcome = BuildOutcome()
    builder = UnitBuilder(toolchain, directory)
    built: List[Tuple[ProbeUnit, str]] = []
    for unit in units:
        result = builder.build(unit, outcome)
        if result is None:
            return outcome
        built.append(result)
    for _ in range(len(built) + 1):
        ok, output = toolchain.link([object_file for _, object_file in built], executable, directory)
        if ok:
            outcome.executable = os.path.join(directory, executable)
            return outcome
        # A constant that refers to something declared but defined nowhere only shows at link time.
        missing = set(undefined_symbols(output))
        rebuilt = []
        for unit, object_file in built:
            culprits = {item.key for item in unit.items
                        if missing & {token.text for token in tokenize(item.hint)}}
            if culprits:
                for key in culprits:
                    outcome.dropped_items[key] = ("refers to something declared but defined nowhere: "
                                                  + ", ".join(sorted(missing)))
                result = builder.build(unit.without_items(culprits), outcome)
                if result is None:
                    return outcome
                rebuilt.append(result)
            else:
                rebuilt.append((unit, object_file))
        if rebuilt == built:
            break
        built = rebuilt
    outcome.failure = "the probe program does not link:\n" + "\n".join(output.splitlines()[:40])
    return outcome

#!/usr/bin/env python3
"""Instructions of Ondrel's own code per triangle, counted by callgrind.

Runs triangle_cost under valgrind --tool=callgrind twice (grDrawTriangle, then
4-vertex fans), collecting only inside the drawing loop, and sums the self cost
of the functions whose source lies in glide/: the simulation's and the C
library's instructions are left out.
"""

import os
import re
import subprocess
import sys
import tempfile

COUNT = 20000  # draws per run


def library_instructions(profile: str, library_dir: str) -> int:
    """Self cost (Ir) of the functions defined in library_dir, call costs excluded."""
    names = {}  # compressed "(id)" -> name, per kind of name
    total = 0
    counting = False
    skip_call_line = False
    with open(profile) as lines:
        for line in lines:
            line = line.rstrip("\n")
            if skip_call_line:  # the inclusive cost of a call: the callee's, not ours
                skip_call_line = False
                continue
            match = re.match(r"(fl|fi|fe|fn|cfl|cfi|cfn|ob|cob)=(\((\d+)\))?\s*(.*)", line)
            if match:
                kind, _, number, name = match.groups()
                space = "fn" if kind.endswith("fn") else ("ob" if kind.endswith("ob") else "fl")
                if number is not None:
                    if name:
                        names[(space, number)] = name
                    else:
                        name = names.get((space, number), "")
                if kind == "fl":
                    current_file = name
                elif kind == "fn":
                    counting = os.path.realpath(current_file).startswith(library_dir + os.sep)
                continue
            if line.startswith("calls="):
                skip_call_line = True
                continue
            if counting and line and (line[0].isdigit() or line[0] in "+-*"):
                fields = line.split()
                if len(fields) >= 2:
                    total += int(fields[1])
    return total


def measure(program: str, mode: str, loop: str, library_dir: str) -> int:
    with tempfile.TemporaryDirectory() as work:
        profile = os.path.join(work, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--collect-atstart=no", f"--toggle-collect={loop}",
                        f"--callgrind-out-file={profile}", program, mode, str(COUNT)],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return library_instructions(profile, library_dir)


def main() -> int:
    if len(sys.argv) != 3:
        print("usage: library_cost.py TRIANGLE_COST_PROGRAM GLIDE_SOURCE_DIR", file=sys.stderr)
        return 2
    program, library_dir = sys.argv[1], os.path.realpath(sys.argv[2])
    triangles = measure(program, "triangles", "*DrawTriangles*", library_dir) / COUNT
    fans = measure(program, "fans", "*DrawFans*", library_dir) / (2 * COUNT)
    print(f"Ondrel instructions per triangle (host, -O2, callgrind): grDrawTriangle {triangles:.0f}, "
          f"4-vertex fans {fans:.0f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

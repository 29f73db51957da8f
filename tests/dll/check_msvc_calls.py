#!/usr/bin/env python3
"""Usage: check_msvc_calls.py OBJDUMP UNDNAME DLL PROGRAM

Every MSVC name of the 32-bit DLL pops what an MSVC caller pushed: nothing for a
__cdecl function (the caller cleans up), the arguments, and the result's address when a
record is returned, for a __thiscall member. Read from the DLL's own code: each ret
reachable from the name's entry, following tail jumps. And every name the program built
by that compiler imports from the DLL is exported by it.
"""
import re
import subprocess
import sys

objdump, undname, dll, program = sys.argv[1:5]


def run(*args, stdin=None):
    return subprocess.run(args, check=True, capture_output=True, text=True, input=stdin).stdout


def exports():
    """MSVC export name -> virtual address."""
    dump = run(objdump, "-p", dll)
    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", dump, re.M).group(1), 16)
    rvas = {}  # ordinal -> rva, then name -> address through the ordinal table
    table = dump[dump.index("Export Address Table"):]
    for ordinal, rva in re.findall(r"^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-f]+) Export RVA", table, re.M):
        rvas[int(ordinal)] = base + int(rva, 16)
    names = {}
    for ordinal, name in re.findall(r"^\s*\[\s*(\d+)\] (\?\S+)$", table[table.index("[Ordinal/Name Pointer]"):], re.M):
        names[name] = rvas[int(ordinal)]
    return names


def functions():
    """Start address -> instructions, one function per symbol of the disassembly."""
    code, current = {}, None
    for line in run(objdump, "-d", "--no-show-raw-insn", dll).splitlines():
        label = re.match(r"^([0-9a-f]+) <.*>:$", line)
        if label:
            current = code.setdefault(int(label.group(1), 16), [])
        elif current is not None and "\t" in line:
            current.append(line.split("\t", 1)[1].strip())
    return code


def pops(code, start, seen):
    """The set of byte counts the rets reachable from start pop."""
    if start in seen:
        return set()
    seen.add(start)
    found = set()
    for instruction in code.get(start, []):
        ret = re.match(r"^ret\s*(?:\$0x([0-9a-f]+))?$", instruction)
        if ret:
            found.add(int(ret.group(1) or "0", 16))
        tail = re.match(r"^jmp\s+([0-9a-f]+) <[^+>]*>$", instruction)
        if tail and int(tail.group(1), 16) != start:
            found |= pops(code, int(tail.group(1), 16), seen)
    return found


def expected(signature):
    """Bytes the callee pops, from the demangled MSVC signature."""
    if "__cdecl" in signature:
        return 0
    if "__thiscall" not in signature:
        sys.exit(f"no rule for the convention of {signature}")
    result = signature.split("__thiscall")[0].split(":", 1)[1].strip()
    total = 4 if result.startswith(("struct ", "class ", "union ")) and not result.endswith(("&", "*")) else 0
    for parameter in signature[signature.index("(") + 1:signature.rindex(")")].split(", "):
        if parameter == "void":
            continue
        if parameter.startswith(("struct ", "class ", "union ")) and not parameter.endswith(("&", "*")):
            if parameter != "struct _D3DVECTOR":
                sys.exit(f"no size known for {parameter} in {signature}")
            total += 12
        else:
            total += 4  # int, long, float, enum, pointer or reference
    return total


names = exports()
code = functions()
signatures = run(undname, stdin="\n".join(names) + "\n").split("\n\n")
status, members = 0, 0
for block in signatures:
    lines = block.strip().splitlines()
    if len(lines) != 2:
        continue
    name, signature = lines
    want = expected(signature)
    got = pops(code, names[name], set())
    if got != {want}:
        print(f"FAIL: {name} ({signature}) pops {sorted(got)}, its MSVC caller pushed {want}")
        status = 1
    members += "__thiscall" in signature
print(f"{len(names)} MSVC names: {len(names) - members} __cdecl pop nothing, {members} __thiscall members pop their stack arguments")

imports = run(objdump, "-p", program)
section = imports[imports.index("DLL Name: KORVATHD.DLL"):].split("\n\n")[0]
wanted = re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", section, re.M)
unresolved = [name for name in wanted if name not in names]
for name in unresolved:
    print(f"FAIL: the MSVC program imports {name}, which the DLL does not export")
print(f"the MSVC program imports {len(wanted)} names from KORVATHD.DLL")
sys.exit(1 if unresolved or not wanted else status)

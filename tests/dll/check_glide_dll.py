#!/usr/bin/env python3
"""Checks glide2x.dll: it exports exactly the header's entry points under their
standard-call names, imports only system DLLs and the listed KORVATHD functions,
and every export's returns remove its arguments' bytes from the stack.
Usage: check_glide_dll.py OBJDUMP CXXFILT DLL HEADER KORVATHD_IMPORTS"""
import re
import subprocess
import sys

objdump, cxxfilt, dll, header, imports_file = sys.argv[1:6]
failures = []

# _name@bytes from the prototypes: every argument takes 4 bytes.
declared = {}
for match in re.finditer(r"FX_CALL (\w+)\(([^)]*)\);", open(header).read()):
    name, args = match.groups()
    count = 0 if args.strip() == "void" else args.count(",") + 1
    declared["_%s@%d" % (name, 4 * count)] = 4 * count

dump = subprocess.run([objdump, "-p", dll], capture_output=True, text=True, check=True).stdout
exports = {}
table = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
for line in table.splitlines():
    m = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
    if m:
        exports[m.group(1)] = None
if set(exports) != set(declared):
    failures.append("exports differ: missing %s, extra %s" % (sorted(set(declared) - set(exports)),
                                                              sorted(set(exports) - set(declared))))

allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "korvathd.dll"}
dlls = [d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)]
for d in dlls:
    if d not in allowed:
        failures.append("imports a non-system DLL: " + d)
korvathd = dump.split("DLL Name: KORVATHD.DLL", 1)[1].split("DLL Name:", 1)[0]
mangled = re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", korvathd, re.M)
# -n: these names carry no leading underscore of the platform's own.
demangled = subprocess.run([cxxfilt, "-n"], input="\n".join(mangled), capture_output=True, text=True).stdout
imported = sorted(set(n for n in demangled.splitlines() if n))
expected = sorted(l.strip() for l in open(imports_file) if l.strip() and not l.startswith("#"))
if imported != expected:
    failures.append("KORVATHD imports differ: missing %s, extra %s" % (sorted(set(expected) - set(imported)),
                                                                        sorted(set(imported) - set(expected))))

# Export addresses, then each export's returns up to the padding after its end.
image_base = int(re.search(r"ImageBase\s+([0-9a-f]+)", dump).group(1), 16)
addresses = {}
rvas = re.search(r"Export Address Table -- Ordinal Base \d+\n(.*?)\n\n", dump, re.S).group(1)
rva_list = [int(x, 16) for x in re.findall(r"\]\s+([0-9a-f]+) Export RVA", rvas)]
ordinal_names = re.findall(r"\[\s*(\d+)\]\s+(\S+)", table)
# The name table gives ordinals relative to the base; map names to their code addresses.
for ordinal, name in ordinal_names:
    addresses[name] = image_base + rva_list[int(ordinal)]
disassembly = subprocess.run([objdump, "-d", "--no-show-raw-insn", dll], capture_output=True, text=True).stdout
instructions = re.findall(r"^\s*([0-9a-f]+):\s+(.*)$", disassembly, re.M)
index = {int(a, 16): i for i, (a, _) in enumerate(instructions)}
starts = set(addresses.values())
for name, address in sorted(addresses.items()):
    if name not in declared or address not in index:
        failures.append("no code for " + name)
        continue
    want = declared[name]
    rets = 0
    i = index[address]
    while i < len(instructions):
        text = instructions[i][1]
        if i != index[address] and int(instructions[i][0], 16) in starts:
            break
        m = re.match(r"ret\s*\$?(0x[0-9a-f]+)?", text)
        if m:
            rets += 1
            popped = int(m.group(1), 16) if m.group(1) else 0
            if popped != want:
                failures.append("%s returns popping %d bytes, not %d" % (name, popped, want))
            following = instructions[i + 1][1] if i + 1 < len(instructions) else ""
            if re.match(r"(nop|xchg|lea\s+0x0|lea\s+\(|int3|\(bad\))", following) or following == "":
                break
        i += 1
    if rets == 0:
        failures.append("no return found in " + name)

for f in failures:
    print("FAIL:", f)
print("exports: %d, KORVATHD imports: %d" % (len(exports), len(imported)))
sys.exit(1 if failures else 0)

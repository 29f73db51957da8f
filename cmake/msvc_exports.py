#!/usr/bin/env python3
"""Second name set of KORVATHD.DLL: the names the Windows platform's usual compiler
(MSVC, whose decorations clang reproduces with --target=*-pc-windows-msvc) gives every
exported declaration of the header.

The header is parsed twice by clang, once as that compiler and once as mingw-w64, and
the two decorated names of each declaration are paired by its place in the header.
Where both compilers pass arguments and results alike, the new name is an alias of the
mingw-w64 code; where they differ, the name goes to a small adapter. Writes:
  NAME.def           for the linker: "msvc-name"=internal-name, one line each
  NAME_adapters.cpp  the adapters, compiled into the DLL
  NAME_import.def    the MSVC names alone, for llvm-dlltool's import library
"""
import argparse
import json
import re
import subprocess
import sys


def parse(clang, target, sdk, header):
    """The exported declarations of the header: decorated name, kind and types.
    Every exported name begins with KR, so the dump is filtered to those (a tenth of a second
    instead of the SDK's whole tree)."""
    args = [clang, f"--target={target}", "-fsyntax-only", "-std=c++17", "-x", "c++", "-nostdlibinc",
            "-isystem", sdk, "-Xclang", "-ast-dump=json", "-Xclang", "-ast-dump-filter=KR", header]
    if "msvc" in target:
        # The SDK's headers expect a GNU compiler's macros.
        args.insert(1, "-fgnuc-version=4.2.1")
        if target.startswith("i686"):
            args[1:1] = ["-D__i386__", "-D_X86_=1"]
    text = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    decoder, position, decls = json.JSONDecoder(), 0, {}
    while True:
        while position < len(text) and text[position].isspace():
            position += 1
        if position == len(text):
            return decls
        node, position = decoder.raw_decode(text, position)
        if node["loc"].get("file") != header:
            continue
        members = node.get("inner", []) if node["kind"] == "CXXRecordDecl" and exported(node) else []
        for decl in [node] + members:
            if decl["kind"] in ("FunctionDecl", "CXXMethodDecl", "CXXConstructorDecl") and exported(decl) \
                    and not decl.get("isImplicit") and not decl.get("explicitlyDefaulted"):
                decl["class"] = node["name"] if decl is not node else None
                decls[decl["loc"]["offset"]] = decl


def exported(decl):
    return any(a["kind"] in ("DLLImportAttr", "DLLExportAttr") for a in decl.get("inner", []))


def parameters(decl):
    return [p["type"]["qualType"] for p in decl.get("inner", []) if p["kind"] == "ParmVarDecl"]


def result_type(decl):
    return decl["type"]["qualType"].split("(")[0].strip()


def returns_record(decl):
    # That compiler decorates a result passed as a record by value "?A" and T, U or V, right
    # after the function's kind and convention ("YA" free, "QAE" or "QEAA" public member).
    return re.search(r"@@(?:Y|[A-Z]E?[AB])[A-Z]\?A[TUV]", decl["mangledName"]) is not None


def adapter(decl, index):
    """C++ source of the adapter for one declaration that needs one, else None."""
    cls, name = decl["class"], decl["name"]
    params = parameters(decl)
    listed = "".join(f", {t} p{i}" for i, t in enumerate(params))
    passed = ", ".join(f"p{i}" for i in range(len(params)))
    head = f'// {decl["mangledName"]}\nextern "C" '
    if decl["kind"] == "CXXConstructorDecl":
        # That compiler's constructors hand back this.
        return (f"{head}{cls}* KR_MSVC_MEMBER kr_msvc_adapter_{index}({cls}* self{listed}) {{\n"
                f"  return new (self) {cls}({passed});\n}}\n")
    if cls and returns_record(decl):
        # That compiler passes this first and the result's address second; mingw-w64 the other way round.
        result = result_type(decl)
        return (f"{head}{result}* KR_MSVC_MEMBER kr_msvc_adapter_{index}({cls}* self, {result}* result{listed}) {{\n"
                f"  *result = self->{name}({passed});\n  return result;\n}}\n")
    if returns_record(decl):
        sys.exit(f"msvc_exports: no rule for {decl['mangledName']}: a free function returning a record")
    return None


def main():
    options = argparse.ArgumentParser()
    options.add_argument("--clang", required=True)
    options.add_argument("--arch", required=True, choices=["i686", "x86_64"])
    options.add_argument("--sdk", required=True, help="the mingw-w64 SDK's include folder")
    options.add_argument("--header", required=True)
    options.add_argument("--dll", required=True, help="the DLL's file name")
    options.add_argument("--out", required=True, help="path and stem of the outputs")
    args = options.parse_args()

    msvc = parse(args.clang, f"{args.arch}-pc-windows-msvc", args.sdk, args.header)
    mingw = parse(args.clang, f"{args.arch}-w64-mingw32", args.sdk, args.header)
    if msvc.keys() != mingw.keys():
        sys.exit("msvc_exports: the two parses found different declarations")
    aliases, adapters = [], []
    for offset in sorted(msvc):
        decl = msvc[offset]
        code = adapter(decl, len(adapters))
        if code:
            aliases.append(f'"{decl["mangledName"]}"=kr_msvc_adapter_{len(adapters)}')
            adapters.append(code)
        else:
            # The linker adds i686's leading underscore to internal names itself.
            internal = mingw[offset]["mangledName"]
            aliases.append(f'"{decl["mangledName"]}"={internal[1:] if args.arch == "i686" else internal}')

    with open(f"{args.out}.def", "w") as out:
        out.write("EXPORTS\n" + "".join(f"  {line}\n" for line in aliases))
    with open(f"{args.out}_import.def", "w") as out:
        out.write(f"LIBRARY {args.dll}\nEXPORTS\n" + "".join(f'  "{msvc[o]["mangledName"]}"\n' for o in sorted(msvc)))
    with open(f"{args.out}_adapters.cpp", "w") as out:
        out.write("// Made by cmake/msvc_exports.py from the header: the names whose convention differs.\n"
                  "#include <new>\n\n#include \"korvathd.h\"\n\n"
                  "#if defined(__i386__)\n#define KR_MSVC_MEMBER __attribute__((thiscall))\n#else\n"
                  "#define KR_MSVC_MEMBER\n#endif\n\n" + "\n".join(adapters))


if __name__ == "__main__":
    main()

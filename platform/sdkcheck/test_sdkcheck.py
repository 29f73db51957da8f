"""Tests of the SDK agreement check itself.

The rule and parser tests need nothing; the header scan needs the host
compiler; the whole run needs the mingw-w64 compiler and Wine as well, named by
the KR_SDKCHECK_* variables that CMake sets (skipped without them).
"""

import contextlib
import io
import os
import shutil
import tempfile
import textwrap
import unittest

import constant_shape
from comparison import read_output, show
from compiler_diagnostics import blamed_lines, undefined_symbols
from cxx_tokens import is_floating_literal, tokenize
from declarations import scan_declarations
from header_scan import SIZE, VALUE, scan_headers
from probe_build import BuildOutcome, Toolchain, UnitBuilder
from probe_unit import ProbeItem, ProbeUnit
from result_table import read_result_table

HOST_CXX = os.environ.get("KR_SDKCHECK_HOST_CXX") or shutil.which("c++")
SDK_CXX = os.environ.get("KR_SDKCHECK_SDK_CXX")
SDK_RUNNER = os.environ.get("KR_SDKCHECK_SDK_RUNNER")


def shape(text):
    return constant_shape.shape_reason(tokenize(text))


class ConstantShapeTest(unittest.TestCase):
    def test_numbers_casts_and_operators_are_constants(self):
        for value in ["0", "0x80004005L", "((HRESULT)0x80004005L)", "((HANDLE)(LONG_PTR)-1)",
                      "(MB_ICONHAND | 0x10)", "(1u << 31)", "'D'", "(A == B)", "MAKEFOURCC('D', 'X', 'T', '1')",
                      "sizeof(struct tagRECT)", "(const char*)0", "0xE0", "0x1E5"]:
            with self.subTest(value=value):
                self.assertIsNone(shape(value))

    def test_values_that_are_not_integer_constants_are_named_for_why(self):
        cases = {
            "": constant_shape.EMPTY,
            '"abc"': constant_shape.TEXT,
            'L"wide"': constant_shape.TEXT,
            "1.5f": constant_shape.FLOATING,
            "1e5": constant_shape.FLOATING,
            "0x1p3": constant_shape.FLOATING,
            "= 0": constant_shape.DECLARATION,
            "__attribute__((stdcall))": constant_shape.DECLARATION,
            "extern": constant_shape.DECLARATION,
            "const": constant_shape.TYPE_PART,
            "struct": constant_shape.TYPE_PART,
            "INTERFACE * This ,": constant_shape.LIST,
            "1, 2": constant_shape.LIST,
            "(1": constant_shape.FRAGMENT,
            "1)": constant_shape.FRAGMENT,
            "&IID_IUnknown": constant_shape.ADDRESS,
            "(&x)": constant_shape.ADDRESS,
        }
        for value, reason in cases.items():
            with self.subTest(value=value):
                self.assertEqual(shape(value), reason)

    def test_hex_digits_e_and_p_are_not_exponents(self):
        self.assertFalse(is_floating_literal("0xE0"))
        self.assertFalse(is_floating_literal("0x1E5"))
        self.assertFalse(is_floating_literal("100ULL"))
        self.assertTrue(is_floating_literal("2.f"))
        self.assertTrue(is_floating_literal("0x1.8p1"))

    def test_tokens_keep_multi_character_operators_whole(self):
        self.assertEqual([t.text for t in tokenize("a<<=b==c!=d")], ["a", "<<=", "b", "==", "c", "!=", "d"])
        self.assertEqual([t.kind for t in tokenize("L'x' u8\"y\" 0x1'000")], ["char", "string", "number"])


class DeclarationScanTest(unittest.TestCase):
    def scan(self, source):
        return scan_declarations(tokenize(textwrap.dedent(source)))

    def test_records_by_tag_and_typedef_name_but_not_pointer_names(self):
        found = self.scan("""
            typedef struct tagRECT { LONG left; LONG top; } RECT, *PRECT, FAR_ARRAY[2];
            typedef RECT RECTL_ALIAS, *LPRECTL;
            typedef struct tagRECT RECT_AGAIN;
            using RECT_USING = RECT;
            struct HWND__ { int unused; }; typedef struct HWND__* HWND;
            typedef struct { int a; } ANONYMOUS_TYPEDEF;
        """)
        self.assertEqual(found.records, ["tagRECT", "RECT", "RECTL_ALIAS", "RECT_AGAIN", "RECT_USING",
                                         "HWND__", "ANONYMOUS_TYPEDEF"])

    def test_a_typedef_may_rename_a_record_of_another_header(self):
        found = scan_declarations(tokenize("typedef GUID IID, *LPIID; typedef NOT_A_RECORD ALSO_NOT;"), {"GUID"})
        self.assertEqual(found.records, ["IID"])

    def test_incomplete_nested_and_namespaced_records_are_left_out(self):
        found = self.scan("""
            struct Forward;
            typedef struct Opaque* HOPAQUE;
            namespace sim { struct Hidden { int a; }; enum { HIDDEN = 1 }; }
            struct Outer { struct Inner { int b; } inner; enum { MEMBER_CONSTANT = 2 }; };
            template <typename T> struct Holder { T value; };
        """)
        self.assertEqual(found.records, ["Outer"])
        self.assertEqual(found.enumerators, [])

    def test_function_bodies_and_linkage_blocks_do_not_confuse_the_scan(self):
        found = self.scan("""
            extern "C" {
            inline int IsEqualGUID(const GUID& a, const GUID& b) { struct Local { int x; }; return 0; }
            struct IUnknown { virtual HRESULT QueryInterface(REFIID riid, void** out) = 0; };
            }
            extern "C" const GUID IID_IUnknown = { 0, 0, 0, { 0xC0, 0, 0, 0, 0, 0, 0, 0x46 } };
            struct IClassFactory : public IUnknown { virtual HRESULT LockServer(BOOL lock) = 0; };
            struct __attribute__((packed)) PACKED { char c; int i; };
        """)
        self.assertEqual(found.records, ["IUnknown", "IClassFactory", "PACKED"])

    def test_enumerators_of_every_global_enum(self):
        found = self.scan("""
            typedef enum tagCLSCTX { CLSCTX_INPROC_SERVER = 0x1, CLSCTX_ALL = MAKE(1, 2) } CLSCTX;
            enum { ANONYMOUS_A, ANONYMOUS_B = 5, };
            enum class Scoped : unsigned char { First, Second };
        """)
        self.assertEqual(found.enumerators, ["CLSCTX_INPROC_SERVER", "CLSCTX_ALL", "ANONYMOUS_A",
                                             "ANONYMOUS_B", "Scoped::First", "Scoped::Second"])
        self.assertEqual(found.enums, ["tagCLSCTX", "CLSCTX", "Scoped"])


class DiagnosticsTest(unittest.TestCase):
    def test_an_error_on_a_probe_line_blames_that_line(self):
        output = ("In file included from probe.cpp:1:\n"
                  "probe.cpp: In function 'void kr_probe_constants()':\n"
                  "probe.cpp:12:5: error: 'FOO' was not declared in this scope\n"
                  "probe.cpp:14:5: error: 'BAR' was not declared in this scope\n")
        self.assertEqual(blamed_lines(output, "probe.cpp"),
                         {12: "'FOO' was not declared in this scope", 14: "'BAR' was not declared in this scope"})

    def test_an_error_inside_a_header_blames_the_include_or_the_expanding_line(self):
        output = ("In file included from /sdk/windows.h:9,\n"
                  "                 from probe.cpp:3:\n"
                  "/sdk/winnt.h:298:11: error: 'CONST' does not name a type\n"
                  "/sdk/ddraw.h:20:30: error: 'x' was not declared in this scope\n"
                  "/sdk/ddraw.h:20:10: note: in definition of macro 'DDERR_X'\n"
                  "/work/probe.cpp:40:7: note: in expansion of macro 'DDERR_X'\n")
        self.assertEqual(blamed_lines(output, "probe.cpp"),
                         {3: "'CONST' does not name a type", 40: "'x' was not declared in this scope"})

    def test_a_missing_header_blames_its_include(self):
        output = "probe.cpp:2:10: fatal error: krhost.h: No such file or directory\ncompilation terminated.\n"
        self.assertEqual(blamed_lines(output, "probe.cpp"), {2: "krhost.h: No such file or directory"})

    def test_errors_in_other_sources_blame_nothing(self):
        self.assertEqual(blamed_lines("other.cpp:5:1: error: oops\n", "probe.cpp"), {})

    def test_undefined_symbols_of_a_failed_link(self):
        output = "probe.o:probe.cpp:(.text+0x5): undefined reference to `IID_Fake'\n" * 2
        self.assertEqual(undefined_symbols(output), ["IID_Fake"])


class _FakeCompiler(Toolchain):
    """Fails, without saying where, whenever the source holds a broken include or item."""

    def __init__(self):
        super().__init__("fake", [], [])
        self.compilations = 0

    def compile(self, source, output, cwd):
        self.compilations += 1
        with open(os.path.join(cwd, source)) as text:
            source_text = text.read()
        broken = "broken.h" in source_text or "BAD" in source_text
        return (False, "error: something somewhere") if broken else (True, "")


class IsolationTest(unittest.TestCase):
    def test_errors_that_point_nowhere_are_narrowed_down_to_the_parts_at_fault(self):
        items = [ProbeItem(f"value NAME{i}", ((f"use(NAME{i});" if i not in (3, 6) else f"use(BAD{i});",),))
                 for i in range(8)]
        unit = ProbeUnit("unit.cpp", ("windows.h", "broken.h", "ddraw.h"), tuple(items))
        outcome = BuildOutcome()
        with tempfile.TemporaryDirectory() as directory:
            built = UnitBuilder(_FakeCompiler(), directory).build(unit, outcome)
        self.assertIsNotNone(built)
        self.assertEqual(built[0].includes, ("windows.h", "ddraw.h"))
        self.assertEqual(set(outcome.dropped_includes), {"broken.h"})
        self.assertEqual(set(outcome.dropped_items), {"value NAME3", "value NAME6"})
        self.assertEqual(len(built[0].items), 6)


class ResultTableTest(unittest.TestCase):
    def test_reads_each_case_line_once_and_sets_aside_other_forms(self):
        table = read_result_table(textwrap.dedent("""
            case 0x887601C2: return "DDERR_SURFACELOST";
            case 0x887601c2UL: return "DDERR_SURFACELOST";
            case 0x887601C2: return "DIERR_SAME_CODE_OTHER_NAME";
            case -2147467259: return "E_FAIL";
            case 010: return "OCTAL_EIGHT";
            case (HRESULT)0x80004001: return "E_NOTIMPL";
            case DDERR_GENERIC: return "DDERR_GENERIC";
            case 0x1: return "not an identifier";
            default: return "UNKNOWN";
        """))
        self.assertEqual(table.codes, [("DDERR_SURFACELOST", 0x887601C2), ("DIERR_SAME_CODE_OTHER_NAME", 0x887601C2),
                                       ("E_FAIL", 0x80004005), ("OCTAL_EIGHT", 8), ("E_NOTIMPL", 0x80004001)])
        self.assertEqual(len(table.unreadable), 2)


class OutputTest(unittest.TestCase):
    def test_reads_every_kind_of_line_with_windows_line_ends(self):
        printed = read_output("MB_OK 0\r\nE_FAIL -2147467259\r\nMessageBox ?\r\nsizeof RECT 16\r\n"
                              "result DDERR_X -2005532222\r\nresult DMUS_OK -\r\nwine: noise here\r\n")
        self.assertEqual(printed, {"value MB_OK": 0, "value E_FAIL": -2147467259, "value MessageBox": "?",
                                   "sizeof RECT": 16, "result DDERR_X": -2005532222, "result DMUS_OK": "-"})

    def test_shows_large_values_with_their_bit_pattern(self):
        self.assertEqual(show(-2147467259), "-2147467259 (0x80004005)")
        self.assertEqual(show(-1 << 40), f"{-1 << 40} (0xFFFFFF0000000000)")
        self.assertEqual(show(7), "7")


FIXTURE = {
    "windows.h": """
        #ifndef FIXTURE_WINDOWS_H
        #define FIXTURE_WINDOWS_H
        #include <stdint.h>
        #include <winuser.h>
        typedef uint32_t DWORD;
        typedef int32_t LONG;
        typedef LONG HRESULT;
        typedef void* HANDLE;
        #define WINAPI
        #define LPFAKE_VOID void*
        #define MAX_PATH 261
        #define E_FAIL ((HRESULT)0x80004005)
        #define E_NOTIMPL 0x80004001
        #define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
        #define KR_HOST_ONLY 42
        #define TEXT_VALUE "abc"
        #define DUMMYUNIONNAME u
        #define MB_SAME_AS_OK MB_OK_VALUE_NOT_DECLARED + 0
        typedef struct tagPOINT { LONG x; LONG y; } POINT;
        typedef struct tagRECT { LONG left; LONG top; LONG right; } RECT;
        struct KR_HOST_RECORD { int a; };
        namespace kr_host { struct Hidden { int a; }; }
        // Stands for a function: no number, and never defined on the host.
        extern "C" int MessageBoxA(void*, const char*, const char*, unsigned);
        #define MessageBox MessageBoxA
        #endif
    """,
    "winuser.h": """
        #pragma once
        #define MB_OK 0x00000000
        #define MB_ICONHAND 0x00000011
        enum { SW_HIDE = 0, SW_SHOWNORMAL = 1 };
    """,
    # A macro made of our enumerators, and a macro where the SDK has an enumerator.
    "objbase.h": """
        #pragma once
        typedef enum tagCLSCTX { CLSCTX_INPROC_SERVER = 0x1, CLSCTX_INPROC_HANDLER = 0x2 } CLSCTX;
        #define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
        #define COINIT_APARTMENTTHREADED 0x2
    """,
}


def write_fixture(directory):
    include_dir = os.path.join(directory, "include")
    os.makedirs(include_dir)
    for name, text in FIXTURE.items():
        with open(os.path.join(include_dir, name), "w") as header:
            header.write(textwrap.dedent(text))
    return include_dir


@unittest.skipUnless(HOST_CXX, "needs the host C++ compiler")
class HeaderScanTest(unittest.TestCase):
    def scan_fixture(self, through_symlink):
        with tempfile.TemporaryDirectory() as directory:
            include_dir = write_fixture(directory)
            if through_symlink:  # the compiler reports the real path, not the one it was given
                os.symlink(include_dir, os.path.join(directory, "linked"))
                include_dir = os.path.join(directory, "linked")
            return scan_headers(Toolchain(HOST_CXX, ["-std=c++17", "-isystem", include_dir], []),
                                include_dir, os.path.join(directory, "scan"))

    def test_a_symlinked_include_folder_finds_the_same(self):
        direct, linked = self.scan_fixture(False), self.scan_fixture(True)
        self.assertEqual(linked.entries, direct.entries)
        self.assertTrue(direct.entries)

    def test_lists_what_each_header_declares_itself(self):
        scan = self.scan_fixture(False)
        self.assertEqual(scan.include_order, ["windows.h", "objbase.h", "winuser.h"])
        self.assertEqual(scan.problems, [])
        values = {e.name: e.header for e in scan.entries if e.kind == VALUE}
        self.assertEqual(values, {"MAX_PATH": "windows.h", "E_FAIL": "windows.h", "E_NOTIMPL": "windows.h",
                                  "INVALID_HANDLE_VALUE": "windows.h", "KR_HOST_ONLY": "windows.h",
                                  "MessageBox": "windows.h", "MB_SAME_AS_OK": "windows.h",
                                  "MB_OK": "winuser.h", "MB_ICONHAND": "winuser.h", "SW_HIDE": "winuser.h",
                                  "SW_SHOWNORMAL": "winuser.h", "CLSCTX_INPROC": "objbase.h",
                                  "COINIT_APARTMENTTHREADED": "objbase.h", "CLSCTX_INPROC_SERVER": "objbase.h",
                                  "CLSCTX_INPROC_HANDLER": "objbase.h"})
        self.assertEqual([e.name for e in scan.entries if e.kind == SIZE], ["tagPOINT", "POINT", "tagRECT", "RECT",
                                                                             "KR_HOST_RECORD", "tagCLSCTX", "CLSCTX"])
        reasons = {s.name: s.reason for s in scan.skipped}
        self.assertEqual(reasons, {"FIXTURE_WINDOWS_H": constant_shape.EMPTY, "WINAPI": constant_shape.EMPTY,
                                   "LPFAKE_VOID": constant_shape.NAMES_A_TYPE, "TEXT_VALUE": constant_shape.TEXT,
                                   "DUMMYUNIONNAME": constant_shape.NAMES_NOTHING})


@unittest.skipUnless(HOST_CXX and SDK_CXX and SDK_RUNNER, "needs the host and mingw-w64 compilers and Wine")
class WholeRunTest(unittest.TestCase):
    def test_reports_each_planted_fault_and_nothing_else(self):
        from sdk_constants_agree import main
        work_dir = os.environ.get("KR_SDKCHECK_WORK_DIR")
        with tempfile.TemporaryDirectory() as directory:
            include_dir = write_fixture(directory)
            table = os.path.join(directory, "table.cpp")
            with open(table, "w") as source:
                source.write('case 0x887601C2: return "DDERR_SURFACELOST";\n'
                             'case 0x887601C3: return "DDERR_WRONGMODE";\n'
                             'case 0x12345678: return "KR_NO_SUCH_RESULT";\n')
            printed = io.StringIO()
            with contextlib.redirect_stdout(printed):
                status = main(["--include-dir", include_dir, "--result-table", table,
                               "--work-dir", work_dir or os.path.join(directory, "work"),
                               "--host-cxx", HOST_CXX, "--sdk-cxx", SDK_CXX, "--sdk-runner", SDK_RUNNER])
        report = printed.getvalue()
        self.assertEqual(status, 1, report)
        expected = [
            "MAX_PATH: ours=261 (0x105) sdk=260 (0x104)",
            "E_NOTIMPL: ours=2147500033 (0x80004001) sdk=-2147467263 (0x80004001)  [same low 32 bits",
            "sizeof tagRECT: ours=12 (0xC) sdk=16 (0x10)",
            "sizeof RECT: ours=12 (0xC) sdk=16 (0x10)",
            "MB_ICONHAND: ours=17 (0x11) sdk=16 (0x10)",
            "KR_HOST_ONLY: not declared by the SDK headers",
            "sizeof KR_HOST_RECORD: not declared by the SDK headers",
            "DDERR_WRONGMODE: table=0x887601C3 sdk=0x8876024B",
            "Result-table names not in SDK headers (not checked) (1):\n  KR_NO_SUCH_RESULT",
            "(not compared) (1):\n  MessageBox  [windows.h]",
            "MB_SAME_AS_OK: does not compile with our headers: 'MB_OK_VALUE_NOT_DECLARED' was not declared",
        ]
        for text in expected:
            self.assertIn(text, report)
        for agreeing in ["E_FAIL:", "INVALID_HANDLE_VALUE:", "POINT:", "SW_SHOWNORMAL:", "MB_OK:",
                         "DDERR_SURFACELOST:", "Hidden", "MessageBox:", "CLSCTX", "COINIT"]:
            self.assertNotIn(agreeing, report)
        self.assertIn("FAILED: 9 problems", report)


if __name__ == "__main__":
    unittest.main()

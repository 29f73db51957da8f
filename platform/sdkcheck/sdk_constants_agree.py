#!/usr/bin/env python3
"""Do our platform headers agree with the Windows SDK?

Lists what our headers declare (header_scan), writes one probe program that
prints every such constant's value and every record's size, builds it twice -
on the host against our headers, for Windows against the SDK's - runs both and
compares the outputs. The SDK program also checks the codes of the DirectX
result-name tables. Exit status 1 on any failure; the report says what.
"""

import argparse
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor
from typing import List, Optional, Sequence

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from comparison import Probed, compare, read_output  # noqa: E402
from header_scan import scan_headers  # noqa: E402
from probe_build import Toolchain, build_program  # noqa: E402
from probe_source import constants_unit, main_unit, results_unit, sdk_includes  # noqa: E402
from probe_unit import ProbeUnit  # noqa: E402
from result_table import RESULT_HEADERS, ResultTable, read_result_table  # noqa: E402

RUN_TIMEOUT_SECONDS = 600  # the first Wine start creates its prefix


def _arguments(argv: Optional[Sequence[str]]) -> argparse.Namespace:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--include-dir", required=True, help="our platform headers")
    parser.add_argument("--result-table", help="source with the result-name tables (may not exist yet)")
    parser.add_argument("--work-dir", required=True, help="where generated files go")
    parser.add_argument("--host-cxx", default="c++")
    parser.add_argument("--sdk-cxx", default="x86_64-w64-mingw32-g++")
    parser.add_argument("--sdk-runner", default="", help="runs a Windows program (cmake/wine-run)")
    parser.add_argument("--sdk-define", action="append", default=[],
                        help="a definition the project's Windows build uses, NAME or NAME=VALUE")
    return parser.parse_args(argv)


def _run(command: List[str], cwd: str) -> Probed:
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=RUN_TIMEOUT_SECONDS)
    except (OSError, subprocess.TimeoutExpired) as error:
        return Probed(None, None, str(error))
    output = read_output(done.stdout.decode("utf-8", "replace"))
    if done.returncode != 0:
        stderr = done.stderr.decode("utf-8", "replace").strip().splitlines()[-5:]
        return Probed(None, output, f"exit status {done.returncode} " + " | ".join(stderr))
    return Probed(None, output)


def _probe(toolchain: Toolchain, units: List[ProbeUnit], directory: str, executable: str,
           runner: List[str]) -> Probed:
    build = build_program(toolchain, units, directory, executable)
    if build.executable is None:
        return Probed(build, None)
    probed = _run(runner + [build.executable], directory)
    probed.build = build
    return probed


def main(argv: Optional[Sequence[str]] = None) -> int:
    options = _arguments(argv)
    work_dir = os.path.abspath(options.work_dir)
    support_dir = os.path.dirname(os.path.abspath(__file__))
    include_dir = os.path.abspath(options.include_dir)
    standard = ["-std=c++17", "-I", support_dir]
    host = Toolchain(options.host_cxx, standard + ["-isystem", include_dir], [])
    sdk = Toolchain(options.sdk_cxx, standard + ["-D" + define for define in options.sdk_define], ["-static"])

    scan = scan_headers(host, include_dir, os.path.join(work_dir, "scan"))
    table: Optional[ResultTable] = None
    if options.result_table and os.path.isfile(options.result_table):
        with open(options.result_table, encoding="utf-8", errors="replace") as source:
            table = read_result_table(source.read())

    host_units = [constants_unit(scan.include_order, scan.entries), main_unit(with_results=False)]
    sdk_units = [constants_unit(sdk_includes(scan.include_order), scan.entries),
                 results_unit(RESULT_HEADERS, [name for name, _ in table.codes] if table else []),
                 main_unit(with_results=True)]
    runner = [os.path.abspath(options.sdk_runner) if os.sep in options.sdk_runner else options.sdk_runner] \
        if options.sdk_runner else []
    with ThreadPoolExecutor(max_workers=2) as pool:
        ours_future = pool.submit(_probe, host, host_units, os.path.join(work_dir, "host"), "probe_host", [])
        sdk_future = pool.submit(_probe, sdk, sdk_units, os.path.join(work_dir, "sdk"), "probe_sdk.exe", runner)
        ours, theirs = ours_future.result(), sdk_future.result()

    table_name = options.result_table or "(no result table given)"
    report = compare(scan, ours, theirs, table, table_name)
    if table is None:
        report.lines.append(f"No result-name table at {table_name}: result codes not checked")
    for line in report.lines:
        print(line)
    if report.failures:
        print(f"FAILED: {len(report.failures)} problems. Generated sources: {work_dir}")
        return 1
    print("All constants and sizes agree with the SDK.")
    return 0


if __name__ == "__main__":
    sys.exit(main())

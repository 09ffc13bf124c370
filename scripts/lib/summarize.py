"""Sums the test cases of scripts/test's steps and prints "N passed, M failed", naming what failed.

usage: summarize.py STEPS
STEPS holds a line per step: its name, its exit status and its results, tab-separated. Results are
a folder of ctest results, a suite's JUnit file, or nothing (a build). A ctest folder holds one
ctest.junit (one entry per ctest test) plus, for test executables that write their own cases
(GoogleTest, the differential suites), <name>.xml; a ctest test with its own case file counts its
cases, one without (it crashed before writing, or writes none) counts as one case. A step that
failed without a failed case to show for it (a build, a suite that stopped before recording its
cases or recorded all passed) counts as one failed case named after the step, as does a suite that
ended without results. Exit status 1 exactly when something failed.
"""
import pathlib
import sys
import xml.etree.ElementTree as ET


def cases(path):
    """(passed, names of the failed cases) of a JUnit file."""
    root = ET.parse(path).getroot()
    passed, failed = 0, []
    for case in root.iter("testcase"):
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed.append(case.get("name"))
        else:
            passed += 1
    return passed, failed


def folder(path):
    passed, failed = 0, []
    ctest = path / "ctest.junit"
    own = {p.stem: p for p in path.glob("*.xml")}
    if ctest.exists():
        for case in ET.parse(ctest).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.find("failure") is None and case.find("error") is None
            if name in own:
                p, f = cases(own.pop(name))
                if not ok and not f:
                    f = [name]  # the executable failed without a failing case (crash at exit, leak)
                passed, failed = passed + p, failed + [f"{name}.{n}" for n in f]
            elif ok:
                passed += 1
            else:
                failed.append(name)
    for name, rest in own.items():
        p, f = cases(rest)
        passed, failed = passed + p, failed + [f"{name}.{n}" for n in f]
    return passed, failed


def step(name, status, results):
    """(passed, names of the failed cases) of one step."""
    path = pathlib.Path(results) if results else None
    passed, failed = 0, []
    try:
        if path and path.is_dir():
            passed, failed = folder(path)
        elif path and path.is_file():
            passed, failed = cases(path)
        elif path:
            return 0, [f"{name} (exit {status}, no results)"]
    except ET.ParseError as error:
        return 0, [f"{name} (exit {status}, unreadable results: {error})"]
    if status != "0" and not failed:
        return passed, [f"{name} (exit {status})"]
    return passed, [f"{name}: {case}" for case in failed]


def main():
    passed, failed = 0, []
    for line in pathlib.Path(sys.argv[1]).read_text().splitlines():
        name, status, results = line.split("\t")
        p, f = step(name, status, results)
        passed, failed = passed + p, failed + f
    shown = ", ".join(failed[:10]) + (f" and {len(failed) - 10} more" if len(failed) > 10 else "")
    print(f"{passed} passed, {len(failed)} failed" + (f": {shown}" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

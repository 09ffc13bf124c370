"""Sums test cases over JUnit XML result folders and prints "N passed, M failed".

Each folder holds one ctest.junit (one entry per ctest test) plus, for test executables that write
their own cases (GoogleTest, the differential suites), <name>.xml. A ctest test with its own case
file counts its cases; one without (it crashed before writing, or writes none) counts as one case.
Exit status 1 when anything failed.
"""
import pathlib
import sys
import xml.etree.ElementTree as ET


def cases(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    for case in root.iter("testcase"):
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def folder(path):
    passed = failed = 0
    ctest = path / "ctest.junit"
    own = {p.stem: p for p in path.glob("*.xml")}
    if ctest.exists():
        for case in ET.parse(ctest).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.find("failure") is None and case.find("error") is None
            if name in own:
                p, f = cases(own.pop(name))
                if not ok and f == 0:
                    f = 1  # the executable failed without a failing case (crash at exit, leak)
                passed, failed = passed + p, failed + f
            elif ok:
                passed += 1
            else:
                failed += 1
    for rest in own.values():
        p, f = cases(rest)
        passed, failed = passed + p, failed + f
    return passed, failed


def main():
    passed = failed = 0
    for arg in sys.argv[1:]:
        path = pathlib.Path(arg)
        if path.is_dir():
            p, f = folder(path)
            passed, failed = passed + p, failed + f
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

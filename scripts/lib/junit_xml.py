"""The one writer of test results: a JUnit XML file of one suite, as summarize.py reads it.

As a module: write(path, suite, cases) with a Case per test case (a failure message: failed; a
skip reason: skipped; neither: passed); returns the number failed. As a program,
`junit_xml.py SUITE FILE` reads the cases from standard input, one a line: NAME, a tab and the
failure message (none: passed); it exits 1 when any failed. Names and messages are escaped by the
XML library, whatever they hold.
"""
import sys
import typing
import xml.etree.ElementTree as ET


class Case(typing.NamedTuple):
    name: str
    failure: typing.Optional[str] = None
    skipped: typing.Optional[str] = None


def write(path, suite, cases):
    root = ET.Element("testsuite", name=suite)
    failed = skipped = 0
    for case in cases:
        element = ET.SubElement(root, "testcase", classname=suite, name=case.name)
        if case.failure:
            failed += 1
            ET.SubElement(element, "failure", message=case.failure)
        elif case.skipped:
            skipped += 1
            ET.SubElement(element, "skipped", message=case.skipped)
    root.set("tests", str(len(cases)))
    root.set("failures", str(failed))
    root.set("skipped", str(skipped))
    ET.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)
    return failed


def main():
    suite, path = sys.argv[1:3]
    cases = []
    for line in sys.stdin.read().splitlines():
        name, _, failure = line.partition("\t")
        cases.append(Case(name, failure or None))
    return 1 if write(path, suite, cases) else 0


if __name__ == "__main__":
    sys.exit(main())

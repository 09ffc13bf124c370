"""The one writer of test results: a JUnit XML file of one suite, as summarize.py reads it.

As a module: write(path, suite, cases) with cases as (name, failure message or None) pairs;
returns the number failed. As a program, `junit_xml.py SUITE FILE` reads the cases from standard
input, one a line, NAME, a tab and the failure message (none: passed), and exits 1 when any failed.
Names and messages are escaped by the XML library, whatever they hold.
"""
import sys
import xml.etree.ElementTree as ET


def write(path, suite, cases):
    root = ET.Element("testsuite", name=suite)
    failed = 0
    for name, message in cases:
        case = ET.SubElement(root, "testcase", classname=suite, name=name)
        if message:
            failed += 1
            ET.SubElement(case, "failure", message=message)
    root.set("tests", str(len(cases)))
    root.set("failures", str(failed))
    ET.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)
    return failed


def main():
    suite, path = sys.argv[1:3]
    cases = []
    for line in sys.stdin.read().splitlines():
        name, _, message = line.partition("\t")
        cases.append((name, message or None))
    return 1 if write(path, suite, cases) else 0


if __name__ == "__main__":
    sys.exit(main())

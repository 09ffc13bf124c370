"""Mutation run: applies each one-line fault of a list to a scratch copy of the tree, rebuilds the
native unit tests there and runs them. A fault the tests notice is killed; one they miss survived.

The list (scripts/lib/mutations.txt) holds one fault a line, NAME FILE FROM ==> TO:

    pick-ties-go-to-later field/ball_field.cpp metric < best) { ==> metric <= best) {

FROM is a whole line of the file (indentation aside) or a snippet found exactly once in it;
either way it must name one place, or the run stops: the list has to follow the code.
"""
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRATCH = ROOT / "build" / "mutate"
SOURCE = SCRATCH / "src"
BUILD = SCRATCH / "build"
TIMEOUT = 120  # seconds per test program: a fault may loop forever


def read_faults(path):
    faults = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        words = line.split(maxsplit=2)
        change = words[2].split(" ==> ") if len(words) == 3 else []
        if len(change) != 2:
            sys.exit(f"{path}:{number}: expected NAME FILE FROM ==> TO")
        faults.append({"name": words[0], "file": words[1], "from": change[0].strip(),
                       "to": change[1].strip()})
    names = [f["name"] for f in faults]
    if len(set(names)) != len(names):
        sys.exit(f"{path}: fault names repeat")
    return faults


def apply(fault, text):
    """The text with the fault applied; exits when `from` does not name exactly one place."""
    lines = text.split("\n")
    whole = [i for i, line in enumerate(lines) if line.strip() == fault["from"]]
    if len(whole) == 1:
        i = whole[0]
        indent = lines[i][: len(lines[i]) - len(lines[i].lstrip())]
        lines[i] = indent + fault["to"]
        return "\n".join(lines)
    count = text.count(fault["from"])
    if count != 1:
        sys.exit(f"fault {fault['name']}: '{fault['from']}' found {count} times in {fault['file']}"
                 " (the list no longer matches the code)")
    return text.replace(fault["from"], fault["to"])


def copy_tree():
    """The working tree's files into the scratch source. Only files whose bytes differ are
    written, and they get the time of the copy, so the build redoes exactly what changed."""
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, check=True, capture_output=True).stdout.split(b"\0")
    wanted = {name.decode() for name in files if name and (ROOT / name.decode()).is_file()}
    for name in wanted:
        src, dst = ROOT / name, SOURCE / name
        if dst.is_file() and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(src.read_bytes())
    for path in SOURCE.rglob("*"):
        if path.is_file() and str(path.relative_to(SOURCE)) not in wanted:
            path.unlink()


def unit_test_targets():
    """The GoogleTest programs (ctest label "unit"), each named as its test."""
    out = subprocess.run(["ctest", "--test-dir", str(BUILD), "-N", "-L", "^unit$"], check=True,
                         capture_output=True, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines()
            if line.strip().startswith("Test") and "#" in line]


def build(targets):
    return subprocess.run(["cmake", "--build", str(BUILD), "-j2", "--target", *targets],
                          capture_output=True, text=True).returncode == 0


def tests_pass():
    return subprocess.run(["ctest", "--test-dir", str(BUILD), "-j2", "--stop-on-failure",
                           "--timeout", str(TIMEOUT), "-L", "^unit$"],
                          capture_output=True).returncode == 0


def main():
    faults = read_faults(ROOT / "scripts" / "lib" / "mutations.txt")
    only = set(sys.argv[1:])
    if only:
        faults = [f for f in faults if f["name"] in only]
    # Every fault is checked against the code before anything is built.
    originals = {}
    for fault in faults:
        path = ROOT / fault["file"]
        if not path.is_file():
            sys.exit(f"fault {fault['name']}: no file {fault['file']}")
        originals.setdefault(fault["file"], path.read_text())
        apply(fault, originals[fault["file"]])

    copy_tree()
    subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Debug",
                    "-DCMAKE_CXX_COMPILER=g++"], check=True, capture_output=True)
    targets = unit_test_targets()
    if not build(targets) or not tests_pass():
        sys.exit("the unmutated tree does not build or pass its unit tests")

    killed = 0
    faults.sort(key=lambda f: f["file"])  # one file's faults in a row: it recompiles once each
    for fault in faults:
        target = SOURCE / fault["file"]
        start = time.time()
        target.write_text(apply(fault, originals[fault["file"]]))
        try:
            if not build(targets):
                verdict = "DOES NOT BUILD"  # a fault the compiler rejects tests nothing
            elif tests_pass():
                verdict = "SURVIVED"
            else:
                verdict = "killed"
        finally:
            target.write_text(originals[fault["file"]])
        killed += verdict.startswith("killed")
        print(f"{verdict:24} {fault['name']:40} {fault['file']} ({time.time() - start:.0f} s)",
              flush=True)
    build(targets)  # leave the scratch build matching the code
    print(f"{killed} of {len(faults)} faults killed, {len(faults) - killed} not")
    return 0 if killed == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())

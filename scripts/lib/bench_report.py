"""Turns one scripts/bench run into docs/PERFORMANCE.md and the scaling plots, and prints the table.

usage: bench_report.py RESULTS_DIR DOCS_DIR [WINDOWS_PRESET]
RESULTS_DIR holds native.json, wine.json, node.json and browser.json (benchmark JSON: the native
build, the Win32 build under Wine, the WebAssembly build under Node.js and in Chromium), d3.json and
skimage.json (one JSON object each), and before.json when an earlier revision's frames ran in the
same run; WINDOWS_PRESET (win32 or win64) names the Windows build that ran under Wine.
Every figure is a ratio inside the same run, since the machine is noisy.
"""
import datetime
import json
import os
import pathlib
import platform
import subprocess
import sys


def load_benchmarks(path, cpu=False):
    """Benchmarks by name; with cpu, their CPU time stands in for their wall-clock time."""
    data = json.loads(pathlib.Path(path).read_text())
    benchmarks = {b["name"]: b for b in data["benchmarks"]
                  if b.get("run_type", "iteration") == "iteration" and not b.get("error_occurred")}
    if cpu:
        for b in benchmarks.values():
            b["real_time"] = b["cpu_time"]
    return benchmarks


def us(bench):
    return bench["real_time"] / 1000.0  # benchmark JSON times are in ns here


def machine():
    cpu = "unknown CPU"
    try:
        for line in pathlib.Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    return f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}"


def before_label(results):
    revision = (results / "before-revision").read_text().strip() if (results / "before-revision").exists() else "?"
    return f"revision {revision}"


def verdict(ok):
    return "met" if ok else "missed"


def plot(docs, name, title, xlabel, rows):
    data = docs / f"{name}.dat"
    data.write_text("".join(f"{x} {y:.1f}\n" for x, y in rows))
    script = (f'set terminal png size 640,400\nset output "{docs / (name + ".png")}"\n'
              f'set title "{title}"\nset xlabel "{xlabel}"\nset ylabel "frame time (us)"\n'
              f'set grid\nplot "{data}" using 1:2 with linespoints title "native frame"\n')
    try:
        subprocess.run(["gnuplot"], input=script, text=True, check=True)
    except (OSError, subprocess.CalledProcessError) as error:
        print(f"gnuplot failed: {error}", file=sys.stderr)
    data.unlink()


def main():
    results, docs = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    windows_build = {"win32": "32-bit (i686)", "win64": "64-bit (x86_64)"}[sys.argv[3] if len(sys.argv) > 3 else "win32"]
    # Native figures against each other (floors, bounds, scaling, earlier revision) are CPU time:
    # the machine is shared, and wall-clock time then counts other programs' turns. Against Wine
    # and the browser, whose stand-in benchmark library measures wall-clock time, native is too.
    native = load_benchmarks(results / "native.json", cpu=True)
    native_wall = load_benchmarks(results / "native.json")
    wine = load_benchmarks(results / "wine.json")
    node = load_benchmarks(results / "node.json")
    browser = load_benchmarks(results / "browser.json")
    d3 = json.loads((results / "d3.json").read_text())
    skimage = json.loads((results / "skimage.json").read_text())

    rows = []
    ops = [("BM_Clear", "Surface::Clear 400x400x32"), ("BM_DrawLine", "Surface::DrawLine x256 random"),
           ("BM_Blit", "Surface::Blit 400x400x32"), ("BM_Present", "Surface::Present to a window"),
           ("BM_FillTriangle", "Surface::FillTriangle x64"),
           ("BM_DrawShadedMesh", "Surface::DrawShadedMesh 1932 triangles"),
           ("BM_FieldValue", "BallField::FieldValue x40401"),
           ("BM_DrawContour", "BallField::DrawContour (frame grid)"), ("BM_Frame", "whole frame")]
    for key, label in ops:
        n, w = us(native_wall[key]), us(wine[key])
        rows.append((label, n, w, w / n))

    floor = us(native["BM_Floor"])
    contour, frame = us(native["BM_DrawContour"]), us(native["BM_Frame"])
    frame_kernel = native["BM_Frame"].get("label", "?")
    # The vector floors, one per instruction set the CPU runs (the others are skipped).
    corner_floors = [(b["label"], us(b)) for k, b in sorted(native.items()) if k.startswith("BM_CornerFloor/")]
    frame_floor = dict(corner_floors).get(frame_kernel)
    before_path = results / "before.json"
    before = load_benchmarks(before_path, cpu=True) if before_path.exists() else {}
    speedups = [(key, us(before[key]) / us(native[key])) for key in ("BM_Frame", "BM_FrameCells/706", "BM_FrameBalls/64")
                if key in before and key in native]
    # The bounded corner pass: corners it evaluated one by one, and the same frame with every corner.
    exact = native["BM_Frame"].get("exact_corners", float("nan"))
    frame_corners = native["BM_Frame"].get("corners", float("nan"))
    every_corner = us(native["BM_FrameEveryCorner"])
    corner_pass = us(native["BM_CornerPass"])
    cells706 = us(native["BM_FrameCells/706"])
    segments, segment_stores = us(native["BM_DrawSegments"]), us(native["BM_DrawSegmentStores"])
    segment_count = native["BM_DrawSegments"].get("segments", float("nan"))
    segment_pixels = native["BM_DrawSegmentStores"].get("pixels", float("nan"))
    # The same segments walked inline, no calls: what any walk pays beyond the stores.
    bare = us(native["BM_DrawSegmentsBare"])
    clear, memset = us(native["BM_Clear"]), us(native["BM_Memset"])
    blit, memcpy = us(native["BM_Blit"]), us(native["BM_Memcpy"])
    line, stores = us(native["BM_DrawLine"]), us(native["BM_DrawLineStores"])
    line_pixels = native["BM_DrawLineStores"].get("pixels", float("nan"))
    # No line drawer can beat the stores of its pixels: Wine's time over them caps the ratio.
    line_cap = us(wine["BM_DrawLine"]) / us(native_wall["BM_DrawLineStores"])
    allocations = native["BM_Frame"].get("allocations_per_frame", float("nan"))
    cells = [(int(k.split("/")[1]), us(v)) for k, v in native.items() if k.startswith("BM_FrameCells/")]
    balls = [(int(k.split("/")[1]), us(v)) for k, v in native.items() if k.startswith("BM_FrameBalls/")]
    exact_of = {k: v.get("exact_corners", float("nan")) for k, v in native.items()}
    cells.sort(), balls.sort()
    # Against cells per side: the contour crosses a number of cells that grows with it.
    plot(docs, "scaling-cells", "Frame cost against grid size", "cells per side", cells)
    plot(docs, "scaling-balls", "Frame cost against number of balls", "balls", balls)

    # The WebAssembly build: what a frame and its parts cost under Node.js and in the browser.
    web_ops = [("BM_Frame", "whole frame"), ("BM_DrawContour", "BallField::DrawContour (frame grid)"),
               ("BM_FieldValue", "BallField::FieldValue x40401"), ("BM_Clear", "Surface::Clear 400x400x32"),
               ("BM_Blit", "Surface::Blit 400x400x32"), ("BM_DrawLine", "Surface::DrawLine x256 random"),
               ("BM_Present", "Surface::Present to a window")]
    web_rows = [(label, us(native_wall[key]), us(node[key]), us(browser[key])) for key, label in web_ops]
    frame_node, frame_browser = us(node["BM_Frame"]), us(browser["BM_Frame"])
    # The web frames against their own every-corner frames, beside the native one's.
    bounded_gain = [(name, us(r["BM_FrameEveryCorner"]) / us(r["BM_Frame"])) for name, r in
                    (("native", native), ("Node.js", node), ("Chromium", browser)) if "BM_FrameEveryCorner" in r]
    frame_wall = us(native_wall["BM_Frame"])
    # Copies and fills in WebAssembly against the machine's own memset and memcpy.
    web_memory = [(f"Surface::{op} in {where} / native {bound} of 640000 bytes", us(web[key]), us(native_wall[base]))
                  for op, key, bound, base in (("Clear", "BM_Clear", "memset", "BM_Memset"),
                                               ("Blit", "BM_Blit", "memcpy", "BM_Memcpy"))
                  for where, web in (("Node.js", node), ("Chromium", browser))]
    present_browser, present_wall = us(browser["BM_Present"]), us(native_wall["BM_Present"])
    chromium = subprocess.run(["chromium", "--version"], capture_output=True, text=True).stdout.strip()

    ratio = {label: r for label, _, _, r in rows}
    targets = []
    if frame_floor:
        targets.append((f"whole frame <= 1.0x the corner floor of its kernel ({frame_kernel})",
                        frame / frame_floor <= 1.0, f"{frame / frame_floor:.2f}x"))
    else:
        targets.append(("whole frame <= 1.0x the corner floor of its kernel", False, f"no floor for {frame_kernel}"))
    targets.append(("BM_FrameCells/706 <= 3x BM_Frame", cells706 / frame <= 3.0, f"{cells706 / frame:.2f}x"))
    balls_speedup = dict(speedups).get("BM_FrameBalls/64")
    targets.append(("BM_FrameBalls/64 >= 2x faster than before", bool(balls_speedup and balls_speedup >= 2),
                    f"{balls_speedup:.2f}x against {before_label(results)}" if balls_speedup
                    else "not measured: run with ZANTREL_BENCH_BEFORE=a0095b5"))
    targets.append(("exact corner evaluations in the first frame <= 15% of its corners", exact <= 0.15 * frame_corners,
                    f"{exact:.0f} of {frame_corners:.0f} ({100 * exact / frame_corners:.1f}%)"))
    web_gains = [(name, gain) for name, gain in bounded_gain if name != "native"]
    targets.append(("web frame improving with the native one (faster than its every-corner frame)",
                    len(web_gains) == 2 and all(gain > 1 for _, gain in web_gains),
                    ", ".join(f"{name} {gain:.2f}x" for name, gain in bounded_gain) or "not measured"))
    targets.append(("frame segments <= 2x the stores of their pixels alone", segments / segment_stores <= 2.0,
                    f"{segments / segment_stores:.2f}x (walked inline without calls: {bare / segment_stores:.2f}x)"))
    targets += [
        ("DrawLine <= 1.5x the stores of its pixels alone", line / stores <= 1.5, f"{line / stores:.2f}x"),
        ("DrawContour >= 3x faster than d3-contour's pipeline", d3["pipeline_us"] / contour >= 3,
         f"{d3['pipeline_us'] / contour:.2f}x"),
        ("DrawContour >= 3x faster than scikit-image's pipeline",
         skimage["pipeline_us"] / contour >= 3, f"{skimage['pipeline_us'] / contour:.2f}x"),
        ("native ahead of Wine on every operation", all(r > 1 for *_, r in rows),
         f"lowest {min(r for *_, r in rows):.2f}x"),
        ("DrawLine >= 10x Wine", ratio["Surface::DrawLine x256 random"] >= 10,
         f"{ratio['Surface::DrawLine x256 random']:.2f}x (the stores alone would give {line_cap:.2f}x)"),
        ("whole frame >= 1.5x Wine", ratio["whole frame"] >= 1.5, f"{ratio['whole frame']:.2f}x"),
        ("Clear within 1.5x of memset", clear / memset <= 1.5, f"{clear / memset:.2f}x"),
        ("Blit within 1.5x of memcpy", blit / memcpy <= 1.5, f"{blit / memcpy:.2f}x"),
        ("zero heap allocations per frame", allocations == 0, f"{allocations:g}"),
        ("whole frame under Node.js <= 2.5x native", frame_node / frame_wall <= 2.5,
         f"{frame_node / frame_wall:.2f}x"),
        ("whole frame in Chromium <= 2.5x native", frame_browser / frame_wall <= 2.5,
         f"{frame_browser / frame_wall:.2f}x"),
    ]
    targets += [(f"{label.split(' of ')[0]} <= 1.5x", web / bound <= 1.5, f"{web / bound:.2f}x")
                for label, web, bound in web_memory]
    targets.append(("Surface::Present in Chromium <= 3x native", present_browser / present_wall <= 3,
                    f"{present_browser / present_wall:.2f}x"))

    lines = ["# Performance", "",
             f"Measured by `scripts/bench` on {datetime.date.today()} on {machine()}.",
             "Every ratio compares figures of the same run. Wine figures are the Win32 build",
             f"({windows_build}, the one this machine runs) of the same benchmarks under Wine",
             "(its gdi32 and user32), run right after the native ones. Native figures compared with",
             "each other are CPU time (the machine is shared); compared with Wine and the browser,",
             "wall-clock time, as those are measured.",
             "", "## Per operation, native against Wine's gdi32", "",
             "| benchmark | native (us) | Win32 under Wine (us) | Wine / native |", "|---|---:|---:|---:|"]
    lines += [f"| {label} | {n:.1f} | {w:.1f} | {r:.2f}x |" for label, n, w, r in rows]
    lines += ["", "## Against the floor and the lower bounds", "",
              "The corner floors are the exact corner pass of a frame (201 x 201 corners, the three",
              "balls) in one field kernel's lanes over local records: no list walk, no cell pass, no",
              "drawing. A frame can only come under that floor by not evaluating every corner: its",
              "corner pass decides blocks of corners by bounds on the field and evaluates the rest",
              f"({exact:.0f} of the {frame_corners:.0f} corners in the first frame, {100 * exact / frame_corners:.1f}%).",
              "The scalar floor is the older bound: 41189 point-by-point evaluations from local records,",
              "scalar code.", "",
              "| figure | native (us) | bound (us) | ratio |", "|---|---:|---:|---:|"]
    lines += [f"| whole frame ({frame_kernel}) / corner floor in {label} | {frame:.1f} | {t:.1f} | {frame / t:.2f}x |"
              for label, t in corner_floors]
    if frame_floor:
        lines += [f"| bounded corner pass of the frame / corner floor in {frame_kernel} | {corner_pass:.1f} | {frame_floor:.1f} | {corner_pass / frame_floor:.2f}x |"]
    lines += [f"| whole frame / the same frame with every corner evaluated | {frame:.1f} | {every_corner:.1f} | {frame / every_corner:.2f}x |",
              f"| BM_FrameCells/706 / whole frame | {cells706:.1f} | {frame:.1f} | {cells706 / frame:.2f}x |",
              f"| BallField::DrawContour / scalar floor | {contour:.1f} | {floor:.1f} | {contour / floor:.2f}x |",
              f"| whole frame / scalar floor | {frame:.1f} | {floor:.1f} | {frame / floor:.2f}x |",
              f"| Surface::Clear / memset of 640000 bytes | {clear:.1f} | {memset:.1f} | {clear / memset:.2f}x |",
              f"| Surface::Blit / memcpy of 640000 bytes | {blit:.1f} | {memcpy:.1f} | {blit / memcpy:.2f}x |",
              f"| Surface::DrawLine x256 / stores of its {line_pixels:.0f} pixels alone | {line:.1f} | {stores:.1f} | {line / stores:.2f}x |",
              f"| the frame's {segment_count:.0f} segments / stores of their {segment_pixels:.0f} pixels alone | {segments:.1f} | {segment_stores:.2f} | {segments / segment_stores:.2f}x |",
              f"| the same segments walked inline, no calls / the same stores | {bare:.2f} | {segment_stores:.2f} | {bare / segment_stores:.2f}x |",
              f"| the frame's segments / the same segments walked inline | {segments:.1f} | {bare:.2f} | {segments / bare:.2f}x |",
              "", "## Peers on the same field and grid (201 x 201, iso-line at the threshold)", "",
              "| peer | pipeline (us) | contour only (us) | pipeline / DrawContour |", "|---|---:|---:|---:|",
              f"| d3-contour (Node.js {subprocess.run(['node', '--version'], capture_output=True, text=True).stdout.strip()}) | {d3['pipeline_us']:.1f} | {d3['contour_us']:.1f} | {d3['pipeline_us'] / contour:.2f}x |",
              f"| scikit-image find_contours | {skimage['pipeline_us']:.1f} | {skimage['contour_us']:.1f} | {skimage['pipeline_us'] / contour:.2f}x |",
              "", f"Heap allocations per frame (counted by the benchmark): {allocations:g}.",
              "", "## The WebAssembly build", "",
              f"The same benchmarks built with Emscripten, run under Node.js "
              f"({subprocess.run(['node', '--version'], capture_output=True, text=True).stdout.strip()}, "
              "the in-memory window) and in a page of headless",
              f"{chromium or 'Chromium'} (the page's canvas as the window, so a present includes handing it",
              "the rectangle that changed; each benchmark there runs a second before it is measured, so",
              "that the browser's optimised code is the one timed), each as a multiple of the native",
              "figure of this run. Every present",
              "and frame shows another picture than the one before, as in a drag. Clear and Blit are also",
              "set against the native memset and memcpy of as many bytes.", "",
              "| benchmark | native (us) | Node.js (us) | Chromium (us) | Node.js / native | Chromium / native |",
              "|---|---:|---:|---:|---:|---:|"]
    lines += [f"| {label} | {n:.1f} | {o:.1f} | {b:.1f} | {o / n:.2f}x | {b / n:.2f}x |"
              for label, n, o, b in web_rows]
    lines += ["", "| figure | WebAssembly (us) | native (us) | ratio |", "|---|---:|---:|---:|"]
    lines += [f"| {label} | {web:.1f} | {bound:.1f} | {web / bound:.2f}x |" for label, web, bound in web_memory]
    if speedups:
        lines += ["", f"## Against {before_label(results)}, in the same run", "",
                  "| benchmark | before (us) | now (us) | speed-up |", "|---|---:|---:|---:|"]
        lines += [f"| {key} | {us(before[key]):.1f} | {us(native[key]):.1f} | {speedup:.2f}x |"
                  for key, speedup in speedups]
    if bounded_gain:
        lines += ["", "## The bounded corner pass in every build, in the same run", "",
                  "| build | frame with every corner / frame |", "|---|---:|"]
        lines += [f"| {name} | {gain:.2f}x |" for name, gain in bounded_gain]
    lines += ["", "## Scaling", "",
              "A frame's cost follows its contour's length rather than its grid's area; at 706 cells the",
              "cells are narrower than a pixel (400 / 706 truncates to 0), so every corner is the same",
              "point and one block decides the grid.", "",
              "| cells per side | frame (us) | corners evaluated |", "|---:|---:|---:|"]
    lines += [f"| {c} | {t:.1f} | {exact_of.get(f'BM_FrameCells/{c}', float('nan')):.0f} of {(c + 1) ** 2} |" for c, t in cells]
    lines += ["", "![cells](scaling-cells.png)", "", "| balls | frame (us) | corners evaluated |", "|---:|---:|---:|"]
    lines += [f"| {b} | {t:.1f} | {exact_of.get(f'BM_FrameBalls/{b}', float('nan')):.0f} |" for b, t in balls]
    lines += ["", "![balls](scaling-balls.png)", "", "## Targets", "", "| target | result | figure |",
              "|---|---|---|"]
    lines += [f"| {name} | {verdict(ok)} | {figure} |" for name, ok, figure in targets]
    lines += ["", "Command: `scripts/bench` (set ZANTREL_BENCH_MIN_TIME for longer runs, and",
              "ZANTREL_BENCH_BEFORE to a git revision to run its frames in the same run).", ""]
    (docs / "PERFORMANCE.md").write_text("\n".join(lines))

    print(f"{'benchmark':42} {'native us':>10} {'wine us':>10} {'ratio':>7}")
    for label, n, w, r in rows:
        print(f"{label:42} {n:10.1f} {w:10.1f} {r:6.2f}x")
    for label, t in corner_floors:
        print(f"{'frame / corner floor in ' + label:42} {frame:10.1f} {t:10.1f} {frame / t:6.2f}x")
    print(f"{'frame / scalar floor':42} {frame:10.1f} {floor:10.1f} {frame / floor:6.2f}x")
    for key, speedup in speedups:
        print(f"{key + ' before / now':42} {us(before[key]):10.1f} {us(native[key]):10.1f} {speedup:6.2f}x")
    print(f"{'Clear / memset':42} {clear:10.1f} {memset:10.1f} {clear / memset:6.2f}x")
    print(f"{'Blit / memcpy':42} {blit:10.1f} {memcpy:10.1f} {blit / memcpy:6.2f}x")
    print(f"{'DrawLine / stores of its pixels':42} {line:10.1f} {stores:10.1f} {line / stores:6.2f}x")
    print(f"{'frame segments / stores of their pixels':42} {segments:10.1f} {segment_stores:10.2f} {segments / segment_stores:6.2f}x")
    print(f"{'segments walked inline / their stores':42} {bare:10.2f} {segment_stores:10.2f} {bare / segment_stores:6.2f}x")
    print(f"{'frame / frame with every corner':42} {frame:10.1f} {every_corner:10.1f} {frame / every_corner:6.2f}x")
    print(f"exact corner evaluations in the first frame: {exact:.0f} of {frame_corners:.0f} ({100 * exact / frame_corners:.1f}%)")
    print(f"{'d3-contour pipeline / DrawContour':42} {d3['pipeline_us']:10.1f} {contour:10.1f} {d3['pipeline_us'] / contour:6.2f}x")
    print(f"{'scikit-image pipeline / DrawContour':42} {skimage['pipeline_us']:10.1f} {contour:10.1f} {skimage['pipeline_us'] / contour:6.2f}x")
    print(f"{'frame under Node.js / native':42} {frame_node:10.1f} {frame_wall:10.1f} {frame_node / frame_wall:6.2f}x")
    print(f"{'frame in Chromium / native':42} {frame_browser:10.1f} {frame_wall:10.1f} {frame_browser / frame_wall:6.2f}x")
    print(f"{'present in Chromium / native':42} {present_browser:10.1f} {present_wall:10.1f} {present_browser / present_wall:6.2f}x")
    print(f"allocations per frame: {allocations:g}")
    for name, ok, figure in targets:
        print(f"  {verdict(ok):6} {name}: {figure}")


if __name__ == "__main__":
    main()

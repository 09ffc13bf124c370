"""Compares two folders of pictures written by the native build and by the Win32 build.

usage: compare_pictures.py SUITE NATIVE_DIR WINE_DIR JUNIT_OUT [--skip REASON NAME... | --crashed NAME...]
One test case per picture name found in either folder. Pictures named after --skip are recorded as
skipped for that reason; after --crashed, as failed because the Wine run died drawing them. A .pic file is "ZPIC", width, height,
bits per pixel (little-endian int32), then raw DIB rows padded to 4 bytes; a .bmp file is a
Windows bitmap file; anything else is compared as bytes. A difference names the first differing
pixel with both values. Exit status 1 when anything differs.
"""
import pathlib
import struct
import sys
import xml.etree.ElementTree as ET


def layout(data, suffix):
    """(width, height, bpp, offset of the bits) or None for plain bytes."""
    if suffix == ".pic" and data[:4] == b"ZPIC" and len(data) >= 16:
        w, h, bpp = struct.unpack_from("<iii", data, 4)
        return w, h, bpp, 16
    if suffix == ".bmp" and data[:2] == b"BM" and len(data) >= 30:
        offset = struct.unpack_from("<I", data, 10)[0]
        w, h = struct.unpack_from("<ii", data, 18)
        bpp = struct.unpack_from("<H", data, 28)[0]
        return w, h, bpp, offset
    return None


def pixel(data, shape, x, row):
    w, h, bpp, offset = shape
    pitch = (w * bpp + 31) // 32 * 4
    start = offset + row * pitch
    if bpp >= 8:
        at = start + x * (bpp // 8)
        return "0x" + data[at:at + bpp // 8][::-1].hex()
    bit = x * bpp
    byte = data[start + bit // 8] if start + bit // 8 < len(data) else 0
    return str((byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1))


def describe(native, wine, suffix):
    a, b = layout(native, suffix), layout(wine, suffix)
    if a is None or a != b:
        if a != b and a is not None and b is not None:
            return f"shape differs: native {a[:3]}, wine {b[:3]}"
        first = next((i for i in range(min(len(native), len(wine))) if native[i] != wine[i]),
                     min(len(native), len(wine)))
        return f"bytes differ from offset {first} (native {len(native)} bytes, wine {len(wine)})"
    w, h, bpp, offset = a
    if offset > 16 and native[:offset] != wine[:offset]:
        return "file headers differ"
    pitch = (w * bpp + 31) // 32 * 4
    first = next(i for i in range(offset, max(len(native), len(wine)))
                 if i >= len(native) or i >= len(wine) or native[i] != wine[i])
    if first >= min(len(native), len(wine)):
        return f"lengths differ: native {len(native)} bytes, wine {len(wine)}"
    row, column = divmod(first - offset, pitch)
    x = column * 8 // bpp
    y = row if h < 0 else abs(h) - 1 - row
    return (f"first differing pixel x={x} y={y}: native {pixel(native, a, x, row)}, "
            f"wine {pixel(wine, a, x, row)}")


def main():
    suite, native_dir, wine_dir, out = sys.argv[1:5]
    rest = sys.argv[5:]
    skip_reason = rest[1] if rest[:1] == ["--skip"] else None
    crashed = set(rest[2:] if skip_reason else rest[1:])
    native_dir, wine_dir = pathlib.Path(native_dir), pathlib.Path(wine_dir)
    names = sorted({p.name for p in native_dir.iterdir()} | {p.name for p in wine_dir.iterdir()})
    root = ET.Element("testsuite", name=suite)
    failed = 0
    for name in names:
        label = pathlib.Path(name).stem if name.endswith(".pic") else name
        case = ET.SubElement(root, "testcase", classname=suite, name=label)
        a, b = native_dir / name, wine_dir / name
        message = None
        if label in crashed and skip_reason:
            ET.SubElement(case, "skipped", message=skip_reason)
            print(f"{suite}: {label}: skipped: {skip_reason}", file=sys.stderr)
            continue
        if label in crashed:
            message = "the Wine run died drawing it"
        elif not a.exists() or not b.exists():
            message = f"missing from the {'native' if not a.exists() else 'wine'} output"
        else:
            native, wine = a.read_bytes(), b.read_bytes()
            if native != wine:
                message = describe(native, wine, a.suffix)
        if message:
            failed += 1
            ET.SubElement(case, "failure", message=message)
            print(f"{suite}: {case.get('name')}: {message}", file=sys.stderr)
    root.set("tests", str(len(names)))
    root.set("failures", str(failed))
    skipped = len(crashed) if skip_reason else 0
    root.set("skipped", str(skipped))
    ET.ElementTree(root).write(out, encoding="utf-8", xml_declaration=True)
    print(f"{suite}: {len(names) - failed - skipped} of {len(names) - skipped} identical"
          + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed or not names else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env bash
# Draws the picture catalogue (tests/diff/pictures.txt) with the native build and with the Win32
# build under Wine and compares every picture byte for byte (JUnit into build/suites/diff.xml).
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
wine_env
out=build/suites/diff
rm -rf "$out" && mkdir -p "$out/native" "$out/wine"
status=0
pictures=tests/diff/pictures.txt
build/native/tests/diff/zantrel-catalogue "$pictures" "$out/native" || status=1
"$WINE" "build/$WINDOWS_PRESET/tests/diff/zantrel-catalogue.exe" "Z:$ROOT/$pictures" "Z:$ROOT/$out/wine" \
  || status=1
/usr/bin/python3 scripts/lib/compare_pictures.py diff "$out/native" "$out/wine" build/suites/diff.xml \
  || status=1
exit $status

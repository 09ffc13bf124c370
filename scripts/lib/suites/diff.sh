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
build/native/tests/diff/zantrel-catalogue "$pictures" "$out/native" >/dev/null || status=1

# A picture that kills the catalogue under Wine is named by the last line it printed; the run
# resumes behind it, so one crash costs one picture, not the rest of the catalogue. Wine's 64-bit
# gdi32 dies on bitmap files whose bits start inside the file header (it adds a negative 32-bit
# offset to a 64-bit pointer): where only that loader runs, such pictures are skipped, not failed.
crashed=()
resume=()
while :; do
  "$WINE" "build/$WINDOWS_PRESET/tests/diff/zantrel-catalogue.exe" "Z:$ROOT/$pictures" "Z:$ROOT/$out/wine" \
    "${resume[@]}" >"$out/progress.txt"
  rc=$?
  # Wine's exit status after such a crash is 5 mostly, but not always (now and then the run ended as
  # if finished or refused, and the rest of the catalogue went undrawn); its crash report in the
  # output is always there.
  crash=$(grep -c '^Unhandled exception' "$out/progress.txt")
  [ $rc -eq 0 ] && [ "$crash" -eq 0 ] && break
  last=$(sed -n 's/^picture \([^\r]*\).*/\1/p' "$out/progress.txt" | tail -n1)
  if { [ $rc -eq 1 ] && [ "$crash" -eq 0 ]; } || [ -z "$last" ] || [ -e "$out/wine/$last.pic" ]; then
    status=1  # refused its input, or died outside a picture
    break
  fi
  crashed+=("$last")
  resume=(--after "$last")
done
if [ "$WINDOWS_PRESET" = win64 ]; then
  skip=(--skip "Wine's 64-bit gdi32 crashed drawing it" "${crashed[@]}")
else
  skip=(--crashed "${crashed[@]}")
fi
/usr/bin/python3 scripts/lib/compare_pictures.py diff "$out/native" "$out/wine" build/suites/diff.xml \
  "${skip[@]}" || status=1
exit $status

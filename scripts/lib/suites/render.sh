#!/usr/bin/env bash
# Renders the initial frame and every drag sequence of render_cases.txt with zantrel-render, natively
# and as the Win32 build under Wine, and compares frames and segment traces byte for byte
# (JUnit into build/suites/render.xml).
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
wine_env
out=build/suites/render
rm -rf "$out" && mkdir -p "$out/native" "$out/wine"
status=0
while read -r name args; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  # shellcheck disable=SC2086
  build/native/tools/zantrel-render $args --out "$out/native/$name.bmp" --segments \
    >"$out/native/$name.segments" || status=1
  # shellcheck disable=SC2086
  "$WINE" "build/$WINDOWS_PRESET/tools/zantrel-render.exe" $args --out "Z:$ROOT/$out/wine/$name.bmp" --segments \
    2>/dev/null | tr -d '\r' >"$out/wine/$name.segments" || status=1
done <scripts/lib/render_cases.txt
/usr/bin/python3 scripts/lib/compare_pictures.py render "$out/native" "$out/wine" build/suites/render.xml \
  || status=1
exit $status

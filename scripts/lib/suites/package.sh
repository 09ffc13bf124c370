#!/usr/bin/env bash
# The packages as a user gets them: scripts/package from the existing build folders; lintian finds
# no error in the Debian packages; their contents unpacked into a temporary folder run there
# (zantrel-render's frame equals the build's) and build examples/consumer; the Windows zip unpacked
# holds statically linked programs, and its zantrel-render.exe draws the same frame under Wine;
# the web zip unpacked shows the first frame in Chromium, served by a plain static server and
# opened as a file. JUnit into build/suites/package.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
wine_env
ensure_browser_driver || exit 1
out=build/suites/package
rm -rf "$out" && mkdir -p "$out/pictures"
export JUNIT_LOGS=$out
source scripts/lib/junit.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
packages=build/packages
drag=(--drag 250,200,330,260)
build/native/tools/zantrel-render "${drag[@]}" --out "$out/pictures/reference.bmp" >/dev/null
build/native/tools/zantrel-render --out "$out/pictures/initial.bmp" >/dev/null

same_frame() {  # picture
  cmp "$out/pictures/reference.bmp" "$1"
}
no_lintian_errors() {  # deb
  lintian --no-tag-display-limit "$1" | tee /dev/stderr | { ! grep '^E: '; }
}
present() {  # paths...
  local path missing=0
  for path in "$@"; do [ -e "$path" ] || { echo "missing: $path"; missing=1; }; done
  return $missing
}
# Every DLL an .exe imports is part of Windows itself.
only_system_dlls() {  # exe...
  local exe imports foreign
  for exe in "$@"; do
    imports=$(objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p') || return 1
    [ -n "$imports" ] || { echo "$exe: no import table read"; return 1; }
    foreign=$(grep -viE '^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32)\.dll$' <<<"$imports")
    [ -z "$foreign" ] || { echo "$exe imports $foreign"; return 1; }
  done
}

rm -rf "$packages"
junit_check scripts_package scripts/package || { junit_write package build/suites/package.xml; exit 1; }
version=$(sed -n 's/^project(zantrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

root=$tmp/root
for name in zantrel zantrel-dev; do
  deb=$(ls "$packages/${name}_"*.deb)
  junit_check "lintian_$name" no_lintian_errors "$deb"
  junit_check "version_$name" test "$(dpkg-deb -f "$deb" Version)" = "$version"
  dpkg-deb -x "$deb" "$root"
done
junit_check unpacked_contents present "$root/usr/bin/"{zantrel,zantrel-render,zantrel-mesh-pictures} \
  "$root/usr/share/man/man1/"{zantrel,zantrel-render,zantrel-mesh-pictures}.1.gz \
  "$root/usr/share/applications/zantrel.desktop" "$root/usr/include/zantrel/surface/surface.h" \
  "$root/usr/lib/cmake/Zantrel/ZantrelConfig.cmake" "$root/usr/lib/pkgconfig/zantrel.pc"
junit_check unpacked_version grep -qx "zantrel $version" <("$root/usr/bin/zantrel" --version)
junit_check unpacked_render "$root/usr/bin/zantrel-render" "${drag[@]}" --out "$out/pictures/unpacked.bmp" &&
  junit_check unpacked_render_frame same_frame "$out/pictures/unpacked.bmp"
if junit_check unpacked_consumer_build bash -c "cmake -S examples/consumer -B '$tmp/consumer' \
    -DCMAKE_PREFIX_PATH='$root/usr' && cmake --build '$tmp/consumer' -j2"; then
  mkdir -p "$out/consumer"
  junit_check unpacked_consumer_run "$tmp/consumer/consumer" "$ROOT/$out/consumer" &&
    junit_check unpacked_consumer_frame same_frame "$out/consumer/moved.bmp"
fi

# The zip Wine runs here; every zip's programs linked statically.
for zip in "$packages"/zantrel-*-win*.zip; do
  name=$(basename "$zip" .zip)
  /usr/bin/python3 -m zipfile -e "$zip" "$tmp/$name"
  junit_check "${name}_static" only_system_dlls "$tmp/$name/bin/"*.exe
done
name=zantrel-$version-$WINDOWS_PRESET
junit_check zip_contents present "$tmp/$name/bin/"{zantrel,zantrel-render,zantrel-mesh-pictures}.exe
junit_check zip_render "$WINE" "$tmp/$name/bin/zantrel-render.exe" "${drag[@]}" \
  --out "Z:$ROOT/$out/pictures/zip.bmp" && junit_check zip_render_frame same_frame "$out/pictures/zip.bmp"

# The page's folder on a static server of 127.0.0.1 (any free port), and opened as a file.
web=$tmp/zantrel-$version-web
/usr/bin/python3 -m zipfile -e "$packages/zantrel-$version-web.zip" "$tmp"
junit_check web_zip_contents present "$web/"{zantrel.html,zantrel.js,README.txt}
/usr/bin/python3 scripts/lib/serve_page.py "$web" zantrel.html 0 >"$tmp/served" &
server=$!
for _ in $(seq 50); do [ -s "$tmp/served" ] && break; sleep 0.1; done
address=$(sed -n 's/^Open \(http[^ ]*\) .*/\1/p' "$tmp/served")
junit_check web_zip_served node scripts/lib/first_frame.mjs "$address" "$out/pictures/initial.bmp"
kill "$server"
wait "$server" 2>/dev/null
junit_check web_zip_from_file node scripts/lib/first_frame.mjs "file://$web/zantrel.html" \
  "$out/pictures/initial.bmp"

junit_write package build/suites/package.xml

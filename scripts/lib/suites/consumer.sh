#!/usr/bin/env bash
# The library as another project uses it: the native and the Windows build folders installed into a
# temporary prefix each, every installed header compiled on its own, and examples/consumer built
# against them (with CMake and with pkg-config, natively and with the mingw toolchain). Each
# consumer's pictures must equal zantrel-render's frames byte for byte. JUnit into
# build/suites/consumer.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
wine_env
out=build/suites/consumer
rm -rf "$out" && mkdir -p "$out/reference" "$out/cmake" "$out/pkg-config" "$out/windows" \
  "$out/windows-pkg-config"
export JUNIT_LOGS=$out
source scripts/lib/junit.sh
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

render=build/native/tools/zantrel-render
"$render" --out "$out/reference/first.bmp" >/dev/null
"$render" --drag 250,200,330,260 --out "$out/reference/moved.bmp" >/dev/null

compare_pictures() {  # label folder
  local picture difference
  for picture in first moved; do
    if difference=$(cmp "$out/reference/$picture.bmp" "$2/$picture.bmp" 2>&1); then
      junit_case "$1_$picture"
    else
      junit_case "$1_$picture" "not zantrel-render's frame: $difference"
    fi
  done
}

consumer_cmake() {  # label install-prefix [cmake options]
  local label=$1 installed=$2
  shift 2
  junit_check "${label}_configure" cmake -S examples/consumer -B "$prefix/build-$label" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$installed" "$@" &&
    junit_check "${label}_build" cmake --build "$prefix/build-$label" -j2
}

# Native: CMake, every header on its own, pkg-config.
native=$prefix/native
if junit_check install_native cmake --install build/native --prefix "$native"; then
  while read -r header; do
    junit_check "header_${header//\//_}" g++ -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic \
      -Werror -I"$native/include" -x c++ - <<<"#include <zantrel/$header>"
  done < <(cd "$native/include/zantrel" && find . -name '*.h' -printf '%P\n' | sort)

  if consumer_cmake cmake "$native"; then
    junit_check cmake_run "$prefix/build-cmake/consumer" "$ROOT/$out/cmake" &&
      compare_pictures cmake "$out/cmake"
  fi
  if junit_check pkg-config_build bash -c "g++ -std=c++20 -Wall -Wextra -Werror examples/consumer/consumer.cpp \
      -o '$prefix/consumer-pkg-config' \$(PKG_CONFIG_PATH='$native/lib/pkgconfig' pkg-config --cflags --libs zantrel-entry)"; then
    junit_check pkg-config_run "$prefix/consumer-pkg-config" "$ROOT/$out/pkg-config" &&
      compare_pictures pkg-config "$out/pkg-config"
  fi
fi

# Windows: the mingw toolchain of the preset Wine runs here; the targets link the real user32/gdi32.
case "$WINDOWS_PRESET" in
  win32) toolchain=cmake/toolchain-mingw-i686.cmake ;;
  *) toolchain=cmake/toolchain-mingw-x86_64.cmake ;;
esac
triple=$(sed -n 's/^set(ZANTREL_MINGW_TRIPLE \(.*\))$/\1/p' "$toolchain")
if junit_check install_windows cmake --install "build/$WINDOWS_PRESET" --prefix "$prefix/windows"; then
  if consumer_cmake windows "$prefix/windows" -DCMAKE_TOOLCHAIN_FILE="$ROOT/$toolchain"; then
    junit_check windows_run "$WINE" "$prefix/build-windows/consumer.exe" "Z:$ROOT/$out/windows" &&
      compare_pictures windows "$out/windows"
  fi
  if junit_check windows_pkg-config_build bash -c "$triple-g++-posix -std=c++20 -Wall -Wextra -Werror \
      -static examples/consumer/consumer.cpp -o '$prefix/consumer-pkg-config.exe' \
      \$(PKG_CONFIG_LIBDIR='$prefix/windows/lib/pkgconfig' pkg-config --cflags --libs zantrel-entry)"; then
    junit_check windows_pkg-config_run "$WINE" "$prefix/consumer-pkg-config.exe" "Z:$ROOT/$out/windows-pkg-config" &&
      compare_pictures windows_pkg-config "$out/windows-pkg-config"
  fi
fi

junit_write consumer build/suites/consumer.xml

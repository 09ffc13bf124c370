# Shared by the scripts: repository root, package installation, Wine environment.
# shellcheck shell=bash
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ROOT

# Debian packages by build and purpose, each script installing what it runs (ensure_packages
# checks them with dpkg-query first, so a machine that has them all does no apt work at all).
# The native build (scripts/run): the compiler, make, CMake and SDL2 for its windows; the tests'
# libraries are not needed to configure it, and without them it leaves the tests out.
ZANTREL_NATIVE_PACKAGES=(cmake make g++ libsdl2-dev)
# The Win32 build and Wine to run it (scripts/run --win32).
ZANTREL_WIN32_PACKAGES=(cmake make g++-mingw-w64-i686 wine wine32)
# The WebAssembly build and its page server (scripts/run --web): Emscripten's JavaScript optimiser
# needs acorn.
ZANTREL_WEB_PACKAGES=(cmake make emscripten node-acorn python3)
# What the tests use beyond the builds: the unit tests' and benchmarks' libraries, a private X
# display with what drives and photographs it, memcheck, the packaging tools and pkg-config for the
# consumer, the fuzzing compiler (its libFuzzer: ensure_fuzzer), the browser for the page.
ZANTREL_TEST_PACKAGES=(libgtest-dev libbenchmark-dev python3 xvfb xdotool imagemagick x11-utils
  libx11-6 valgrind dpkg-dev lintian pkg-config clang)
ZANTREL_BROWSER_PACKAGES=(chromium)
# The native and Win32 builds with everything their tests use.
ZANTREL_PACKAGES=("${ZANTREL_NATIVE_PACKAGES[@]}" "${ZANTREL_WIN32_PACKAGES[@]}"
  "${ZANTREL_TEST_PACKAGES[@]}")

# libFuzzer ships per clang version: the one of the clang installed.
ensure_fuzzer() {
  ensure_packages clang || return 1
  ensure_packages "libfuzzer-$(clang -dumpversion | cut -d. -f1)-dev"
}

# Node.js and npm: Debian's, or a Node.js build that ships npm.
ensure_node() {
  command -v node >/dev/null && command -v npm >/dev/null || ensure_packages nodejs npm
}

ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$\|^wine32$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  fi
  # Another script may be installing at the same time: wait for its lock instead of failing.
  local wait_lock=(-o DPkg::Lock::Timeout=900)
  $sudo apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
}

# The Windows build that Wine runs here, in WINDOWS_PRESET (its build folder is build/$WINDOWS_PRESET)
# and WINE (the loader to run its .exe files with). The shipped build is 32-bit; some virtual
# machines cannot run 32-bit x86 code at all (Wine's 32-bit loader fails with "Exec format error"),
# and there the same sources are built for 64-bit Windows and run by Wine's 64-bit loader.
select_windows_build() {
  [ -n "${WINDOWS_PRESET-}" ] && return 0
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    WINDOWS_PRESET=win32 WINE=wine
  else
    ensure_packages g++-mingw-w64-x86-64-posix wine64 || return 1
    echo "this machine runs no 32-bit x86 code: testing the 64-bit Windows build under wine64" >&2
    WINDOWS_PRESET=win64 WINE=/usr/lib/wine/wine64
  fi
  export WINDOWS_PRESET WINE
}

# Wine with a prefix of our own inside the build folder; no Mono/Gecko prompts, no debug noise.
wine_env() {
  select_windows_build || return 1
  export WINEPREFIX="$ROOT/build/$WINDOWS_PRESET/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# playwright-core for the scripts that drive Chromium, from the lockfile at the top of the tree (no
# browser download).
ensure_browser_driver() {
  [ -d "$ROOT/node_modules/playwright-core" ] && return 0
  (cd "$ROOT" && npm ci --no-audit --no-fund --silent >/dev/null)
}

configure_and_build() {  # preset [build options, e.g. --target NAME...]
  local preset=$1
  shift
  if [ "$preset" = web ]; then
    # emcmake names Emscripten's toolchain, as the preset does, and reports its command line on
    # standard error: keep everything but that line.
    local said rc=0
    said=$(emcmake cmake --preset web 2>&1 >/dev/null) || rc=$?
    [ -z "$said" ] || grep -v '^configure: ' <<<"$said" >&2 || true
    [ $rc -eq 0 ] || return $rc
  else
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" "$@"
}

# A private Xvfb: start_xvfb exports DISPLAY for it (Xvfb picks a free display number itself and
# reports it once it accepts clients) and sets XVFB_PID. -noreset: by default the server resets when
# its last client leaves and refuses connections meanwhile, so a program started just after
# another one ended could not open the display. stop_xvfb stops it and restores DISPLAY.
start_xvfb() {
  local reported
  reported=$(mktemp)
  XVFB_SAVED_DISPLAY=${DISPLAY-}
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$reported" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$reported" ] && break; sleep 0.1; done
  if [ ! -s "$reported" ]; then
    rm -f "$reported"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$reported")"
  rm -f "$reported"
}

stop_xvfb() {
  [ -n "${XVFB_PID-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
  if [ -n "$XVFB_SAVED_DISPLAY" ]; then export DISPLAY=$XVFB_SAVED_DISPLAY; else unset DISPLAY; fi
}

# Runs a command with DISPLAY set to a private Xvfb, started here and stopped after.
with_xvfb() {
  start_xvfb || return 1
  local rc=0
  "$@" || rc=$?
  stop_xvfb
  return $rc
}

# The unit test programs of a configured build folder, one name a line: the GoogleTest programs
# (ctest label "unit"), each named as its test; not the scripted runs of the shipped programs.
unit_test_targets() {  # build folder
  ctest --test-dir "$1" -N -L '^unit$' | sed -n 's/^ *Test *#[0-9]*: *//p'
}

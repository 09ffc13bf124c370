# Shared by the scripts: repository root, package installation, Wine environment.
# shellcheck shell=bash
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ROOT

# Debian packages every script may need. Checked with dpkg-query first, so a machine that has them
# all does no apt work at all.
ZANTREL_PACKAGES=(cmake g++ make g++-mingw-w64-i686 wine wine32 xvfb xdotool imagemagick x11-utils
  libsdl2-dev libgtest-dev libbenchmark-dev python3 libx11-6 clang libfuzzer-14-dev valgrind)

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
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine with a prefix of our own inside the build folder; no Mono/Gecko prompts, no debug noise.
wine_env() {
  export WINEPREFIX="$ROOT/build/win32/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

configure_and_build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

# Runs a command with DISPLAY set to a private Xvfb server, started here and stopped after.
with_xvfb() {
  local display
  for display in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  local tries=0
  until [ -e "/tmp/.X11-unix/X$display" ] || [ $tries -ge 50 ]; do sleep 0.1; tries=$((tries + 1)); done
  local rc=0
  DISPLAY=":$display" "$@" || rc=$?
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  return $rc
}

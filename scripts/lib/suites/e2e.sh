#!/usr/bin/env bash
# End to end: the native app (SDL2 backend) and zantrel.exe under Wine on an Xvfb display of our
# own, driven by xdotool. Each client-area screenshot must equal zantrel-render's frame for the
# same drags pixel for pixel; Q and closing the window must end the program with status 0. Without
# a usable display both must end at once with status 0, saying why. JUnit into build/suites/e2e.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
wine_env
out=build/suites/e2e
rm -rf "$out" && mkdir -p "$out"
title="Zantrel -Sample-"
render=build/native/tools/zantrel-render

source scripts/lib/junit.sh

app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; fi
  stop_xvfb
}
trap cleanup EXIT
start_xvfb || exit 1
export SDL_VIDEODRIVER=x11

# Starts a program in the background as app_pid.
launch() {  # label command...
  local label=$1
  shift
  "$@" >"$out/$label.log" 2>&1 &
  app_pid=$!
}
running() {  # pid: alive and not yet a zombie
  [ -e "/proc/$1/stat" ] && [ "$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)" != Z ]
}

# Sets rc to the exit status of the launched program within ~10 s, or to "" if it still runs.
exit_status() {
  rc=""
  for _ in $(seq 100); do
    if ! running "$app_pid"; then
      wait "$app_pid"
      rc=$?
      app_pid=""
      return
    fi
    sleep 0.1
  done
}
stop_program() {
  kill "$app_pid" 2>/dev/null
  exit_status
}

window=""
find_window() {  # waits up to ~30 s for the visible window with the title
  window=""
  for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
    [ -n "$window" ] && return 0
    sleep 0.25
  done
  return 1
}

# Client area as WIDTHxHEIGHT+X+Y on the root window.
geometry() {
  xwininfo -id "$window" 2>/dev/null | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {printf "%sx%s+%s+%s", w, h, x, y}'
}

# Compares screenshots of the client area with a reference frame until they agree or ~10 s pass;
# prints nothing on success, else how many pixels differ.
matches() {  # reference.bmp shot.png
  local reference=$1 shot=$2 differing=""
  local at
  for _ in $(seq 40); do
    at=$(geometry 2>/dev/null)
    if [ "${at%%+*}" != 400x400 ]; then  # gone or not yet there: look for it again
      find_window
      sleep 0.25
      continue
    fi
    import -window root -crop "$at" +repage "$shot" 2>/dev/null
    differing=$(compare -metric AE "$shot" "$reference" null: 2>&1) && return 0
    sleep 0.25
  done
  echo "${differing:-no screenshot} pixels differ from the headless frame"
  return 1
}

drag() {  # x0 y0 x1 y1, client pixels
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1 mousemove --window "$window" "$3" "$4" \
    mouseup 1
}

# Drags, each followed by a comparison with zantrel-render given all drags so far.
drags=("ball1:150,200,120,230" "miss:20,20,300,300" "ball3:200,170,240,120"
  "ball2:250,200,330,260")

run_program() {  # label command...
  local label=$1
  shift
  launch "$label" "$@"
  if ! find_window; then
    junit_case "${label}_window" "no visible window titled \"$title\""
    stop_program
    return
  fi
  local size
  size=$(geometry)
  if [ "${size%%+*}" = 400x400 ]; then junit_case "${label}_window" ""
  else junit_case "${label}_window" "client area is ${size%%+*}, not 400x400"; fi

  "$render" --out "$out/${label}_first.bmp"
  junit_case "${label}_first_frame" "$(matches "$out/${label}_first.bmp" "$out/${label}_first.png")"

  local entry name args=()
  for entry in "${drags[@]}"; do
    name=${entry%%:*}
    IFS=, read -r x0 y0 x1 y1 <<<"${entry#*:}"
    args+=(--drag "${entry#*:}")
    drag "$x0" "$y0" "$x1" "$y1"
    "$render" "${args[@]}" --out "$out/${label}_$name.bmp"
    junit_case "${label}_drag_$name" "$(matches "$out/${label}_$name.bmp" "$out/${label}_$name.png")"
  done

  # Unmapped and mapped again, the window has lost its pixels on Xvfb; the WM_PAINT for the
  # exposure must bring back the last frame. (Wine keeps its own copy of a window's pixels and
  # treats an unmap from outside as a state change of its own, so only the native build is asked.)
  if [ "$label" = native ]; then
    xdotool windowunmap --sync "$window" windowmap --sync "$window"
    junit_case "${label}_repaint" "$(matches "$out/${label}_$name.bmp" "$out/${label}_repaint.png")"
  fi

  # Other keys have no effect: still running, the same frame.
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key w Escape space
  sleep 0.3
  if running "$app_pid"; then
    junit_case "${label}_other_keys" "$(matches "$out/${label}_$name.bmp" "$out/${label}_keys.png")"
  else
    junit_case "${label}_other_keys" "ended after W, Escape and space"
    exit_status
    return
  fi

  # Q during a drag: the button is still down on a ball.
  xdotool mousemove --window "$window" 150 200 mousedown 1 mousemove --window "$window" 160 205
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key q
  exit_status
  xdotool mouseup 1
  if [ -z "$rc" ]; then
    junit_case "${label}_quit_q" "still running 10 s after Q"
    stop_program
  elif [ "$rc" != 0 ]; then junit_case "${label}_quit_q" "exit status $rc after Q"
  else junit_case "${label}_quit_q" ""; fi

  launch "${label}_close" "$@"
  if ! find_window; then
    junit_case "${label}_close" "no window to close"
    stop_program
    return
  fi
  /usr/bin/python3 tests/e2e/close_window.py "$window"
  exit_status
  if [ -z "$rc" ]; then
    junit_case "${label}_close" "still running 10 s after WM_DELETE_WINDOW"
    stop_program
  elif [ "$rc" != 0 ]; then junit_case "${label}_close" "exit status $rc after closing"
  else junit_case "${label}_close" ""; fi
}

run_program native build/native/app/zantrel
run_program wine "$WINE" "build/$WINDOWS_PRESET/app/zantrel.exe"

# Without a usable display a program must end at once with status 0 and say why on standard
# error. A limit of 10 s keeps a slow machine from failing it; the time taken is printed.
dead_display=""
for n in $(seq 90 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { dead_display=":$n" && break; }
done
no_display() {  # label expected-stderr-text command...
  local label=$1 expected=$2 start ms lines
  shift 2
  start=$(date +%s%N)
  timeout -k 2 10 env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u ZANTREL_BACKEND "$@" \
    >"$out/$label.out" 2>"$out/$label.log"
  rc=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "e2e: $label ended in $ms ms with status $rc"
  lines=$(grep -c . "$out/$label.log")
  if [ $rc = 124 ] || [ $rc = 137 ]; then junit_case "$label" "still running 10 s after start"
  elif [ $rc != 0 ]; then junit_case "$label" "exit status $rc"
  elif ! grep -qF -- "$expected" "$out/$label.log"; then
    junit_case "$label" "no \"$expected\" on stderr: $(head -c 300 "$out/$label.log")"
  elif [[ $label == native_* ]] && [ "$lines" != 1 ]; then
    junit_case "$label" "$lines lines on stderr, not one: $(head -c 300 "$out/$label.log")"
  else junit_case "$label" ""; fi
}
what_to_do="set DISPLAY to a running X server, start one (Xvfb :7 & export DISPLAY=:7), or render \
pictures with zantrel-render."
no_display native_display_unset "DISPLAY is not set: $what_to_do" \
  env -u DISPLAY build/native/app/zantrel
no_display native_display_dead "cannot open display \"$dead_display\": $what_to_do" \
  env DISPLAY="$dead_display" build/native/app/zantrel
no_display native_display_offscreen_only "only its \"offscreen\" video driver" \
  env DISPLAY="$dead_display" SDL_VIDEODRIVER=offscreen build/native/app/zantrel
# Wine says why in its own words, on its diagnostics channel.
wine_says='Application tried to create a window, but no driver could be loaded.'
no_display wine_display_unset "$wine_says" env -u DISPLAY WINEDEBUG=-all,err+winediag \
  "$WINE" "build/$WINDOWS_PRESET/app/zantrel.exe"
no_display wine_display_dead "$wine_says" env DISPLAY="$dead_display" WINEDEBUG=-all,err+winediag \
  "$WINE" "build/$WINDOWS_PRESET/app/zantrel.exe"

junit_write e2e build/suites/e2e.xml

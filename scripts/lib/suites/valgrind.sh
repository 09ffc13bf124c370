#!/usr/bin/env bash
# Memcheck over the native build (JUnit into build/suites/valgrind.xml): the headless renderer
# with a series of drags, and the app itself through its message loop to its exit. No invalid
# access, no uninitialised read, and at exit nothing lost and nothing still held beyond the
# platform's permanent objects (scripts/lib/valgrind.supp): the globals' destructors free the
# balls, the surface's device context, bitmap and pen.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
out=build/suites/valgrind
mkdir -p "$out"
export ZANTREL_BACKEND=headless
source scripts/lib/junit.sh

drags=()
for i in $(seq 0 11); do  # each ball picked and dragged a few times, to the picture's edges too
  drags+=(--drag "$((150 + i % 3 * 50)),$((200 - i % 3 * 30)),$((40 + i * 30)),$((390 - i * 31))")
done

run_case() {  # name, command...
  local name=$1 log="$out/$1.log"
  shift
  valgrind --tool=memcheck --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=definite,indirect,possible \
    --track-origins=yes --error-exitcode=97 --suppressions=scripts/lib/valgrind.supp "$@" \
    >"$out/$name.stdout" 2>"$log"
  local rc=$?
  local summary
  summary=$(grep -o 'ERROR SUMMARY: [0-9]* errors' "$log" | tail -1)
  if [ $rc -eq 0 ] && [ "$summary" = "ERROR SUMMARY: 0 errors" ]; then
    junit_case "$name"
    echo "valgrind $name: $summary"
  else
    junit_case "$name" "exit $rc, ${summary:-no summary}, see $log"
  fi
}

run_case render_drags build/native/tools/zantrel-render "${drags[@]}" --out "$out/frame.bmp"
run_case app_exit build/native/app/zantrel

junit_write valgrind build/suites/valgrind.xml

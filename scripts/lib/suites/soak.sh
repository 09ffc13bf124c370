#!/usr/bin/env bash
# 100,000 drag steps through the window procedure on the headless backend (native build), then
# the live DCs, bitmaps, pens and brushes and the resident memory compared with the figures after
# the first hundred steps (JUnit into build/suites/soak.xml, the figures in the case's output).
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
steps=100000
start=$(date +%s)
figures=$(build/native/tools/zantrel-soak "$steps" 2>&1)
rc=$?
elapsed=$(($(date +%s) - start))
echo "$figures"
echo "soak: $steps steps in ${elapsed}s"
if [ $rc -eq 0 ]; then
  body="<system-out>$figures</system-out>"
else
  body="<failure message=\"live objects or resident memory changed (exit $rc)\">$figures</failure>"
fi
{ echo "<testsuite name=\"soak\" tests=\"1\" failures=\"$((rc != 0))\">"
  echo "  <testcase name=\"drag_steps_$steps\" time=\"$elapsed\">$body</testcase>"
  echo "</testsuite>"; } >build/suites/soak.xml
exit $rc

#!/usr/bin/env bash
# 100,000 drag steps through the window procedure on the headless backend (native build), then
# the live DCs, bitmaps, pens and brushes and the resident memory compared with the figures after
# the first round of the drag pattern (JUnit into build/suites/soak.xml, the figures in a
# failure's message).
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
source scripts/lib/junit.sh
if [ $rc -eq 0 ]; then
  junit_case "drag_steps_$steps"
else
  junit_case "drag_steps_$steps" "live objects or resident memory changed (exit $rc): $figures"
fi
junit_write soak build/suites/soak.xml

#!/usr/bin/env bash
# The page in Debian's Chromium, headless, driven from Node.js by playwright-core (installed from
# tests/web/package-lock.json, pointed at /usr/bin/chromium: no browser download). Its frames must
# equal zantrel-render's byte for byte. JUnit into build/suites/web.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
ensure_browser_driver || exit 1
rm -f build/suites/web.xml
node tests/web/page_test.mjs build/web/app build/native/tools/zantrel-render scripts/lib/render_cases.txt \
  build/suites/web build/suites/web.xml
status=$?
if [ ! -s build/suites/web.xml ]; then  # it died before writing its cases: count that as a failure
  printf '%s\n' '<?xml version="1.0" encoding="utf-8"?>' '<testsuite name="web" tests="1" failures="1">' \
    "  <testcase classname=\"web\" name=\"page_test\"><failure message=\"exit status $status, no results\"/></testcase>" \
    '</testsuite>' >build/suites/web.xml
  status=1
fi
exit $status

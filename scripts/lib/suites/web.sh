#!/usr/bin/env bash
# The page in Debian's Chromium, headless, driven from Node.js by playwright-core (installed from
# the top-level package-lock.json, pointed at /usr/bin/chromium: no browser download). Its frames
# must equal zantrel-render's byte for byte. JUnit into build/suites/web.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
ensure_browser_driver || exit 1
source scripts/lib/junit.sh
rm -f build/suites/web.xml
# A line a case from page_test: the name, then a tab and the failure if it failed.
while IFS=$'\t' read -r name message; do
  junit_case "$name" "$message"
done < <(node tests/web/page_test.mjs build/web/app build/native/tools/zantrel-render \
  scripts/lib/render_cases.txt build/suites/web || printf 'page_test\texit status %s\n' $?)
junit_write web build/suites/web.xml

#!/usr/bin/env bash
# The page in Debian's Chromium, headless, driven from Node.js by playwright-core (installed from
# tests/web/package-lock.json, pointed at /usr/bin/chromium: no browser download). Its frames must
# equal zantrel-render's byte for byte. JUnit into build/suites/web.xml.
set -uo pipefail
source "$(dirname "$0")/../common.sh"
cd "$ROOT"
if [ ! -d tests/web/node_modules/playwright-core ]; then
  (cd tests/web && npm ci --no-audit --no-fund --silent >/dev/null) || exit 1
fi
node tests/web/page_test.mjs build/web/app build/native/tools/zantrel-render scripts/lib/render_cases.txt \
  build/suites/web build/suites/web.xml

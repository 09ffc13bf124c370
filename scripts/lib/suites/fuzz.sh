#!/usr/bin/env bash
# Every fuzz target for 20 seconds from its seed corpus (JUnit into build/suites/fuzz.xml, one case
# per target with its execution count).
set -uo pipefail
source "$(dirname "$0")/../common.sh"
exec "$ROOT/scripts/fuzz" 20 --junit "$ROOT/build/suites/fuzz.xml"

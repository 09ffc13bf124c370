# Test cases of a suite run by a shell script, written as JUnit XML for summarize.py.
#   junit_case NAME [MESSAGE]     records a case: passed without a message, failed with it
#   junit_check NAME COMMAND...   runs the command (output into $JUNIT_LOGS/NAME.log) and records
#                                 a case that fails with the log's last line when it fails
#   junit_write SUITE FILE        writes the cases; fails when any case failed
# shellcheck shell=bash
junit_names=()
junit_messages=()

junit_case() {
  junit_names+=("$1")
  junit_messages+=("${2-}")
  if [ -n "${2-}" ]; then echo "$1: $2" >&2; fi
}

junit_check() {
  local name=$1 log="${JUNIT_LOGS:?the folder for the logs}/$1.log" rc=0
  shift
  "$@" >"$log" 2>&1 || rc=$?
  if [ $rc -eq 0 ]; then
    junit_case "$name"
  else
    junit_case "$name" "exit $rc: $(grep -v '^\s*$' "$log" | tail -n1) (see $log)"
  fi
  return $rc
}

junit_write() {
  local suite=$1 file=$2 failed=0 i m
  for m in "${junit_messages[@]}"; do [ -n "$m" ] && failed=$((failed + 1)); done
  {
    echo '<?xml version="1.0" encoding="utf-8"?>'
    echo "<testsuite name=\"$suite\" tests=\"${#junit_names[@]}\" failures=\"$failed\">"
    for i in "${!junit_names[@]}"; do
      if [ -z "${junit_messages[$i]}" ]; then
        echo "  <testcase classname=\"$suite\" name=\"${junit_names[$i]}\"/>"
      else
        m=$(printf '%s' "${junit_messages[$i]}" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g')
        echo "  <testcase classname=\"$suite\" name=\"${junit_names[$i]}\"><failure message=\"$m\"/></testcase>"
      fi
    done
    echo "</testsuite>"
  } >"$file"
  echo "$suite: $((${#junit_names[@]} - failed)) of ${#junit_names[@]} passed"
  [ "$failed" -eq 0 ]
}
